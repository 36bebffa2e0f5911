#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvela::metadata {
class TimgData;
class TImageInfo;
}  // namespace quorvela::metadata

namespace quorvela::analysis {

inline constexpr std::string_view kUnknownLens = "unknown lens";

// Where a photo's lens text was found, first that applies.
enum class LensSource {
    LensModel,  // the EXIF LensModel tag
    CanonNote,  // Canon's maker-note lens model
    NikonNote,  // Nikon's maker-note lens information, shortest and longest length, apertures
    None,       // kUnknownLens
};

struct LensFinding {
    std::string Text;  // Windows-1252, as the metadata; trailing blanks and NULs gone
    LensSource Source = LensSource::None;
};

// The lens of a file already read (with its tags collected).
LensFinding FindLens(const metadata::TimgData& reader);
// What FindLens gives once the deferred maker note of `exif` is decoded, for a reading in
// which FindLens found no lens: the note's lens entries looked up without decoding the note
// (which stays deferred). Without a deferred note, no lens.
LensFinding FindLensInDeferredNote(metadata::TImageInfo& exif);
inline std::string LensText(const metadata::TimgData& reader) {
    return FindLens(reader).Text;
}

// A calendar day, comparable as a number YYYYMMDD.
struct CalendarDay {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    [[nodiscard]] int Number() const { return Year * 10000 + Month * 100 + Day; }
    friend bool operator==(const CalendarDay&, const CalendarDay&) = default;
};

// "YYYY-MM-DD", exactly so, a day that exists (2026-02-30 does not). nullopt otherwise.
std::optional<CalendarDay> ParseDay(std::string_view text);

// The day of an EXIF date "YYYY:MM:DD HH:MM:SS"; the time, when present, must be well formed
// too. nullopt for "0000:00:00 00:00:00", blanks and other malformed dates.
std::optional<CalendarDay> ParseExifDay(std::string_view text);

// The day the photo was taken (DateTimeOriginal), when it is well formed.
std::optional<CalendarDay> DateTaken(const metadata::TimgData& reader);

}  // namespace quorvela::analysis
