#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "analysis_settings.h"
#include "tallies.h"

namespace quorvela::analysis {

// What the window keeps of each photo a run counted, to answer questions after the run.
struct PhotoRecord {
    std::string Path;                                    // the file, as the run was given it
    std::array<std::string, kQuantityCount> Categories;  // per Quantity, the category text charted; empty = none
    std::int64_t FocalMm = -1;  // whole millimetres in the run's mode (35 mm or real), no steps; -1 = none
    std::string MakeModel;      // MakeModelText (UTF-8)
    std::string MakerNotes;     // Show2MakerNotes text when the run adds maker notes, else empty
    std::string DebugInfo;      // Debuginfo, for stepped focal lines
};

// The photo's path-list line for a quantity, in the run's layouts (path_lines.h); empty when
// the photo has no category of that quantity.
std::string LineFor(const PhotoRecord& photo, Quantity quantity, const AnalysisSettings& settings);

}  // namespace quorvela::analysis
