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
    if (cmyk) {
        // Four bytes per pixel either way: turn C, M, Y, K into B, G, R, X in place.
        for (int y = 0; y < out->height(); ++y) {
            std::uint8_t* p = out->scanLine(y);
            for (int x = 0; x < out->width(); ++x, p += 4) {
                int c = p[0], m = p[1], yl = p[2], k = p[3];
                if (!inverted) c = 255 - c, m = 255 - m, yl = 255 - yl, k = 255 - k;
                p[0] = static_cast<std::uint8_t>(yl * k / 255);
                p[1] = static_cast<std::uint8_t>(m * k / 255);
                p[2] = static_cast<std::uint8_t>(c * k / 255);
                p[3] = 255;
            }
        }
    }
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

// The whole file, or why it cannot be had. O_NONBLOCK: a FIFO must not hold the thread.
bool ReadWholeFile(const std::string& path, QByteArray& bytes, QString& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = QStringLiteral("This photo cannot be read: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (!ok) {
        error = QStringLiteral("This is not a photo file.");
    } else if (info.st_size > kPreviewFileLimit) {
        error = QStringLiteral("This photo is too large to be shown (%1 MB).").arg(info.st_size >> 20);
        ok = false;
    } else {
        bytes.resize(static_cast<qsizetype>(info.st_size));
        qsizetype got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, static_cast<std::size_t>(bytes.size() - got));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;  // the file shrank since fstat: decode what is there
            got += n;
        }
        bytes.truncate(got);
    }
    ::close(fd);
    return ok;
}

}  // namespace

PreviewImage DecodePreview(const std::string& path, QSize box) {
    PreviewImage preview;
    QByteArray bytes;
    if (!ReadWholeFile(path, bytes, preview.Error)) return preview;
    if (bytes.isEmpty()) {
        preview.Error = QStringLiteral("This photo is an empty file.");
        return preview;
    }
    QImage decoded;
    char message[JMSG_LENGTH_MAX] = {};
    const RawResult raw = DecodeBytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                      static_cast<unsigned long>(bytes.size()), box, &decoded, message);
    preview.StoredSize = QSize(raw.StoredWidth, raw.StoredHeight);
    preview.Orientation = raw.Orientation;
    preview.ScaleEighths = raw.Eighths;
    if (!raw.Ok) {
        preview.Error = QStringLiteral("This photo cannot be shown: %1.").arg(QString::fromLatin1(message));
        return preview;
    }
    if (raw.CutShort) {
        preview.Error = QStringLiteral("This photo's picture is cut short; it cannot be shown.");
        return preview;
    }
    QImage upright = Orient(decoded, raw.Orientation);
    if (upright.width() > box.width() || upright.height() > box.height()) {
        upright = upright.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    preview.Image = std::move(upright);
    return preview;
}

}  // namespace quorvela::viewer
