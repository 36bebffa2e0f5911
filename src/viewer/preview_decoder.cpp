#include "viewer/preview_decoder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QTransform>
#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <span>
#include <vector>

// clang-format off
// jpeglib.h needs size_t and FILE declared before it; jerror.h needs jpeglib.h.
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include "viewer/exif_orientation.h"
#include "viewer/preview_format.h"
#include "viewer/preview_sources.h"

namespace quorvela::viewer {

namespace {

constexpr int kApp1 = JPEG_APP0 + 1;

// libjpeg's default error_exit ends the process: ours jumps back to the decoder instead, and
// warnings are counted quietly rather than printed.
struct ErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
    bool CutShort;
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->Message);
    std::longjmp(errors->Jump, 1);
}

void EmitMessage(j_common_ptr info, int level) {
    if (level >= 0) return;  // trace messages
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    ++info->err->num_warnings;
    // The data ends (or meets the end marker) before the picture is complete: what would be
    // shown is mostly grey.
    const int code = info->err->msg_code;
    if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER) errors->CutShort = true;
}

void OutputMessage(j_common_ptr /*info*/) {}

// What the decoding step hands back; trivially destructible, as nothing between setjmp and
// longjmp may need a destructor.
struct RawResult {
    bool Ok;
    bool CutShort;
    int StoredWidth;
    int StoredHeight;
    int Orientation;
    int Eighths;
};

// Four bytes per pixel either way: turns C, M, Y, K into B, G, R, X in place.
void CmykToRgbInPlace(QImage& image, bool inverted) {
    for (int y = 0; y < image.height(); ++y) {
        std::uint8_t* p = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x, p += 4) {
            int c = p[0], m = p[1], yl = p[2], k = p[3];
            if (!inverted) c = 255 - c, m = 255 - m, yl = 255 - yl, k = 255 - k;
            p[0] = static_cast<std::uint8_t>(yl * k / 255);
            p[1] = static_cast<std::uint8_t>(m * k / 255);
            p[2] = static_cast<std::uint8_t>(c * k / 255);
            p[3] = 255;
        }
    }
}

// Decodes `bytes` into `*out` (allocated here once the size is known).
RawResult DecodeBytes(const std::uint8_t* bytes, unsigned long size, QSize box, QImage* out, char* message) {
    RawResult result{false, false, 0, 0, 1, 8};
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = ErrorExit;
    errors.Base.emit_message = EmitMessage;
    errors.Base.output_message = OutputMessage;
    if (setjmp(errors.Jump) != 0) {
        // Locals changed after setjmp are not to be trusted here: a fresh failure is returned.
        jpeg_destroy_decompress(&info);
        std::memcpy(message, errors.Message, JMSG_LENGTH_MAX);
        message[JMSG_LENGTH_MAX - 1] = '\0';
        return RawResult{false, false, 0, 0, 1, 8};
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes, size);
    jpeg_save_markers(&info, kApp1, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker != nullptr; marker = marker->next) {
        if (marker->marker != kApp1) continue;
        const int orientation = ExifOrientation(std::span<const std::uint8_t>(marker->data, marker->data_length));
        if (orientation != 1) {
            result.Orientation = orientation;
            break;
        }
    }
    result.StoredWidth = static_cast<int>(info.image_width);
    result.StoredHeight = static_cast<int>(info.image_height);
    result.Eighths = DctScaleEighths(QSize(result.StoredWidth, result.StoredHeight), box);
    info.scale_num = static_cast<unsigned>(result.Eighths);
    info.scale_denom = 8;
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_calc_output_dimensions(&info);
    // A hostile header may claim 65535 x 65535: refused before anything is allocated for it.
    if (std::int64_t{info.output_width} * info.output_height > kPreviewPixelLimit) {
        jpeg_destroy_decompress(&info);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", "The picture is too large to be shown");
        return result;
    }
    jpeg_start_decompress(&info);
    *out = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height), QImage::Format_RGB32);
    if (out->isNull()) {
        jpeg_destroy_decompress(&info);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", "Not enough memory for the picture");
        return result;
    }
    const bool inverted = info.saw_Adobe_marker != 0;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    if (cmyk) CmykToRgbInPlace(*out, inverted);
    jpeg_finish_decompress(&info);
    result.CutShort = errors.CutShort;
    jpeg_destroy_decompress(&info);
    result.Ok = true;
    return result;
}

}  // namespace

QImage Orient(const QImage& image, int orientation) {
    switch (orientation) {
        case 2:
            return image.mirrored(true, false);
        case 3:
            return image.transformed(QTransform().rotate(180));
        case 4:
            return image.mirrored(false, true);
        case 5:
            return image.transformed(QTransform().rotate(90)).mirrored(true, false);
        case 6:
            return image.transformed(QTransform().rotate(90));
        case 7:
            return image.transformed(QTransform().rotate(90)).mirrored(false, true);
        case 8:
            return image.transformed(QTransform().rotate(270));
        default:
            return image;
    }
}

