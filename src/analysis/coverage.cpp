#include "coverage.h"

#include <charconv>
#include <cmath>

#include "common/number_format.h"

namespace quorvela::analysis {

namespace {

constexpr std::string_view kEnDash = "\xE2\x80\x93";

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// A positive length in plain decimal notation; no sign, exponent or other text.
std::optional<double> Length(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value) || value <= 0) {
        return std::nullopt;
    }
    return value;
}

std::string RangeText(const CoverageRange& range, std::string_view dash) {
    std::string from = common::FormatGeneral(range.From, '.');
    if (range.Prime) return from;
    return from + std::string(dash) + common::FormatGeneral(range.To, '.');
}

}  // namespace

std::optional<CoverageRange> ParseCoverage(std::string_view typed) {
    // As the window's field takes it: "24-70mm", "24 mm – 70 mm", "24—70": the unit in any case
    // and an em dash are the same range.
    std::string plain;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (i + 1 < typed.size() && (typed[i] == 'm' || typed[i] == 'M') &&
            (typed[i + 1] == 'm' || typed[i + 1] == 'M')) {
            ++i;
        } else if (typed.substr(i).starts_with("\xE2\x80\x94")) {
            plain.append(kEnDash);
            i += 2;
        } else {
            plain.push_back(typed[i]);
        }
    }
    const std::string_view text = plain;
    std::size_t dash = text.find(kEnDash);
    std::size_t dashLength = kEnDash.size();
    if (dash == std::string_view::npos) {
        dash = text.find('-');
        dashLength = 1;
    }
    // A range may start at 0 ("0-2000": every photo); a prime may not.
    const bool zero = dash != std::string_view::npos && TrimBlanks(text.substr(0, dash)) == "0";
    const auto from = zero ? std::optional<double>(0.0) : Length(text.substr(0, dash));
    if (!from) return std::nullopt;
    if (dash == std::string_view::npos) return CoverageRange{*from, *from, true};
    const auto to = Length(text.substr(dash + dashLength));
    if (!to || *to < *from) return std::nullopt;
    return CoverageRange{*from, *to, *from == *to};
}

std::string CoverageText(const CoverageRange& range) {
    return RangeText(range, "-");
}

bool Covers(const CoverageRange& range, std::int64_t wholeMm) {
    if (wholeMm < 0) return false;
    const auto mm = static_cast<double>(wholeMm);
    if (range.Prime) return mm >= range.From * 0.95 && mm <= range.From * 1.05;
    return mm >= range.From && mm <= range.To;
}

CoverageCount CountCoverage(const CoverageRange& range, std::span<const std::int64_t> wholeMm) {
    CoverageCount count;
    for (const std::int64_t mm : wholeMm) {
        if (mm < 0) continue;
        ++count.Of;
        if (Covers(range, mm)) ++count.Photos;
    }
    return count;
}

std::string CoverageSentence(const CoverageRange& range, CoverageCount count) {
    std::string sentence = RangeText(range, kEnDash) + " mm covers " + common::GroupThousands(count.Photos) + " of " +
                           common::GroupThousands(count.Of) + (count.Of == 1 ? " photo" : " photos");
    if (count.Of > 0) {
        const double percent = 100.0 * count.Photos / count.Of;
        sentence += " (" + common::FormatFixed(percent, 1, 0, '.') + " %)";
    }
    return sentence;
}

}  // namespace quorvela::analysis
