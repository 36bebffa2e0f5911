#include "viewer/preview_format.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace quorvela::viewer {

namespace {

using Magic = std::string_view;

// Starts of RAW containers, byte for byte. Plain TIFF ("II*\0", "MM\0*") covers DNG, CR2, NEF,
// ARW, PEF and the other TIFF-based ones.
constexpr std::array<Magic, 10> kRawStarts = {
    Magic("II*\0", 4), Magic("MM\0*", 4), Magic("IIRO", 4),     Magic("IIRS", 4),  Magic("MMOR", 4),
    Magic("IIU\0", 4), Magic("FOVb", 4),  Magic("FUJIFILM", 8), Magic("\0MRM", 4), Magic("II\x1a\0\0\0HEAPCCDR", 14),
};

// Brands of the HEIF family (HEVC and AVIF pictures and sequences, and the generic ones).
constexpr std::array<Magic, 13> kHeifBrands = {"heic", "heix", "hevc", "hevx", "heim", "heis", "hevm",
                                               "hevs", "mif1", "msf1", "mif2", "avif", "avis"};

bool StartsWith(std::span<const std::uint8_t> bytes, Magic magic) {
    if (bytes.size() < magic.size()) return false;
    for (std::size_t i = 0; i < magic.size(); ++i) {
        if (bytes[i] != static_cast<std::uint8_t>(magic[i])) return false;
    }
    return true;
}

std::uint32_t BigEndian32(std::span<const std::uint8_t> bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) |
           std::uint32_t{bytes[3]};
}

// The major brand and the compatible brands of a leading `ftyp` box, as far as `head` holds it.
// Returns whether the box is there; a CR3 has one as well, with its own brand "crx ".
template <typename Visit>
bool ForEachBrand(std::span<const std::uint8_t> head, Visit visit) {
    if (head.size() < 12 || !StartsWith(head.subspan(4), Magic("ftyp", 4))) return false;
    const std::size_t boxSize = BigEndian32(head);
    const std::size_t end = std::min<std::size_t>(head.size(), boxSize < 16 ? 12 : boxSize);
    visit(head.subspan(8, 4));
    for (std::size_t at = 16; at + 4 <= end; at += 4) visit(head.subspan(at, 4));
    return true;
}

}  // namespace

PreviewFormat PreviewFormatOf(std::span<const std::uint8_t> head) {
    if (head.size() >= 2 && head[0] == 0xFF && head[1] == 0xD8) return PreviewFormat::Jpeg;
    bool heif = false;
    bool canon = false;
    const bool boxed = ForEachBrand(head, [&](std::span<const std::uint8_t> brand) {
        for (const Magic known : kHeifBrands) heif = heif || StartsWith(brand, known);
        canon = canon || StartsWith(brand, Magic("crx ", 4));
    });
    // A CR3 may list a generic brand too; its own brand decides.
    if (boxed && canon) return PreviewFormat::Raw;
    if (heif) return PreviewFormat::Heif;
    for (const Magic magic : kRawStarts) {
        if (StartsWith(head, magic)) return PreviewFormat::Raw;
    }
    return PreviewFormat::Unknown;
}

int OrientationFromRawFlip(int flip) {
    // LibRaw's bits: 1 mirror left to right, 2 mirror top to bottom, 4 swap the axes first.
    switch (flip) {
        case 0:
            return 1;
        case 1:
            return 2;
        case 2:
            return 4;
        case 3:
            return 3;
        case 4:
            return 5;
        case 5:
            return 8;
        case 6:
            return 6;
        case 7:
            return 7;
        default:
            return 1;
    }
}

}  // namespace quorvela::viewer
