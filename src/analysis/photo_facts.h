#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis_settings.h"
#include "equivalence/equivalent_table.h"
#include "equivalence/focal_length.h"
#include "lens_and_date.h"

namespace quorvela::metadata {
class TimgData;
}

namespace quorvela::analysis {

struct FileResult;

// The version of what the reader gives for PhotoFacts. Bump it whenever any of those texts
// would come out differently (a renderer, a maker-note table, the sensor reading): the photo
// cache then reads every photo again.
inline constexpr int kFactsVersion = 3;

// Every text a run takes from one photo, whatever the run's settings: what a reading gives
// and what the photo cache keeps. Texts are as the reader renders them (Windows-1252, with
// the reader's decimal separator); empty means "not in the file".
struct PhotoFacts {
    bool HasExif = false;
    std::string Make;
    std::string Model;
    std::string FocalLength;
    std::string FocalLength35;  // FocalLengthIn35mmFilm as stored; the reader's derivation is no fact
    std::string Iso;            // ISOSpeedRatings
    std::string MakerNoteIso;   // the maker note's ISO digits; only when Iso is no positive number
    std::string FNumber;
    std::string ExposureTime;
    std::string ShutterSpeedValue;
    std::string Lens;       // FindLens's text; empty without EXIF ("unknown lens")
    std::string DateTaken;  // DateTimeOriginal
    std::string Format;     // the file format's name, when the reader tells it
    // The sensor as the photo's entries give it (metadata::SensorReading); 0 when unknown.
    double NoteCrop = 0.0;
    double PlaneCrop = 0.0;
    double Aspect = 0.0;
    // The maker note's entries as (description, text), held only when a run asked for them:
    // decoding every note costs more than the rest of a reading.
    bool HasMakerNotePairs = false;
    bool MakerNoteDecoded = false;
    std::vector<std::pair<std::string, std::string>> MakerNotePairs;

    bool operator==(const PhotoFacts&) const = default;
};

// The lens text of facts: "unknown lens" for a file without EXIF.
inline std::string_view LensOf(const PhotoFacts& facts) {
    return facts.Lens.empty() ? kUnknownLens : std::string_view(facts.Lens);
}

// Whether a run with these settings reads maker-note entries beyond the ISO fallback: the
// maker-note filter, and path lines with maker notes.
bool NeedsMakerNotePairs(const AnalysisSettings& settings);

// Reads `path` (when `readable`; otherwise it counts as a file without metadata) and takes
// its facts. The maker note is decoded only for the pairs or the ISO fallback.
PhotoFacts ReadFacts(const std::string& path, bool readable, bool withPairs, metadata::TimgData& reader);

// The facts of a file that `reader` has read (with or without deferred maker-note decoding).
PhotoFacts FactsOf(metadata::TimgData& reader, bool withPairs);

// A file's result for a run, from its facts alone: the same as reading the file for that run.
// `decimalSeparator` is the one the facts were rendered with. Needs pairs when
// NeedsMakerNotePairs(settings). With `keepRecord` the pieces of a PhotoRecord come too.
// `cameras` gives crop factors of known cameras; lensfun's list, read on first need, when null.
FileResult DeriveResult(const PhotoFacts& facts, const std::string& path, const AnalysisSettings& settings,
                        const equivalence::EquivalentList& table, char decimalSeparator, bool keepRecord = false,
                        const equivalence::CropFactorSource* cameras = nullptr);

// Facts as bytes and back. A text that does not decode completely gives nothing.
std::string EncodeFacts(const PhotoFacts& facts);
std::optional<PhotoFacts> DecodeFacts(std::string_view bytes);

}  // namespace quorvela::analysis
