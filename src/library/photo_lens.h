#pragma once

#include <string>
#include <string_view>

#include "photo_facts.h"

namespace quorvela::metadata {
class TimgData;
class TImageInfo;
}  // namespace quorvela::metadata

namespace quorvela::library {

// Where a photo's lens name was found, first that applies.
enum class LensSource {
    LensModel,  // the EXIF LensModel tag
    CanonNote,  // Canon's maker-note lens model
    None,       // no name; a range may still be known
};

// Where the lens's focal range was found, first that applies.
enum class RangeSource {
    NikonNote,          // Nikon's lens information: shortest and longest length, apertures
    LensSpecification,  // the EXIF LensSpecification tag
    CanonSettings,      // Canon's camera settings: short and long focal length in focal units
    None,
};

struct LensFinding {
    std::string Text;  // Windows-1252, as the metadata; trailing blanks and NULs gone; empty = no name
    LensSource Source = LensSource::None;
    LensSpan Range;
    RangeSource From = RangeSource::None;
};

// The lens of a file already read (with its tags collected).
LensFinding FindLens(const metadata::TimgData& reader);
// `found` completed from the deferred maker note of `exif`: the note's lens entries looked up
// without decoding the note (which stays deferred). Without a deferred note, `found` as it is.
LensFinding CompleteFromDeferredNote(metadata::TImageInfo& exif, LensFinding found);

// Whether a text can name a lens: it holds a letter or a digit.
bool CanNameLens(std::string_view text);

}  // namespace quorvela::library
