#include "viewer/exif_orientation.h"

#include <cstddef>
#include <optional>

namespace quorvela::viewer {

namespace {

class TiffView {
  public:
    TiffView(std::span<const std::uint8_t> bytes, bool bigEndian) : bytes_(bytes), bigEndian_(bigEndian) {}

    [[nodiscard]] std::optional<std::uint32_t> U16(std::size_t at) const {
        if (bytes_.size() < 2 || at > bytes_.size() - 2) return std::nullopt;
        const std::uint32_t a = bytes_[at];
        const std::uint32_t b = bytes_[at + 1];
        return bigEndian_ ? (a << 8) | b : (b << 8) | a;
    }
    [[nodiscard]] std::optional<std::uint32_t> U32(std::size_t at) const {
        const auto first = U16(at);
        const auto second = U16(at + 2);
        if (!first || !second) return std::nullopt;
        return bigEndian_ ? (*first << 16) | *second : (*second << 16) | *first;
    }

  private:
    std::span<const std::uint8_t> bytes_;
    bool bigEndian_;
};

constexpr std::uint8_t kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::uint32_t kOrientationTag = 0x0112;
constexpr std::uint32_t kShortType = 3;

}  // namespace

int ExifOrientation(std::span<const std::uint8_t> app1Payload) {
    if (app1Payload.size() < sizeof kExifHeader + 8) return 1;
    for (std::size_t i = 0; i < sizeof kExifHeader; ++i) {
        if (app1Payload[i] != kExifHeader[i]) return 1;
    }
    const std::span<const std::uint8_t> tiff = app1Payload.subspan(sizeof kExifHeader);
    bool bigEndian = false;
    if (tiff[0] == 'M' && tiff[1] == 'M') {
        bigEndian = true;
    } else if (!(tiff[0] == 'I' && tiff[1] == 'I')) {
        return 1;
    }
    const TiffView view(tiff, bigEndian);
    const auto ifd0 = view.U32(4);
    if (!ifd0) return 1;
    const auto count = view.U16(*ifd0);
    if (!count) return 1;
    for (std::uint32_t i = 0; i < *count; ++i) {
        const std::size_t entry = static_cast<std::size_t>(*ifd0) + 2 + 12 * static_cast<std::size_t>(i);
        const auto tag = view.U16(entry);
        if (!tag) return 1;
        if (*tag != kOrientationTag) continue;
        const auto type = view.U16(entry + 2);
        const auto value = view.U16(entry + 8);
        if (!type || *type != kShortType || !value || *value < 1 || *value > 8) return 1;
        return static_cast<int>(*value);
    }
    return 1;
}

}  // namespace quorvela::viewer
