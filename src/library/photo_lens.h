#pragma once

#include <string>
#include <string_view>

#include "photo_facts.h"

namespace quorvela::metadata {
class TimgData;
class TImageInfo;
}  // namespace quorvela::metadata

namespace quorvela::library {

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

}  // namespace quorvela::library
