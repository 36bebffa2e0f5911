#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace quorvela::viewer {

// How the preview decodes a photo, told by its first bytes (never by its name).
enum class PreviewFormat {
    Jpeg,     // starts with SOI
    Heif,     // an ISO `ftyp` box naming a HEIF or AVIF brand
    Raw,      // a camera RAW container (TIFF-based, ORF, RW2, RAF, CRW, MRW, CR3, X3F)
    Unknown,  // none of these; LibRaw may still know it by other means
};

// The first bytes `PreviewFormatOf` looks at; fewer are fine for short files.
inline constexpr std::size_t kPreviewFormatHeadSize = 256;

PreviewFormat PreviewFormatOf(std::span<const std::uint8_t> head);

// LibRaw's `sizes.flip` (0 upright, 3 turned half way, 5 and 6 a quarter turn either way,
// 1, 2, 4, 7 mirrored) as the EXIF orientation (1 to 8) that turns the picture upright; 1 for
// values it does not know.
int OrientationFromRawFlip(int flip);

}  // namespace quorvela::viewer
