#include "renderers.h"

#include <array>
#include <cmath>
#include <stdexcept>

#include "common/ascii.h"
#include "common/number_format.h"
#include "value_render.h"

namespace quorvela::metadata {
namespace {

std::int64_t IntegerOrThrow(std::string_view text) {
    const auto value = common::ParseInteger(text);
    if (!value) throw std::invalid_argument("not an integer");
    return *value;
}

// Degrees/minutes/seconds (or hours/minutes/seconds) split at the first two ", ".
std::array<double, 3> ThreeFractions(std::string_view text) {
    std::array<std::string_view, 3> parts{};
    for (std::size_t i = 0; i < 2; ++i) {
        const auto at = text.find(", ");
        if (at == std::string_view::npos) {
            parts[i] = text;
            text = {};
            break;
        }
        parts[i] = text.substr(0, at);
        text.remove_prefix(at + 2);
    }
    parts[2] = text;
    return {FractionValue(parts[0]), FractionValue(parts[1]), FractionValue(parts[2])};
}

}  // namespace

std::string ShutterSpeedText(const std::string& text, RenderContext& context) {
    const double apex = FractionValue(text);
    const double seconds = 1.0 / std::pow(2.0, apex);
    std::string out = common::FormatFixed(seconds, 4, 4, context.DecimalSeparator) + " sec";
    if (seconds <= 0.5) {
        const auto denominator = common::RoundHalfEven(1.0 / seconds);
        if (!denominator || *denominator > INT32_MAX) throw std::domain_error("shutter speed out of range");
        out += " (1/" + std::to_string(*denominator) + ")";
    }
    return out;
}

std::string FlashText(const std::string& text, RenderContext& /*context*/) {
    const std::int64_t f = IntegerOrThrow(text);
    std::string out = (f & 1) ? "On" : "Off";
    switch (f & 6) {
        case 2:
            out += ", UNKNOWN";
            break;
        case 4:
            out += ", no strobe return";
            break;
        case 6:
            out += ", strobe return";
            break;
        default:
            break;
    }
    switch (f & 0x18) {
        case 8:
            out += ", forced";
            break;
        case 16:
            out += ", surpressed";
            break;
        case 24:
            out += ", auto mode";
            break;
        default:
            break;
    }
    if (f & 0x20) out += ", no flash function";
    if (f & 0x40) out += ", red-eye reduction";
    return out;
}

std::string ComponentsText(const std::string& text, RenderContext& /*context*/) {
    static constexpr std::array<const char*, 7> kNames = {"", "Y", "Cb", "Cr", "R", "G", "B"};
    std::string out;
    for (std::size_t i = 1; i <= 4 && i < text.size(); ++i) {
        const auto code = static_cast<unsigned char>(text[i]);
        if (code >= 1 && code <= 6) out += kNames[code];
    }
    return out;
}

std::string WideTagText(const std::string& text, RenderContext& /*context*/) {
    // Fields 1..k where k is the number of commas: the odd ones are the low bytes of the
    // UTF-16LE code units.
    std::string out;
    std::string_view rest = text;
    for (int field = 1;; ++field) {
        const auto comma = rest.find(',');
        if (comma == std::string_view::npos) break;
        if (field % 2 == 1) {
            const std::int64_t code = IntegerOrThrow(rest.substr(0, comma));
            if ((code & 0xFF) != 0) out += static_cast<char>(code & 0xFF);
        }
        rest.remove_prefix(comma + 1);
    }
    return out;
}

std::string GpsPositionText(const std::string& text, RenderContext& context) {
    auto [d, m, s] = ThreeFractions(text);
    if (s == 0.0) {
        s = (m - std::trunc(m)) * 100.0 * 0.6;
        m = std::trunc(m);
    }
    const char sep = context.DecimalSeparator;
    return common::FormatFixed(d, 0, 0, sep) + " Degrees " + common::FormatFixed(m, 0, 0, sep) + " Minutes " +
           common::FormatFixed(s, 0, 0, sep) + " Seconds";
}

std::string GpsTimeText(const std::string& text, RenderContext& context) {
    const auto [h, m, s] = ThreeFractions(text);
    const char sep = context.DecimalSeparator;
    return common::FormatFixed(h, 0, 0, sep) + ":" + common::FormatFixed(m, 0, 0, sep) + ":" +
           common::FormatFixed(s, 0, 0, sep);
}

}  // namespace quorvela::metadata
