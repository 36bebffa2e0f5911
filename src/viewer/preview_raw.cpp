// RAW photos for the preview: the JPEG (or bitmap) a camera embeds, found by LibRaw, turned
// upright by the RAW's own orientation.
#include <libraw/libraw.h>

#include <QImage>
#include <cstdint>
#include <memory>

#include "viewer/preview_sources.h"

namespace quorvela::viewer::detail {

namespace {

// Embedded previews are a few megabytes at most; a larger claim is a damaged directory.
constexpr std::int64_t kRawPreviewByteLimit = std::int64_t{64} << 20;

PreviewImage WithError(PreviewImage preview, const QString& error) {
    preview.Error = error;
    return preview;
}

QString LibRawReason(int code) {
    return QString::fromLatin1(LibRaw::strerror(code));
}

// The preview's bytes are checked before LibRaw allocates them: a directory may claim more than
// the file holds.
QString ThumbnailProblem(const libraw_thumbnail_t& thumbnail, std::int64_t fileSize) {
    if (thumbnail.tlength == 0) return QStringLiteral("This RAW file holds no preview image.");
    if (std::int64_t{thumbnail.tlength} > fileSize) return QStringLiteral("This RAW file's preview image is cut off.");
    if (std::int64_t{thumbnail.tlength} > kRawPreviewByteLimit) {
        return QStringLiteral("This RAW file's preview image is too large to be shown.");
    }
    return {};
}

// An 8-bit bitmap preview (RGB or grey, rows without padding) turned upright and fitted.
PreviewImage BitmapPreview(const libraw_thumbnail_t& thumbnail, int orientation, QSize box) {
    PreviewImage preview;
    preview.StoredSize = QSize(thumbnail.twidth, thumbnail.theight);
    preview.Orientation = orientation;
    const int colors = thumbnail.tcolors;
    const std::int64_t needed = std::int64_t{thumbnail.twidth} * thumbnail.theight * colors;
    if ((colors != 1 && colors != 3) || thumbnail.thumb == nullptr || needed <= 0 || needed > thumbnail.tlength) {
        return WithError(preview, QStringLiteral("This RAW file's preview image is damaged."));
    }
    const QImage view(reinterpret_cast<const uchar*>(thumbnail.thumb), thumbnail.twidth, thumbnail.theight,
                      static_cast<qsizetype>(thumbnail.twidth) * colors,
                      colors == 3 ? QImage::Format_RGB888 : QImage::Format_Grayscale8);
    // A new format makes a copy of its own before LibRaw frees the bytes.
    preview.Image = FitIntoBox(Orient(view.convertToFormat(QImage::Format_RGB32), orientation), box);
    return preview;
}

PreviewImage JpegThumbnailPreview(const libraw_thumbnail_t& thumbnail, int orientation, QSize box) {
    JpegDecoding jpeg =
        DecodeJpeg(std::span(reinterpret_cast<const std::uint8_t*>(thumbnail.thumb), std::size_t{thumbnail.tlength}),
                   box, orientation);
    if (!jpeg.Failure.isEmpty()) {
        jpeg.Preview.Error = QStringLiteral("This RAW file's preview image cannot be shown: %1.").arg(jpeg.Failure);
    } else if (jpeg.CutShort) {
        jpeg.Preview.Error = QStringLiteral("This RAW file's preview image is cut short; it cannot be shown.");
    }
    return jpeg.Preview;
}

}  // namespace

PreviewImage DecodeRawPreview(const std::string& openPath, std::int64_t fileSize, PreviewFormat format, QSize box) {
    PreviewImage preview;
    // LibRaw's state is large: on the heap, not on the worker's stack.
    const auto raw = std::make_unique<LibRaw>();
    raw->set_dataerror_handler(nullptr, nullptr);  // LibRaw would print each damaged read
    const int opened = raw->open_file(openPath.c_str());
    // A file LibRaw was only guessing at (some RAW formats are known by their size alone).
    if (opened != LIBRAW_SUCCESS && format == PreviewFormat::Unknown) {
        return WithError(preview, QStringLiteral("This photo cannot be shown: it is not a JPEG, HEIF or RAW file."));
    }
    if (opened != LIBRAW_SUCCESS) {
        return WithError(preview, QStringLiteral("This RAW file cannot be read: %1.").arg(LibRawReason(opened)));
    }
    const libraw_thumbnail_t& thumbnail = raw->imgdata.thumbnail;
    if (const QString problem = ThumbnailProblem(thumbnail, fileSize); !problem.isEmpty()) {
        return WithError(preview, problem);
    }
    const int unpacked = raw->unpack_thumb();
    if (unpacked == LIBRAW_NO_THUMBNAIL)
        return WithError(preview, QStringLiteral("This RAW file holds no preview image."));
    if (unpacked != LIBRAW_SUCCESS) {
        return WithError(
            preview, QStringLiteral("This RAW file's preview image cannot be read: %1.").arg(LibRawReason(unpacked)));
    }
    // The RAW's own orientation rules; an embedded JPEG's own counts only when the RAW has none.
    const int flipped = OrientationFromRawFlip(raw->imgdata.sizes.flip);
    switch (thumbnail.tformat) {
        case LIBRAW_THUMBNAIL_JPEG:
            return JpegThumbnailPreview(thumbnail, flipped == 1 ? 0 : flipped, box);
        case LIBRAW_THUMBNAIL_BITMAP:
            return BitmapPreview(thumbnail, flipped, box);
        default:
            return WithError(preview,
                             QStringLiteral("This RAW file's preview image is in a form that cannot be shown."));
    }
}

}  // namespace quorvela::viewer::detail
