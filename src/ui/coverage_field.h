#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/coverage.h"

namespace quorvela::ui {

// What the coverage field holds: a range, nothing (an empty field), or why it cannot be read.
struct CoverageField {
    std::optional<analysis::CoverageRange> Range;
    std::string Problem;  // empty unless the text could not be read
};

inline constexpr std::string_view kCoverageHint =
    "Type a range such as 24-70 or 24-70mm, or one length such as 50 for a prime.";
inline constexpr std::string_view kCoverageReversed =
    "The range runs backwards: write the shorter length first, such as 24-70.";
inline constexpr std::string_view kCoverageZero = "A prime's length is more than 0 mm.";

// The focal lengths one bar of the focal-length chart counts: with steps, each length goes to
// the nearest step (one halfway goes up), and lengths up to "Ignore" keep a bar of their own.
struct LengthSpan {
    std::int64_t From = 0;
    std::int64_t To = 0;
    bool operator==(const LengthSpan&) const = default;
};
LengthSpan StepSpan(std::int64_t barMm, int stepSize, int ignoreUpTo);

// The bars the coverage band shades: how many photos they hold and which lengths they count.
struct ShadedBars {
    int Bars = 0;
    int Photos = 0;
    LengthSpan Lengths;
    int StepSize = 0;  // 0: without steps, each bar is one length
};

// The sentence beside the coverage field: "24–70 mm (35 mm equivalent) covers 61 of 108 photos
// (56.5 %)", "real length" in that mode; with steps, how the shaded bars' count differs: "The
// shaded bar holds 140 photos: with steps of 10 mm it counts 45 to 54 mm." UTF-8.
std::string CoverageWords(const analysis::CoverageRange& range, analysis::CoverageCount count, bool realLength,
                          const std::optional<ShadedBars>& bars);

// Reads the field as a photographer writes a lens: "24-70", "24-70mm", "24–70 mm" (en or em
// dash), "24 mm - 70 mm", "50", "50mm", "0-2000" (every photo), decimals with "." or ",", any
// blanks; "mm" in any case. A range written longest first gets its own problem.
CoverageField ReadCoverageField(std::string_view text);

}  // namespace quorvela::ui
