#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvela::metadata {
class TimgData;
class TImageInfo;
struct XmpFacts;
}  // namespace quorvela::metadata

namespace quorvela::library {

// A lens's focal range in real millimetres and its widest f-number at each end, as a photo
// gives them; 0 = not given.
struct LensSpan {
    double MinFocal = 0.0;
    double MaxFocal = 0.0;
    double WideAperture = 0.0;  // at MinFocal
    double LongAperture = 0.0;  // at MaxFocal
    [[nodiscard]] bool Known() const { return MinFocal > 0.0 && MaxFocal >= MinFocal; }
    bool operator==(const LensSpan&) const = default;
};

// The version of what the reader gives for PhotoFacts. Bump it whenever any of those texts
// would come out differently (a renderer, a maker-note table, the sensor reading): the photo
// cache then reads every photo again.
inline constexpr int kFactsVersion = 5;

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
    std::string Lens;       // the name the file gives its lens (FindLens); empty when none
    std::string DateTaken;  // DateTimeOriginal
    std::string Format;     // the file format's name, when the reader tells it
    // The sensor as the photo's entries give it (metadata::SensorReading); 0 when unknown.
    double NoteCrop = 0.0;
    double PlaneCrop = 0.0;
    double Aspect = 0.0;
    LensSpan LensRange;  // what the file says of its lens's range (FindLens); unknown when none
    // What the photographer's tools say of the shot, from its sidecars, its own XMP or its EXIF
    // (RatingOf): -1 rejected, 0 unrated, 1 to 5 stars; the colour label as written.
    int Rating = 0;
    std::string Label;
    std::string XmpProblem;          // why an XMP packet or sidecar of the photo was not read
    std::uint64_t SidecarStamp = 0;  // the sidecars read (SidecarStamp); 0 without any
    // The maker note's entries as (description, text), held only when a run asked for them:
    // decoding every note costs more than the rest of a reading. MakerNotePairsRead: they were
    // asked for (or the file has no EXIF, and so none), and MakerNotePairs is all there is.
    bool MakerNotePairsRead = false;
    bool MakerNoteDecoded = false;
    std::vector<std::pair<std::string, std::string>> MakerNotePairs;

    bool operator==(const PhotoFacts&) const = default;
};

// Reads `path` (when `readable`; otherwise it counts as a file without metadata) and its
// sidecars (in the order they take precedence, see PhotoPath), and takes their facts. The
// maker note is decoded only for the pairs or the ISO fallback.
PhotoFacts ReadFacts(const std::string& path, bool readable, bool withPairs, metadata::TimgData& reader,
                     std::span<const std::string> sidecars = {});

// The facts of a file that `reader` has read (with or without deferred maker-note decoding),
// with what its sidecars say, first that applies first.
PhotoFacts FactsOf(metadata::TimgData& reader, bool withPairs, std::span<const metadata::XmpFacts> sidecars = {});

// A rating as written (xmp:Rating, EXIF Rating): -1 rejected, 0 unrated, 1 to 5; a real
// number is rounded; anything else is unrated.
int RatingOf(std::string_view text);

// What identifies the present state of a photo's sidecars: their names, sizes, times and
// inodes. 0 when none is a regular file.
std::uint64_t SidecarStamp(std::span<const std::string> sidecars);

// Whether an EXIF ISO text is a setting, a positive number: some cameras store 0 (or nothing)
// and keep the real one in their maker note.
bool StoredIso(const std::string& text);

// Digits of a maker-note ISO text: those after the first "," when there is one, else all of
// them; "0" when there are none.
std::string IsoDigits(std::string_view text);

// The ISO the decoded maker note keeps, as its make's reader found it; for a note without
// one, the ISO digits of the first maker-note entry that speaks of ISO speed or CCD
// sensitivity, its description and value read as one text; "0" when none does.
std::string IsoFromMakerNotes(metadata::TImageInfo& exif);

// Facts as bytes and back. A text that does not decode completely gives nothing.
std::string EncodeFacts(const PhotoFacts& facts);
std::optional<PhotoFacts> DecodeFacts(std::string_view bytes);

}  // namespace quorvela::library
