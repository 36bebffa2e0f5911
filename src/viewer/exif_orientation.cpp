#include "viewer/exif_orientation.h"

#include <algorithm>
#include <array>

#include "metadata/raw_containers.h"

namespace quorvela::viewer {

namespace {

constexpr std::array<std::uint8_t, 6> kExifHeader = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;

}  // namespace

int ExifOrientation(std::span<const std::uint8_t> app1Payload) {
    if (app1Payload.size() < kExifHeader.size() ||
        !std::equal(kExifHeader.begin(), kExifHeader.end(), app1Payload.begin())) {
        return 1;
    }
    const auto entry = metadata::FindIfd0Entry(app1Payload.subspan(kExifHeader.size()), kOrientationTag);
    if (!entry || entry->Type != kShortType) return 1;
    const std::uint16_t value = entry->FirstShort();
    return value >= 1 && value <= 8 ? value : 1;
}

}  // namespace quorvela::viewer
