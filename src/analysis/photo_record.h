#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "analysis_settings.h"
#include "common/quantity.h"
#include "file_result.h"

namespace quorvela::analysis {

// What the window keeps of each photo a run counted, to answer questions after the run.
struct PhotoRecord {
    std::string Path;                     // the file, as the run was given it
    PerQuantity<std::string> Categories;  // the category text charted; empty = none
    std::int64_t FocalMm = -1;            // whole millimetres in the run's mode (35 mm or real), no steps; -1 = none
    double RealFocal = 0.0;               // the real focal length the photo states; 0 = none
    library::LensSpan LensRange;          // the range of its lens, when known
    std::string MakeModel;                // MakeModelText (UTF-8)
    std::string MakerNotes;               // Show2MakerNotes text when the run adds maker notes, else empty
    std::string DebugInfo;                // Debuginfo, for stepped focal lines
};

// The record of a file that passed, its pieces moved out of `file` (derived with KeepRecord);
// the category texts are copied, as the tallies still count them.
PhotoRecord TakeRecord(FileResult& file);

// The photo's path-list line for a quantity, in the run's layouts (path_lines.h); empty when
// the photo has no category of that quantity.
std::string LineFor(const PhotoRecord& photo, Quantity quantity, const AnalysisSettings& settings);

}  // namespace quorvela::analysis
