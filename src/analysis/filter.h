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
inline constexpr std::string_view kFilterScanning = "Scanning files with the filter enabled";

// False when exactly one of the two maker-note fields holds text: the run is then refused.
bool CheckFilterFields(const FilterFields& fields);

// Substring tests, both sides upper-cased; an empty field takes no part. A file without an
// EXIF block matches nothing.
bool CameraMatches(const metadata::TimgData& reader, std::string_view make, std::string_view model);
// True when one maker-note entry's description holds `label` and its text holds `data`.
bool GetMakerNote(std::string_view label, std::string_view data, const metadata::TimgData& reader);

// Whether a file already read takes part in a filtered run.
bool PassesFilter(const metadata::TimgData& reader, const FilterFields& fields);

// The message at the end of a filtered run that analysed at least one file.
std::string FilterSummaryText(int filesAnalysed, int filesFound, const FilterFields& fields);

}  // namespace quorvela::analysis
