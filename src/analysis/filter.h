#pragma once

#include <string>
#include <string_view>

#include "analysis_settings.h"
#include "library/photo_facts.h"

namespace quorvela::analysis {

inline constexpr std::string_view kFilterRefused =
    "You need to fill Maker and/or Model, and/or enter two strings at the Maker note.";
inline constexpr std::string_view kPeriodRefused = "The period needs its days as YYYY-MM-DD, such as 2026-06-01.";
inline constexpr std::string_view kPeriodReversed = "The period cannot be used: the first day is after the last.";
inline constexpr std::string_view kFilterScanning = "Scanning files with the filter enabled";

// False when exactly one of the two maker-note fields holds text, or when the period is not
// usable (PeriodUsable): the run is then refused.
bool CheckFilterFields(const FilterFields& fields);
// True when each period day given is a real day "YYYY-MM-DD" and the first is not after the last.
bool PeriodUsable(const FilterFields& fields);
// Why the period cannot be used (kPeriodReversed for real days in the wrong order, else
// kPeriodRefused); for a period that can be used, kPeriodRefused.
std::string_view PeriodProblem(const FilterFields& fields);
// True when a period end is given: photos without a date are then left out.
bool HasPeriod(const FilterFields& fields);

// Why a file does or does not take part in a filtered run.
enum class FilterVerdict {
    Passed,
    Failed,   // a camera, maker-note, lens or period test failed
    Undated,  // every other test passed, but a period is set and the photo has no (well-formed) date
};

// A photo's rating when rejected (library::PhotoFacts::Rating).
inline constexpr int kRejected = -1;

// Whether a photo takes part in a filtered run. Texts are substring tests, both sides
// upper-cased, an empty field taking no part; a file without EXIF matches no camera or
// maker-note test; the lens test looks at the photo's lens label (Windows-1252). The
// maker-note test needs facts with their pairs.
FilterVerdict PassesFilter(const library::PhotoFacts& facts, const FilterFields& fields, std::string_view lensLabel);

// The message at the end of a filtered run that analysed at least one file: how many files
// matched, then a line "Name: value" for each field that takes part (Make, Model, Maker note,
// Lens, Rating, rejected photos, Label, Period with the photos left out for want of a date).
std::string FilterSummaryText(int filesAnalysed, int filesFound, const FilterFields& fields, int undated = 0);

}  // namespace quorvela::analysis
