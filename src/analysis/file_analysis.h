#pragma once

#include <cstdint>
#include <string>

#include "analysis_settings.h"
#include "equivalence/equivalent_table.h"
#include "equivalence/focal_length.h"

namespace quorvela::metadata {
class TimgData;
}

namespace quorvela::analysis {

// Everything one file adds to a run. Empty texts mean "nothing for that quantity".
struct FileResult {
    bool Passed = true;         // false when the filter keeps the file out
    bool Analysed = false;      // the file gave a focal-length text, even one beyond every category
    std::string Focal;          // "___50"
    std::string Iso;            // "___100"
    std::string Aperture;       // "__F5.6"
    std::string Shutter;        // "1/125" or "0.008"
    std::string PathLine;       // the line for the path list, in UTF-8
    std::string LinePath;       // the file that line names, exactly as given (the line may differ)
    std::string Lens;           // the lens text in UTF-8; set for every file that passed
    std::int64_t FocalMm = -1;  // whole millimetres without steps; -1 without a focal length
    bool Undated = false;       // left out by the period for want of a date
    // Where the focal length came from, when there is one.
    equivalence::EquivalentSource Source = equivalence::EquivalentSource::Manual;
    // In the 35mm-equivalent mode, a focal length from the manual factor: a guess. The camera
    // (Windows-1252, trimmed) names it to the user.
    bool Estimated = false;
    std::string Make;
    std::string Model;
    // The file and its path-list pieces, for a PhotoRecord: only when `keepRecord` is asked for.
    std::string Path;
    std::string MakeModel;
    std::string MakerNotes;
    std::string DebugInfo;
};

// Reads one file once and answers every query of the run from that reading. Depends only on
// its arguments (`reader` is a scratch object reused between files), so files can be
// analysed on several threads, each with its own reader. The reader's decimal separator is
// the run's.
// With `keepRecord` the path-list pieces of every file that passed are kept in the result.
FileResult AnalyseFile(const std::string& path, const AnalysisSettings& settings,
                       const equivalence::EquivalentList& table, metadata::TimgData& reader, bool keepRecord = false);

// Whether `path` names something that may be read as a photo: a regular file, after
// following links. FIFOs and devices named like photos are never opened.
bool IsReadableFile(const std::string& path);

}  // namespace quorvela::analysis
