#include "viewer/preview_format.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "metadata/byte_order.h"
#include "metadata/iso_media.h"
#include "metadata/raw_containers.h"

namespace quorvela::viewer {

namespace {

using Magic = std::string_view;

bool StartsWith(std::span<const std::uint8_t> bytes, Magic magic) {
    if (bytes.size() < magic.size()) return false;
    for (std::size_t i = 0; i < magic.size(); ++i) {
        if (bytes[i] != static_cast<std::uint8_t>(magic[i])) return false;
    }
    return true;
}

// Whether a leading `ftyp` box names a HEIF brand, major or compatible, as far as `head`
// holds it.
bool NamesHeifBrand(std::span<const std::uint8_t> head) {
    if (head.size() < 12 || !StartsWith(head.subspan(4), Magic("ftyp", 4))) return false;
    const auto boxSize = static_cast<std::size_t>(metadata::LoadBe(head, 0, 4));
    const std::size_t end = std::min<std::size_t>(head.size(), boxSize < 16 ? 12 : boxSize);
    const auto heif = [&](std::size_t at) {
        return metadata::HeifBrandFormat(head.subspan(at, 4)) != metadata::PhotoFormat::Unknown;
    };
    if (heif(8)) return true;
    for (std::size_t at = 16; at + 4 <= end; at += 4) {
        if (heif(at)) return true;
    }
    return false;
}

}  // namespace

PreviewFormat PreviewFormatOf(std::span<const std::uint8_t> head) {
    // The metadata reader's own detector first, so that both agree on every file they read.
    switch (metadata::FormatFromContent(head)) {
        case metadata::PhotoFormat::Unknown:
            break;
        case metadata::PhotoFormat::Jpeg:
            return PreviewFormat::Jpeg;
        case metadata::PhotoFormat::Heic:
        case metadata::PhotoFormat::Heif:
        case metadata::PhotoFormat::Avif:
            return PreviewFormat::Heif;
        default:
            return PreviewFormat::Raw;  // the TIFF-based files, ORF, RW2, RAF, MRW, CRW, CR3
    }
    // What libheif and LibRaw show beyond what the reader reads: a box of another major brand
    // that is compatible with HEIF, Sigma's X3F, and a Fujifilm file of another kind.
    if (NamesHeifBrand(head)) return PreviewFormat::Heif;
    if (StartsWith(head, Magic("FOVb", 4)) || StartsWith(head, Magic("FUJIFILM", 8))) return PreviewFormat::Raw;
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