int DctScaleEighths(QSize stored, QSize box) {
    if (stored.width() <= 0 || stored.height() <= 0 || box.isEmpty()) return 8;
    // Rotated pictures swap their sides, so fit the longer side into the shorter side of the box.
    const double fit = std::min(
        1.0, static_cast<double>(std::min(box.width(), box.height())) / std::max(stored.width(), stored.height()));
    for (int eighths = 1; eighths < 8; ++eighths) {
        if (eighths >= fit * 8.0) return eighths;
    }
    return 8;
}

namespace {

// A photo file open for reading, closed when it goes.
class OpenFile {
  public:
    OpenFile() = default;
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() {
        if (fd >= 0) ::close(fd);
    }
    int fd = -1;
    std::int64_t size = 0;
};

// Opens the file if it is a regular file within the limit, or says why not. O_NONBLOCK: a FIFO
// must not hold the thread.
bool OpenPhotoFile(const std::string& path, OpenFile& file, QString& error) {
    file.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (file.fd < 0) {
        error = QStringLiteral("This photo cannot be read: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = QStringLiteral("This is not a photo file.");
        return false;
    }
    if (info.st_size > kPreviewFileLimit) {
        error = QStringLiteral("This photo is too large to be shown (%1 MB).").arg(info.st_size >> 20);
        return false;
    }
    file.size = info.st_size;
    return true;
}

// Up to `limit` bytes from the file's start; fewer when the file shrank since it was opened.
QByteArray ReadStart(const OpenFile& file, std::int64_t limit) {
    QByteArray bytes;
    bytes.resize(static_cast<qsizetype>(std::min(file.size, limit)));
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::pread(file.fd, bytes.data() + got, static_cast<std::size_t>(bytes.size() - got), got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += n;
    }
    bytes.truncate(got);
    return bytes;
}

// The libraries open files by name: they are handed the file already checked, not whatever the
// name may point to by now.
std::string NameOfOpenFile(const OpenFile& file) {
    return "/proc/self/fd/" + std::to_string(file.fd);
}

PreviewImage JpegPreview(const OpenFile& file, QSize box) {
    const QByteArray bytes = ReadStart(file, file.size);
    detail::JpegDecoding jpeg = detail::DecodeJpeg(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())),
        box, 0);
    if (!jpeg.Failure.isEmpty()) {
        jpeg.Preview.Error = QStringLiteral("This photo cannot be shown: %1.").arg(jpeg.Failure);
    } else if (jpeg.CutShort) {
        jpeg.Preview.Error = QStringLiteral("This photo's picture is cut short; it cannot be shown.");
    }
    return jpeg.Preview;
}

}  // namespace

namespace detail {

QImage FitIntoBox(const QImage& image, QSize box) {
    if (image.width() <= box.width() && image.height() <= box.height()) return image;
    return image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

JpegDecoding DecodeJpeg(std::span<const std::uint8_t> bytes, QSize box, int orientation) {
    JpegDecoding jpeg;
    QImage decoded;
    char message[JMSG_LENGTH_MAX] = {};
    const RawResult raw = DecodeBytes(bytes.data(), static_cast<unsigned long>(bytes.size()), box, &decoded, message);
    jpeg.Preview.StoredSize = QSize(raw.StoredWidth, raw.StoredHeight);
    jpeg.Preview.Orientation = orientation != 0 ? orientation : raw.Orientation;
    jpeg.Preview.ScaleEighths = raw.Eighths;
    if (!raw.Ok) {
        jpeg.Failure = QString::fromLatin1(message);
    } else if (raw.CutShort) {
        jpeg.CutShort = true;
    } else {
        jpeg.Preview.Image = FitIntoBox(Orient(decoded, jpeg.Preview.Orientation), box);
    }
    return jpeg;
}

}  // namespace detail

PreviewImage DecodePreview(const std::string& path, QSize box) {
    PreviewImage preview;
    OpenFile file;
    if (!OpenPhotoFile(path, file, preview.Error)) return preview;
    const QByteArray head = ReadStart(file, kPreviewFormatHeadSize);
    if (head.isEmpty()) {
        preview.Error = QStringLiteral("This photo is an empty file.");
        return preview;
    }
    const PreviewFormat format = PreviewFormatOf(
        std::span(reinterpret_cast<const std::uint8_t*>(head.constData()), static_cast<std::size_t>(head.size())));
    switch (format) {
        case PreviewFormat::Jpeg:
            return JpegPreview(file, box);
        case PreviewFormat::Heif:
            return detail::DecodeHeifPreview(NameOfOpenFile(file), box);
        case PreviewFormat::Raw:
        case PreviewFormat::Unknown:
            break;
    }
    // LibRaw knows some RAW formats by their size alone, so a file of unknown kind is asked too.
    return detail::DecodeRawPreview(NameOfOpenFile(file), file.size, format, box);
}

}  // namespace quorvela::viewer
