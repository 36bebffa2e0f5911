// HEIF, HEIC and AVIF pictures for the preview, decoded with libheif.
#include <libheif/heif.h>

#include <QImage>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "viewer/preview_sources.h"

namespace quorvela::viewer::detail {

namespace {

// Wider or higher pictures are refused by libheif while it reads the file, before decoding.
constexpr int kHeifSideLimit = 1 << 16;

struct HeifFree {
    void operator()(heif_context* context) const { heif_context_free(context); }
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
    void operator()(heif_image* image) const { heif_image_release(image); }
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};
using Context = std::unique_ptr<heif_context, HeifFree>;
using Handle = std::unique_ptr<heif_image_handle, HeifFree>;
using Image = std::unique_ptr<heif_image, HeifFree>;
using Options = std::unique_ptr<heif_decoding_options, HeifFree>;

// libheif loads its decoder plugins once; the preview never ends it, as other threads may
// still be decoding when the program closes.
void StartLibheif() {
    static const bool started = [] {
        heif_init(nullptr);
        return true;
    }();
    (void)started;
}

PreviewImage Undecodable(PreviewImage preview, const QString& reason) {
    preview.Error = QStringLiteral("This HEIF file could not be decoded: %1.").arg(reason);
    return preview;
}

QString Reason(const heif_error& error) {
    return QString::fromUtf8(error.message != nullptr ? error.message : "unknown error");
}

QSize ShownSize(const heif_image_handle* handle) {
    return {heif_image_handle_get_width(handle), heif_image_handle_get_height(handle)};
}

// The smallest thumbnail that still fills the box, so a phone's 12-megapixel picture is not
// decoded for a 218-pixel square; null when none does. A thumbnail must lie the way the
// picture lies: one stored without the picture's rotation would come out on its side.
Handle FillingThumbnail(const heif_image_handle* primary, QSize box) {
    const int count = heif_image_handle_get_number_of_thumbnails(primary);
    if (count <= 0 || count > 16) return nullptr;
    std::vector<heif_item_id> ids(static_cast<std::size_t>(count));
    const int listed = heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), count);
    const QSize shown = ShownSize(primary);
    const int needed = std::min(box.width(), box.height());
    Handle best;
    for (int i = 0; i < listed; ++i) {
        heif_image_handle* found = nullptr;
        if (heif_image_handle_get_thumbnail(primary, ids[static_cast<std::size_t>(i)], &found).code != heif_error_Ok) {
            continue;
        }
        Handle thumbnail(found);
        const QSize size = ShownSize(thumbnail.get());
        const bool fills = std::max(size.width(), size.height()) >= needed;
        const bool sameWay = (size.width() >= size.height()) == (shown.width() >= shown.height());
        if (fills && sameWay && (!best || size.width() < ShownSize(best.get()).width())) best = std::move(thumbnail);
    }
    return best;
}

// The decoded picture as an image of its own, fitted into the box. A coded picture may be
// larger than the image it holds (padded to whole coding blocks): only `shown` is kept.
QImage ToFittedImage(const heif_image* image, QSize shown, QSize box, QString& error) {
    int stride = 0;
    const std::uint8_t* plane = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(image, heif_channel_interleaved);
    const int height = heif_image_get_height(image, heif_channel_interleaved);
    if (plane == nullptr || width <= 0 || height <= 0 || stride < width * 3 ||
        heif_image_get_bits_per_pixel_range(image, heif_channel_interleaved) != 8) {
        error = QStringLiteral("the decoded picture has an unexpected layout");
        return {};
    }
    const QImage view(plane, std::min(width, shown.width()), std::min(height, shown.height()), stride,
                      QImage::Format_RGB888);
    // A new format makes a copy of its own, whether or not the picture had to be scaled.
    return FitIntoBox(view, box).convertToFormat(QImage::Format_RGB32);
}

}  // namespace

PreviewImage DecodeHeifPreview(const std::string& openPath, QSize box) {
    StartLibheif();
    PreviewImage preview;
    const Context context(heif_context_alloc());
    if (!context) return Undecodable(preview, QStringLiteral("out of memory"));
    heif_context_set_maximum_image_size_limit(context.get(), kHeifSideLimit);
    heif_error error = heif_context_read_from_file(context.get(), openPath.c_str(), nullptr);
    if (error.code != heif_error_Ok) return Undecodable(preview, Reason(error));
    heif_image_handle* found = nullptr;
    error = heif_context_get_primary_image_handle(context.get(), &found);
    const Handle primary(found);
    if (error.code != heif_error_Ok) return Undecodable(preview, Reason(error));
    preview.StoredSize =
        QSize(heif_image_handle_get_ispe_width(primary.get()), heif_image_handle_get_ispe_height(primary.get()));
    const Handle thumbnail = FillingThumbnail(primary.get(), box);
    const heif_image_handle* chosen = thumbnail ? thumbnail.get() : primary.get();
    const QSize size = ShownSize(chosen);
    if (size.width() <= 0 || size.height() <= 0 || std::int64_t{size.width()} * size.height() > kPreviewPixelLimit) {
        preview.Error = QStringLiteral("This HEIF picture is too large to be shown (%1 x %2).")
                            .arg(size.width())
                            .arg(size.height());
        return preview;
    }
    const Options options(heif_decoding_options_alloc());
    if (options) options->convert_hdr_to_8bit = 1;  // cameras store 10 bits
    heif_image* decoded = nullptr;
    error = heif_decode_image(chosen, &decoded, heif_colorspace_RGB, heif_chroma_interleaved_RGB, options.get());
    const Image image(decoded);
    if (error.code != heif_error_Ok || !image) return Undecodable(preview, Reason(error));
    QString layout;
    preview.Image = ToFittedImage(image.get(), size, box, layout);
    if (preview.Image.isNull())
        return Undecodable(preview, layout.isEmpty() ? QStringLiteral("out of memory") : layout);
    return preview;
}

}  // namespace quorvela::viewer::detail
