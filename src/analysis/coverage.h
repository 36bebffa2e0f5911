#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quorvela::analysis {

// A lens's focal range, to ask how many photos it would have covered. A prime (one length)
// covers 5 % either side of it: a photographer cropping a little still counts as covered.
struct CoverageRange {
    double From = 0;
    double To = 0;
    bool Prime = false;  // From == To
};

// "24-70", "24–70" (en dash), "35", "24.5-70"; blanks around the numbers are allowed.
// nullopt for junk, a length of 0 or less, or from > to.
std::optional<CoverageRange> ParseCoverage(std::string_view text);

// The range as it is written back ("24-70", "35"), for the settings file.
std::string CoverageText(const CoverageRange& range);

// Whether a whole focal length lies in the range; bounds inclusive, a prime A covers
// [A x 0.95, A x 1.05].
bool Covers(const CoverageRange& range, std::int64_t wholeMm);

// N photos of M covered: M counts every photo with a focal length.
struct CoverageCount {
    int Photos = 0;
    int Of = 0;
};

// From each photo's whole focal length; -1 (none) takes no part.
CoverageCount CountCoverage(const CoverageRange& range, std::span<const std::int64_t> wholeMm);

// "24–70 mm covers 1,234 of 1,500 photos (82.3 %)", a prime "35 mm covers …". Without any
// photo with a focal length the percentage is left out.
std::string CoverageSentence(const CoverageRange& range, CoverageCount count);

}  // namespace quorvela::analysis
