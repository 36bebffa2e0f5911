#pragma once

#include <optional>
#include <string>

#include "common/quantity.h"
#include "coverage.h"
#include "equivalence/focal_length.h"

namespace quorvela::analysis {

// The camera, maker-note, lens, period and rating filter fields. Each has an initialiser, so a brace
// list may name any of them and leave the others empty.
struct FilterFields {
    std::string Make = {};
    std::string Model = {};
    std::string MakerNoteLabel = {};
    std::string MakerNoteData = {};
    std::string Lens = {};        // part of the lens text, as Make and Model
    std::string PeriodFrom = {};  // "YYYY-MM-DD", the first day taken part; empty: no lower end
    std::string PeriodTo = {};    // "YYYY-MM-DD", the last day taken part; empty: no upper end
    int MinRating = 0;            // 1 to 5: photos with fewer stars (unrated, rejected) left out; 0: none
    bool NoRejected = false;      // photos rated as rejected left out
    std::string Label = {};       // part of the colour label, any case; UTF-8, as XMP is
};

// What one run reads from the window (or the command line). Defaults are those of a first
// start without a settings file. Texts are Windows-1252, as the metadata texts they meet.
struct AnalysisSettings {
    std::string RootFolder;
    bool IncludeSubfolders = true;
    // RAW and HEIF files too, a shot with several files counted once; off: JPEG files only.
    bool IncludeRawHeif = true;
    bool FilterOn = false;
    FilterFields Filter;
    bool UseSteps = true;
    int StepSize = 10;    // 1 to 50
    int IgnoreUpTo = 28;  // 0 to 49
    bool FractionShutter = false;
    // The quantity whose values the path list shows (`RadioGroup1`); none is "no item selected".
    std::optional<Quantity> PathList = Quantity::FocalLength;
    bool AddMakerNotes = false;
    equivalence::LensSettings Lens;         // manual factor fields, real-length and always-calculate modes
    std::optional<CoverageRange> Coverage;  // how many photos this range covers; none when unset
};

}  // namespace quorvela::analysis
