#pragma once

#include <cstdint>
#include <string>

#include "analysis_settings.h"
#include "equivalence/equivalent_table.h"
#include "equivalence/focal_length.h"
#include "lens_label.h"
#include "library/photo_facts.h"

namespace quorvela::analysis {

// Everything one file adds to a run. Empty texts mean "nothing for that quantity".
struct FileResult {
    bool Passed = true;           // false when the filter keeps the file out
    bool HasFocalLength = false;  // the file gave a focal-length text, even one beyond every category
    std::string Focal;            // "___50"
    std::string Iso;              // "___100"
    std::string Aperture;         // "__F5.6"
    std::string Shutter;          // "1/125" or "0.008"
    std::string PathLine;         // the line for the path list, in UTF-8
    std::string LinePath;         // the file that line names, exactly as given (the line may differ)
    std::string Lens;             // the lens label (LabelLens) in UTF-8; set for every file that passed
    std::string Rating;           // "rejected", "unrated", "1" to "5"; set for every file that passed
    library::LensSpan LensRange;  // the range of that lens, when known
    double RealFocal = 0.0;       // the focal length the file states, in real mm; 0 without one
    std::int64_t FocalMm = -1;    // whole millimetres without steps; -1 without a focal length
    bool Undated = false;         // left out by the period for want of a date
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

// Whether a run with these settings reads maker-note entries beyond the ISO fallback: the
// maker-note filter, and path lines with maker notes.
bool NeedsMakerNotePairs(const AnalysisSettings& settings);

// What deriving a file's result takes besides its facts and the run's settings.
struct Derivation {
    const equivalence::EquivalentList& Table;      // the camera table
    const equivalence::CropFactorSource& Cameras;  // crop factors of known cameras
    const LensCatalogue& Lenses;                   // lenses of known mounts, cameras with a lens of their own
    char DecimalSeparator = '.';                   // the one the facts were rendered with
    bool KeepRecord = false;                       // the pieces of a PhotoRecord come too
};

// A file's result for a run, from its facts alone: the same as reading the file for that run,
// and nothing else is looked at. Needs facts with their pairs when NeedsMakerNotePairs(settings).
FileResult DeriveResult(const library::PhotoFacts& facts, const std::string& path, const AnalysisSettings& settings,
                        const Derivation& derivation);

}  // namespace quorvela::analysis
