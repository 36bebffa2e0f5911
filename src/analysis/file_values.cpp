#include "file_values.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <stdexcept>

#include "common/ascii.h"
#include "common/number_format.h"
#include "metadata/value_render.h"

namespace quorvela::analysis {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string LeftFill(std::string_view text, std::size_t n, char fill) {
    if (text.size() >= n) return std::string(text);
    return std::string(n - text.size(), fill) + std::string(text);
}

std::int64_t RoundFocalLength(std::string_view text) {
    std::int64_t value = 0;
    bool any = false;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' || c == ',') break;
        if (!IsDigit(c)) continue;
        if (value > 1'000'000'000'000LL) return -1;  // no lens is that long
        value = value * 10 + (c - '0');
        any = true;
    }
    if (!any) return -1;
    if (i + 1 < text.size() && text[i + 1] >= '5' && text[i + 1] <= '9') ++value;
    return value;
}

std::string RatingCategory(int rating) {
    if (rating < 0) return "rejected";
    if (rating == 0) return "unrated";
    return std::to_string(std::min(rating, 5));
}

double RealFocalLength(std::string_view text) {
    std::string number;
    for (const char c : common::Trim(text)) {
        if (IsDigit(c)) {
            number += c;
        } else if ((c == '.' || c == ',') && number.find('.') == std::string::npos) {
            number += '.';
        } else {
            break;
        }
    }
    double value = 0.0;
    std::from_chars(number.data(), number.data() + number.size(), value);  // the locale's separator plays no part
    return value > 0.0 && value < 100000.0 ? value : 0.0;
}

std::optional<std::int64_t> StepFocalLength(std::int64_t n, int stepSize, int ignoreUpTo) {
    if (ignoreUpTo > 0 && n <= ignoreUpTo) return n;
    if (stepSize < 1 || n < 0 || n > std::int64_t{stepSize} * 10000) return std::nullopt;
    const std::int64_t lower = n / stepSize * stepSize;
    if (lower == n) return n;  // on a range boundary
    const std::int64_t upper = lower + stepSize;
    return upper - n > n - lower ? lower : upper;
}

std::string FocalCategory(std::string_view lengthText, bool useSteps, int stepSize, int ignoreUpTo) {
    const std::int64_t n = RoundFocalLength(lengthText);
    // A text without digits has no category: counting it at -1 mm would invent a length.
    if (n < 0) return {};
    std::int64_t k = n;
    if (useSteps) {
        const auto stepped = StepFocalLength(n, stepSize, ignoreUpTo);
        if (!stepped) return {};
        k = *stepped;
    }
    return LeftFill(std::to_string(k), 5);
}

std::int64_t GetIsoValue(const library::PhotoFacts& facts) {
    if (!facts.HasExif) return 0;
    const std::string& text = library::StoredIso(facts.Iso) ? facts.Iso : facts.MakerNoteIso;
    const auto value = common::ParseInteger(text);
    // A list of values, or a number beyond a 32-bit integer, is no ISO setting.
    if (!value || *value > INT32_MAX || *value < INT32_MIN) return 0;
    return *value;
}

std::string GetApertureText(const library::PhotoFacts& facts) {
    return !facts.HasExif || facts.FNumber.empty() ? "n/a" : facts.FNumber;
}

std::string GetExposureText(const library::PhotoFacts& facts) {
    if (!facts.HasExif) return "n/a";
    if (!facts.ExposureTime.empty()) return facts.ExposureTime;
    return facts.ShutterSpeedValue.empty() ? "n/a" : facts.ShutterSpeedValue;
}

double ExposureSeconds(std::string_view text, char decimalSeparator) {
    if (text.find(decimalSeparator) != std::string_view::npos) {
        std::string number;
        bool separatorSeen = false;
        for (const char c : text) {
            if (c == ' ' && separatorSeen) break;
            if (c == decimalSeparator) {
                separatorSeen = true;
                number += '.';
            } else if (IsDigit(c)) {
                number += c;
            }
        }
        double value = -1.0;
        const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
        if (number.empty() || ec != std::errc{} || end != number.data() + number.size()) return -1.0;
        return std::isfinite(value) ? value : -1.0;
    }
    const auto slash = text.find('/');
    if (slash == std::string_view::npos) return -1.0;
    const std::int64_t denominator = metadata::LeadingDigits(text.substr(slash + 1), decimalSeparator);
    const std::int64_t numerator = metadata::LeadingDigits(text.substr(0, slash), decimalSeparator);
    if (denominator <= 0 || numerator < 0) return -1.0;
    return static_cast<double>(numerator) / static_cast<double>(denominator);
}

std::string ShutterCategory(double seconds, bool fractionFormat, char decimalSeparator) {
    if (!(seconds > 0.0) || !std::isfinite(seconds)) return {};
    try {
        if (fractionFormat) {
            const auto whole = common::RoundHalfEven(seconds < 1.0 ? 1.0 / seconds : seconds);
            if (!whole) return {};
            return (seconds < 1.0 ? "1/" : "") + std::to_string(*whole);
        }
        // Ties go to even on v x 10000 itself: 1/160 s is 0.0062, not printf's 0.0063.
        const auto tenThousandths = common::RoundHalfEven(seconds * 10000.0);
        if (!tenThousandths) return {};
        return common::FormatGeneral(static_cast<double>(*tenThousandths) / 10000.0, decimalSeparator);
    } catch (const std::domain_error&) {
        return {};
    }
}

}  // namespace quorvela::analysis
