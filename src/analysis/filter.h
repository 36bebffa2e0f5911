#pragma once

#include <string>
#include <string_view>

#include "analysis_settings.h"

namespace quorvela::metadata {
class TimgData;
}

namespace quorvela::analysis {

inline constexpr std::string_view kFilterRefused =
    "You need to fill Maker and/or Model, and/or enter two strings at the Maker note.";
inline constexpr std::string_view kPeriodRefused =
    "The period needs its days as YYYY-MM-DD, such as 2026-06-01, and its first day not after its last.";
inline constexpr std::string_view kFilterScanning = "Scanning files with the filter enabled";

// False when exactly one of the two maker-note fields holds text, or when the period is not
// usable (PeriodUsable): the run is then refused.
bool CheckFilterFields(const FilterFields& fields);
// True when each period day given is a real day "YYYY-MM-DD" and the first is not after the last.
bool PeriodUsable(const FilterFields& fields);
// True when a period end is given: photos without a date are then left out.
bool HasPeriod(const FilterFields& fields);

// Substring tests, both sides upper-cased; an empty field takes no part. A file without an
// EXIF block matches nothing.
bool CameraMatches(const metadata::TimgData& reader, std::string_view make, std::string_view model);
// True when one maker-note entry's description holds `label` and its text holds `data`.
bool GetMakerNote(std::string_view label, std::string_view data, const metadata::TimgData& reader);

// Why a file does or does not take part in a filtered run.
enum class FilterVerdict {
    Passed,
    Failed,   // a camera, maker-note, lens or period test failed
    Undated,  // every other test passed, but a period is set and the photo has no (well-formed) date
};

// Whether a file already read takes part in a filtered run.
FilterVerdict JudgeFile(const metadata::TimgData& reader, const FilterFields& fields);
inline bool PassesFilter(const metadata::TimgData& reader, const FilterFields& fields) {
    return JudgeFile(reader, fields) == FilterVerdict::Passed;
}

// The message at the end of a filtered run that analysed at least one file. With a lens or a
// period, a line "Lens: …; Period: … to …; N photos without a date left out" follows.
std::string FilterSummaryText(int filesAnalysed, int filesFound, const FilterFields& fields, int undated = 0);

}  // namespace quorvela::analysis
