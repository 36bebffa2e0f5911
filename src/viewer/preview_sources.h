#pragma once

// The preview's decoders by format, behind `DecodePreview`; only the viewer's own files include
// this header.

#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>
#include <span>
#include <string>

#include "viewer/preview_decoder.h"
#include "viewer/preview_format.h"

namespace quorvela::viewer::detail {

// A JPEG decoded for the preview: upright, fitted, or why not. `Failure` is libjpeg's reason;
// `CutShort` says the data ended before the picture did.
struct JpegDecoding {
    PreviewImage Preview;
    QString Failure;
    bool CutShort = false;
};

// Decodes JPEG bytes at the smallest DCT scaling that fills `box` and turns the picture upright
// by `orientation` (1 to 8), or by the JPEG's own EXIF orientation when `orientation` is 0.
JpegDecoding DecodeJpeg(std::span<const std::uint8_t> bytes, QSize box, int orientation);

// The image scaled down in proportion to fit the box; never enlarged.
QImage FitIntoBox(const QImage& image, QSize box);

// The primary picture of a HEIF/HEIC/AVIF file (or a thumbnail of it that fills the box), with
// the file's own rotation and mirroring applied by libheif. `openPath` names the file to read.
PreviewImage DecodeHeifPreview(const std::string& openPath, QSize box);

// The preview image a RAW file embeds, found by LibRaw, turned upright by the RAW's own
// orientation. `fileSize` bounds what the preview may claim; `format` tells a RAW container from
// a file of unknown kind for the message when LibRaw does not know it.
PreviewImage DecodeRawPreview(const std::string& openPath, std::int64_t fileSize, PreviewFormat format, QSize box);

}  // namespace quorvela::viewer::detail
