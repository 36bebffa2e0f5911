#pragma once

#include <QImage>
#include <QSize>
#include <cstdint>
#include <string>

#include "viewer/preview_image.h"

namespace quorvela::viewer {

// The image turned upright according to an EXIF orientation (1 to 8; others leave it as is).
QImage Orient(const QImage& image, int orientation);

// The smallest DCT scaling (in eighths, 1 to 8) at which a picture of `stored` size still
// fills `box` once fitted in proportion; 8 for pictures that fit already.
int DctScaleEighths(QSize stored, QSize box);

// The decoders run the third-party libraries: the window never calls them itself, it asks the
// preview helper (`PreviewLoader`), which calls `DecodePreview` in a process of its own.

// Decodes the photo for the preview, told by its content: a JPEG with libjpeg at the smallest
// scaling that still fills `box`, turned upright by its EXIF orientation; a HEIF/HEIC/AVIF with
// libheif, upright by the file's own rotation and mirroring; any other file as a RAW through
// the preview image it embeds (LibRaw), upright by the RAW's orientation. The picture is scaled
// down in proportion to fit the box (never up). Safe to call on any thread; a damaged file, one
// cut short or a RAW without a preview gives an error text instead of an image. `path` is in
// the file system's own bytes (a name need not be UTF-8). Only regular files are read, and
// none larger than `kPreviewFileLimit`.
PreviewImage DecodePreview(const std::string& path, QSize box);

inline constexpr std::int64_t kPreviewFileLimit = std::int64_t{1} << 30;

// Decoded pictures of more pixels than this are refused before anything is allocated for them
// (the largest camera pictures have about 100 million).
inline constexpr std::int64_t kPreviewPixelLimit = std::int64_t{1} << 27;

}  // namespace quorvela::viewer
