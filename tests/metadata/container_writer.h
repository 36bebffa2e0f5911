#pragma once
// Writes the containers a camera or phone wraps around its TIFF structures (ISO base media
// boxes for HEIF/AVIF/CR3, RAF, MRW), so a test states the layout it needs in a few lines.
// Header-only: the metadata tests and make_fuzz_regressions both use it.

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "exif_writer.h"

namespace quorvela::samples::containers {

inline Bytes Be(std::uint64_t value, std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size && i < 8; ++i) bytes[size - 1 - i] = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
}

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

inline Bytes Text(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// A box with a 32-bit size; with a 64-bit one when `large`.
inline Bytes Box(std::string_view type, const Bytes& body, bool large = false) {
    if (large) return Cat({Be(1, 4), Text(type), Be(16 + body.size(), 8), body});
    return Cat({Be(8 + body.size(), 4), Text(type), body});
}

// A box with its version and flags before the body.
inline Bytes FullBox(std::string_view type, std::uint8_t version, const Bytes& body) {
    return Box(type, Cat({Bytes{version, 0, 0, 0}, body}));
}

inline Bytes Ftyp(std::string_view brand) {
    return Box("ftyp", Cat({Text(brand), Be(0, 4), Text("mif1"), Text(brand)}));
}

// An 'Exif' item's data: the distance to the TIFF header, "Exif\0\0", the TIFF structure.
inline Bytes ExifItem(const Tiff& tiff) {
    return Cat({Be(6, 4), Text(std::string_view("Exif\0\0", 6)), tiff.Build()});
}

// How a HEIF file locates its Exif item.
struct HeifLayout {
    int ilocVersion = 0;
    int method = 0;  // 0: in the file ('mdat'), 1: in the 'idat' box
    std::size_t offsetSize = 4;
    std::size_t lengthSize = 4;
    std::size_t baseSize = 0;
    int extents = 1;         // the item cut into this many pieces
    bool largeMeta = false;  // 'meta' with a 64-bit size
};

inline Bytes Iloc(const HeifLayout& layout, std::uint64_t dataStart, std::uint64_t dataSize) {
    const std::size_t idSize = layout.ilocVersion < 2 ? 2 : 4;
    Bytes body = Bytes{static_cast<std::uint8_t>((layout.offsetSize << 4) | layout.lengthSize),
                       static_cast<std::uint8_t>(layout.baseSize << 4)};
    body = Cat({body, Be(1, idSize), Be(1, idSize)});  // one item: id 1
    if (layout.ilocVersion > 0) body = Cat({body, Be(static_cast<std::uint64_t>(layout.method), 2)});
    body = Cat({body, Be(0, 2), Be(0, layout.baseSize), Be(static_cast<std::uint64_t>(layout.extents), 2)});
    const std::uint64_t piece = dataSize / static_cast<std::uint64_t>(std::max(layout.extents, 1));
    for (int i = 0; i < layout.extents; ++i) {
        const std::uint64_t length = i + 1 == layout.extents ? dataSize - piece * static_cast<std::uint64_t>(i) : piece;
        body = Cat({body, Be(dataStart + piece * static_cast<std::uint64_t>(i), layout.offsetSize),
                    Be(length, layout.lengthSize)});
    }
    return FullBox("iloc", static_cast<std::uint8_t>(layout.ilocVersion), body);
}

inline Bytes Meta(const HeifLayout& layout, const Bytes& item, std::uint64_t dataStart) {
    const Bytes infe = FullBox("infe", 2, Cat({Be(1, 2), Be(0, 2), Text("Exif"), Bytes{0}}));
    const Bytes iinf = FullBox("iinf", 0, Cat({Be(1, 2), infe}));
    const Bytes hdlr = FullBox("hdlr", 0, Cat({Be(0, 4), Text("pict"), Be(0, 12), Bytes{0}}));
    Bytes body = Cat({Bytes{0, 0, 0, 0}, hdlr, iinf, Iloc(layout, dataStart, item.size())});
    if (layout.method == 1) body = Cat({body, Box("idat", item)});
    return Box("meta", body, layout.largeMeta);
}

// ftyp, meta and (for items in the file) mdat holding the item.
inline Bytes Heif(std::string_view brand, const Bytes& item, const HeifLayout& layout = {}) {
    const Bytes ftyp = Ftyp(brand);
    if (layout.method == 1) return Cat({ftyp, Meta(layout, item, 0)});
    const std::uint64_t dataStart = ftyp.size() + Meta(layout, item, 0).size() + 8;
    return Cat({ftyp, Meta(layout, item, dataStart), Box("mdat", item)});
}

// The UUID of the box that holds a CR3 file's CMT boxes.
inline Bytes CanonUuid() {
    return Bytes{0x85, 0xc0, 0xb6, 0x87, 0x82, 0x0f, 0x11, 0xe0, 0x81, 0x11, 0xf4, 0xce, 0x46, 0x2b, 0x6a, 0x48};
}

// A CR3 file whose CMT boxes hold `cmt` (CMT1, CMT2, ... in order; an empty one is left out).
inline Bytes Cr3(std::initializer_list<Bytes> cmt) {
    Bytes boxes = CanonUuid();
    char name[] = "CMT1";
    for (const Bytes& body : cmt) {
        if (!body.empty()) boxes = Cat({boxes, Box(name, body)});
        ++name[3];
    }
    return Cat({Ftyp("crx "), Box("moov", Box("uuid", boxes)), Box("mdat", Bytes(16, 0))});
}

// A RAF file whose header points at `jpeg` (or at the given offset and length).
inline Bytes Raf(const Bytes& jpeg, std::uint32_t offset = 0, std::uint32_t length = 0) {
    Bytes header = Text("FUJIFILMCCD-RAW 0201FF383501");
    header.resize(100, 0);
    const Bytes where = Cat({Be(offset != 0 ? offset : 100, 4), Be(length != 0 ? length : jpeg.size(), 4)});
    std::copy(where.begin(), where.end(), header.begin() + 84);
    return Cat({header, jpeg});
}

// An MRW file: a PRD block, then the TTW block holding `tiff`.
inline Bytes Mrw(const Bytes& tiff) {
    const Bytes blocks = Cat({Text(std::string_view("\0PRD", 4)), Be(24, 4), Bytes(24, 0),
                              Text(std::string_view("\0TTW", 4)), Be(tiff.size(), 4), tiff});
    return Cat({Text(std::string_view("\0MRM", 4)), Be(blocks.size(), 4), blocks});
}

// A HEIF file with an Exif item (id 1) holding `tiff` and a 'mime' item (id 2) of
// `contentType` holding `packet`, both in 'mdat' (the packet in 'idat' when `inIdat`);
// `encoding` names the item's content encoding, `xmpOffset` moves where its location points.
inline Bytes HeifWithXmp(const Tiff& tiff, const std::string& packet, std::string_view contentType,
                         std::string_view encoding = "", bool inIdat = false, std::uint32_t xmpOffset = 0) {
    const Bytes exif = ExifItem(tiff);
    const Bytes exifInfe = FullBox("infe", 2, Cat({Be(1, 2), Be(0, 2), Text("Exif"), Bytes{0}}));
    Bytes mime = Cat({Be(2, 2), Be(0, 2), Text("mime"), Text("XMP"), Bytes{0}, Text(contentType), Bytes{0}});
    if (!encoding.empty()) mime = Cat({mime, Text(encoding), Bytes{0}});
    const Bytes iinf = FullBox("iinf", 0, Cat({Be(2, 2), exifInfe, FullBox("infe", 2, mime)}));
    const Bytes hdlr = FullBox("hdlr", 0, Cat({Be(0, 4), Text("pict"), Be(0, 12), Bytes{0}}));
    const auto item = [](std::uint32_t id, int method, std::uint64_t offset, std::uint64_t length) {
        return Cat(
            {Be(id, 2), Be(static_cast<std::uint64_t>(method), 2), Be(0, 2), Be(1, 2), Be(offset, 4), Be(length, 4)});
    };
    const auto meta = [&](std::uint64_t dataStart) {
        const std::uint64_t xmpAt = xmpOffset != 0 ? xmpOffset : inIdat ? 0 : dataStart + exif.size();
        const Bytes iloc = FullBox("iloc", 1,
                                   Cat({Bytes{0x44, 0x00}, Be(2, 2), item(1, 0, dataStart, exif.size()),
                                        item(2, inIdat ? 1 : 0, xmpAt, packet.size())}));
        Bytes body = Cat({Bytes{0, 0, 0, 0}, hdlr, iinf, iloc});
        if (inIdat) body = Cat({body, Box("idat", Text(packet))});
        return Box("meta", body);
    };
    const Bytes ftyp = Ftyp("heic");
    const std::uint64_t dataStart = ftyp.size() + meta(0).size() + 8;
    return Cat({ftyp, meta(dataStart), Box("mdat", inIdat ? exif : Cat({exif, Text(packet)}))});
}

// A CR3 file whose CMT1 box holds `tiff`, with the XMP box at the top level after 'moov', or
// inside it.
inline Bytes Cr3WithXmp(const Tiff& tiff, const std::string& packet, bool inMoov) {
    const Bytes xmpUuid{0xbe, 0x7a, 0xcf, 0xcb, 0x97, 0xa9, 0x42, 0xe8, 0x9c, 0x71, 0x99, 0x94, 0x91, 0xe3, 0xaf, 0xac};
    const Bytes xmp = Box("uuid", Cat({xmpUuid, Text(packet)}));
    const Bytes canon = Box("uuid", Cat({CanonUuid(), Box("CMT1", tiff.Build())}));
    if (inMoov) return Cat({Ftyp("crx "), Box("moov", Cat({canon, xmp})), Box("mdat", Bytes(16, 0))});
    return Cat({Ftyp("crx "), Box("moov", canon), xmp, Box("mdat", Bytes(16, 0))});
}

}  // namespace quorvela::samples::containers
