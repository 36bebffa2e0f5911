#include "viewer/preview_protocol.h"

#include <QImage>
#include <algorithm>
#include <cstring>
#include <optional>

#include "metadata/byte_order.h"

namespace quorvela::viewer {

namespace {

constexpr char kReplyMark[] = "QPV1";
constexpr std::size_t kMarkSize = 4;
constexpr int kBytesPerPixel = 4;

void Append(QByteArray& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.append(static_cast<char>((value >> shift) & 0xFF));
}

// Negative numbers in two's complement: a size the decoder did not learn is -1.
void AppendInt(QByteArray& out, int value) {
    Append(out, static_cast<std::uint32_t>(value));
}

int AsInt(std::uint32_t value) {
    return static_cast<int>(static_cast<std::int32_t>(value));
}

// Reads a message front to back; every read is checked against what has arrived so far.
class Cursor {
  public:
    explicit Cursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // The next number, or nothing when it has not arrived.
    std::optional<std::uint32_t> Number() {
        const auto value = metadata::LoadUnsigned(bytes_, at_, 4, false);
        if (value) at_ += 4;
        return value ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*value)) : std::nullopt;
    }
    // The next `size` bytes, or nothing when they have not all arrived.
    std::optional<std::span<const std::uint8_t>> Bytes(std::size_t size) {
        if (size > bytes_.size() - at_) return std::nullopt;
        const auto piece = bytes_.subspan(at_, size);
        at_ += size;
        return piece;
    }
    [[nodiscard]] std::size_t Used() const { return at_; }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

bool InRange(std::uint32_t value, std::uint32_t low, std::uint32_t high) {
    return value >= low && value <= high;
}

// The fixed part of a reply up to its message; false when it breaks the protocol.
bool ReadReplyHead(Cursor& cursor, PreviewImage& preview, std::uint32_t& messageSize, bool& complete) {
    complete = false;
    const auto mark = cursor.Bytes(kMarkSize);
    if (!mark) return true;
    if (std::memcmp(mark->data(), kReplyMark, kMarkSize) != 0) return false;
    std::uint32_t fields[5] = {};
    for (std::uint32_t& field : fields) {
        const auto value = cursor.Number();
        if (!value) return true;
        field = *value;
    }
    const auto [storedWidth, storedHeight, orientation, eighths, size] = fields;
    if (AsInt(storedWidth) < -1 || AsInt(storedHeight) < -1 || !InRange(orientation, 1, 8) || !InRange(eighths, 1, 8) ||
        size > kMaxMessageBytes) {
        return false;
    }
    preview.StoredSize = QSize(AsInt(storedWidth), AsInt(storedHeight));
    preview.Orientation = static_cast<int>(orientation);
    preview.ScaleEighths = static_cast<int>(eighths);
    messageSize = size;
    complete = true;
    return true;
}

}  // namespace

QByteArray EncodeRequest(const PreviewRequest& request) {
    QByteArray out;
    AppendInt(out, request.Box.width());
    AppendInt(out, request.Box.height());
    Append(out, static_cast<std::uint32_t>(request.Path.size()));
    out.append(request.Path.data(), static_cast<qsizetype>(request.Path.size()));
    return out;
}

ParseResult<PreviewRequest> ParseRequest(std::span<const std::uint8_t> bytes) {
    ParseResult<PreviewRequest> result;
    Cursor cursor(bytes);
    const auto width = cursor.Number();
    const auto height = cursor.Number();
    const auto size = cursor.Number();
    if (!width || !height || !size) return result;
    if (!InRange(*width, 1, kMaxBoxSide) || !InRange(*height, 1, kMaxBoxSide) || !InRange(*size, 1, kMaxPathBytes)) {
        result.State = Parsed::Malformed;
        return result;
    }
    const auto path = cursor.Bytes(*size);
    if (!path) return result;
    result.Value.Box = QSize(static_cast<int>(*width), static_cast<int>(*height));
    result.Value.Path.assign(path->begin(), path->end());
    result.State = Parsed::Complete;
    result.Used = cursor.Used();
    return result;
}

QByteArray EncodeReply(const PreviewImage& preview) {
    QByteArray out(kReplyMark, kMarkSize);
    AppendInt(out, preview.StoredSize.width());
    AppendInt(out, preview.StoredSize.height());
    AppendInt(out, preview.Orientation);
    AppendInt(out, preview.ScaleEighths);
    QByteArray message = preview.Error.toUtf8();
    message.truncate(kMaxMessageBytes);
    Append(out, static_cast<std::uint32_t>(message.size()));
    out.append(message);
    const QImage image = preview.Image.convertToFormat(QImage::Format_RGB32);
    AppendInt(out, image.width());
    AppendInt(out, image.height());
    const auto rowBytes = static_cast<qsizetype>(image.width()) * kBytesPerPixel;
    for (int y = 0; y < image.height(); ++y)
        out.append(reinterpret_cast<const char*>(image.constScanLine(y)), rowBytes);
    return out;
}

ParseResult<PreviewImage> ParseReply(std::span<const std::uint8_t> bytes, QSize box) {
    ParseResult<PreviewImage> result;
    Cursor cursor(bytes);
    std::uint32_t messageSize = 0;
    bool headComplete = false;
    if (!ReadReplyHead(cursor, result.Value, messageSize, headComplete)) {
        result.State = Parsed::Malformed;
        return result;
    }
    if (!headComplete) return result;
    const auto message = cursor.Bytes(messageSize);
    if (!message) return result;
    const auto width = cursor.Number();
    const auto height = cursor.Number();
    if (!width || !height) return result;
    // An image fitted into the box, or none and a message saying why.
    const bool noImage = *width == 0 && *height == 0;
    const bool fits = InRange(*width, 1, static_cast<std::uint32_t>(std::max(box.width(), 0))) &&
                      InRange(*height, 1, static_cast<std::uint32_t>(std::max(box.height(), 0)));
    if (noImage ? messageSize == 0 : !fits) {
        result.State = Parsed::Malformed;
        return result;
    }
    const auto pixels = cursor.Bytes(std::size_t{*width} * *height * kBytesPerPixel);
    if (!pixels) return result;
    result.Value.Error =
        QString::fromUtf8(reinterpret_cast<const char*>(message->data()), static_cast<qsizetype>(message->size()));
    if (!noImage) {
        QImage image(static_cast<int>(*width), static_cast<int>(*height), QImage::Format_RGB32);
        // An image the window cannot hold is a photo it cannot show, not the end of the window.
        if (image.isNull()) {
            result.Value.Error = QStringLiteral("This photo cannot be shown: there is not enough memory for it.");
        } else {
            const std::size_t rowBytes = std::size_t{*width} * kBytesPerPixel;
            for (int y = 0; y < image.height(); ++y) {
                std::memcpy(image.scanLine(y), pixels->data() + rowBytes * static_cast<std::size_t>(y), rowBytes);
            }
            result.Value.Image = image;
        }
    }
    result.State = Parsed::Complete;
    result.Used = cursor.Used();
    return result;
}

}  // namespace quorvela::viewer
