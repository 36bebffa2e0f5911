#include "iso_media.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "be_cursor.h"
#include "byte_source.h"
#include "common/ascii.h"

namespace quorvela::metadata {
namespace {

// Boxes looked at on one level: real files have a dozen; a file of empty boxes stops here.
constexpr int kMaxBoxes = 4096;
// The largest 'meta' box read whole: a phone's holds a few kilobytes, its tile list included.
constexpr std::int64_t kMaxMetaBytes = std::int64_t{4} * 1024 * 1024;
// The largest EXIF structure taken from an item or a CMT box: JPEG caps its own at 64 KiB.
constexpr std::int64_t kMaxExifBytes = std::int64_t{4} * 1024 * 1024;
// Pieces of one item: writers use one; a crafted list of thousands is refused.
constexpr std::uint64_t kMaxExtents = 256;

constexpr std::uint32_t FourCc(std::string_view code) {
    return (std::uint32_t{static_cast<std::uint8_t>(code[0])} << 24) |
           (std::uint32_t{static_cast<std::uint8_t>(code[1])} << 16) |
           (std::uint32_t{static_cast<std::uint8_t>(code[2])} << 8) | std::uint32_t{static_cast<std::uint8_t>(code[3])};
}

// The UUID of the box in a CR3 file's 'moov' that holds the CMT boxes.
constexpr std::array<std::uint8_t, 16> kCanonUuid = {0x85, 0xc0, 0xb6, 0x87, 0x82, 0x0f, 0x11, 0xe0,
                                                     0x81, 0x11, 0xf4, 0xce, 0x46, 0x2b, 0x6a, 0x48};
// The UUID of the box that holds a CR3 file's XMP packet.
constexpr std::array<std::uint8_t, 16> kXmpUuid = {0xbe, 0x7a, 0xcf, 0xcb, 0x97, 0xa9, 0x42, 0xe8,
                                                   0x9c, 0x71, 0x99, 0x94, 0x91, 0xe3, 0xaf, 0xac};

// One box: its type, where it starts, where its contents start and where it ends. A box that
// claims more bytes than its parent holds is cut at the parent's end.
struct Box {
    std::uint32_t Type = 0;
    std::int64_t Start = 0;
    std::int64_t Body = 0;
    std::int64_t End = 0;
};

// The box whose first bytes are `header` (up to 16), starting at `at` inside a parent that
// ends at `limit`; none when the header is cut or its size cannot hold the header itself.
std::optional<Box> ParseBox(std::span<const std::uint8_t> header, std::int64_t at, std::int64_t limit) {
    BeCursor cursor(header);
    const std::uint64_t size32 = cursor.U32();
    const std::uint32_t type = cursor.U32();
    std::uint64_t size = size32;
    std::uint64_t headerSize = 8;
    if (size32 == 1) {
        size = cursor.Read(8);  // a 64-bit size follows the type
        headerSize = 16;
    } else if (size32 == 0) {
        size = static_cast<std::uint64_t>(limit - at);  // the box runs to the end of its parent
    }
    if (!cursor.Ok() || size < headerSize) return std::nullopt;
    const auto room = static_cast<std::uint64_t>(limit - at);
    if (headerSize > room) return std::nullopt;
    const std::int64_t end = size > room ? limit : at + static_cast<std::int64_t>(size);
    return Box{type, at, at + static_cast<std::int64_t>(headerSize), end};
}

// Calls `visit` with each box in [from, limit) until it returns true; `headerAt(at, count)`
// gives up to `count` bytes at `at`. False when no box was taken.
template <class HeaderAt, class Visit>
bool ForEachBox(std::int64_t from, std::int64_t limit, HeaderAt headerAt, Visit visit) {
    std::int64_t at = from;
    for (int n = 0; n < kMaxBoxes && at < limit; ++n) {
        const Bytes header = headerAt(at, static_cast<std::size_t>(std::min<std::int64_t>(16, limit - at)));
        const auto box = ParseBox(header, at, limit);
        if (!box) return false;
        if (visit(*box)) return true;
        at = box->End;  // past the header at least: every turn moves on
    }
    return false;
}

// Box iteration over the file, reading headers where they stand.
std::optional<Box> FindFileBox(const ByteSource& source, std::int64_t from, std::int64_t limit, std::uint32_t type,
                               std::span<const std::uint8_t> uuid = {}) {
    std::optional<Box> found;
    const auto headerAt = [&source](std::int64_t at, std::size_t count) {
        Bytes bytes;
        source.ReadAt(at, count, bytes);
        return bytes;
    };
    ForEachBox(from, limit, headerAt, [&](const Box& box) {
        if (box.Type != type) return false;
        if (!uuid.empty()) {
            const Bytes id = headerAt(box.Body, uuid.size());
            if (box.End - box.Body < static_cast<std::int64_t>(uuid.size()) ||
                !std::equal(uuid.begin(), uuid.end(), id.begin(), id.end())) {
                return false;
            }
        }
        found = box;
        return true;
    });
    return found;
}

// The contents of the box `type` among the boxes that fill `bytes`; empty when none.
std::span<const std::uint8_t> FindMemoryBox(std::span<const std::uint8_t> bytes, std::uint32_t type) {
    std::span<const std::uint8_t> found;
    const auto headerAt = [bytes](std::int64_t at, std::size_t count) {
        const auto from = bytes.begin() + static_cast<std::ptrdiff_t>(at);
        return Bytes(from, from + static_cast<std::ptrdiff_t>(count));
    };
    ForEachBox(0, static_cast<std::int64_t>(bytes.size()), headerAt, [&](const Box& box) {
        if (box.Type != type) return false;
        found = bytes.subspan(static_cast<std::size_t>(box.Body), static_cast<std::size_t>(box.End - box.Body));
        return true;
    });
    return found;
}

std::string_view AsText(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// Takes the NUL-terminated text at the start of `rest` off it (all of it when no NUL ends it).
std::string_view TakeText(std::span<const std::uint8_t>& rest) {
    const auto end = std::find(rest.begin(), rest.end(), std::uint8_t{0});
    const std::string_view text = AsText(rest.first(static_cast<std::size_t>(end - rest.begin())));
    rest = rest.subspan(std::min(rest.size(), text.size() + 1));
    return text;
}

// One entry of the item information box: the item's id and type, and for a 'mime' item its
// content type and encoding.
struct ItemEntry {
    std::uint32_t Id = 0;
    std::uint32_t Type = 0;
    std::string_view ContentType;
    std::string_view ContentEncoding;
};

std::optional<ItemEntry> ParseItemEntry(std::span<const std::uint8_t> body) {
    BeCursor infe(body);
    const auto version = infe.Read(1);
    infe.Skip(3);
    if (version < 2) return std::nullopt;  // the older entries name no item type
    ItemEntry entry;
    entry.Id = static_cast<std::uint32_t>(infe.Read(version == 2 ? 2 : 4));
    infe.Skip(2);  // protection index
    entry.Type = infe.U32();
    if (!infe.Ok()) return std::nullopt;
    if (entry.Type == FourCc("mime")) {
        auto rest = body.subspan(infe.Position());
        TakeText(rest);  // the item's name
        entry.ContentType = TakeText(rest);
        entry.ContentEncoding = TakeText(rest);
    }
    return entry;
}

// The id of the first item of the item information box that `match` takes.
template <class Match>
std::optional<std::uint32_t> FindItem(std::span<const std::uint8_t> iinf, Match match) {
    BeCursor cursor(iinf);
    const auto version = cursor.Read(1);
    cursor.Skip(3);
    cursor.Read(version == 0 ? 2 : 4);  // the entry count: the boxes that follow say it too
    if (!cursor.Ok()) return std::nullopt;
    const auto entries = iinf.subspan(cursor.Position());
    std::optional<std::uint32_t> found;
    const auto headerAt = [entries](std::int64_t at, std::size_t count) {
        const auto from = entries.begin() + static_cast<std::ptrdiff_t>(at);
        return Bytes(from, from + static_cast<std::ptrdiff_t>(count));
    };
    ForEachBox(0, static_cast<std::int64_t>(entries.size()), headerAt, [&](const Box& box) {
        if (box.Type != FourCc("infe")) return false;
        const auto entry = ParseItemEntry(
            entries.subspan(static_cast<std::size_t>(box.Body), static_cast<std::size_t>(box.End - box.Body)));
        if (!entry || !match(*entry)) return false;
        found = entry->Id;
        return true;
    });
    return found;
}

struct Extent {
    std::uint64_t Offset = 0;
    std::uint64_t Length = 0;
};

// Where an item's bytes are: in the file (method 0) or in the 'idat' box (method 1).
struct ItemLocation {
    int Method = 0;
    std::uint64_t BaseOffset = 0;
    std::vector<Extent> Extents;
};

struct IlocSizes {
    std::uint64_t Version = 0;
    std::size_t Offset = 0;
    std::size_t Length = 0;
    std::size_t Base = 0;
    std::size_t Index = 0;
};

bool ValidFieldSize(std::size_t size) {
    return size == 0 || size == 4 || size == 8;
}

// Reads one item entry of the location box; its extents only when `keep`.
std::optional<ItemLocation> ReadItemEntry(BeCursor& cursor, const IlocSizes& sizes, bool keep, std::string& problem) {
    ItemLocation location;
    if (sizes.Version == 1 || sizes.Version == 2) location.Method = static_cast<int>(cursor.U16() & 0x0F);
    cursor.Skip(2);  // data reference index
    location.BaseOffset = cursor.Read(sizes.Base);
    const std::uint64_t count = cursor.U16();
    const std::uint64_t perExtent = sizes.Index + sizes.Offset + sizes.Length;
    if (!keep) {
        cursor.Skip(count * perExtent);
        return cursor.Ok() ? std::optional<ItemLocation>(location) : std::nullopt;
    }
    if (count > kMaxExtents) {
        problem = "EXIF item in too many pieces";
        return std::nullopt;
    }
    for (std::uint64_t i = 0; i < count; ++i) {
        cursor.Skip(sizes.Index);
        Extent extent;
        extent.Offset = cursor.Read(sizes.Offset);
        extent.Length = cursor.Read(sizes.Length);
        location.Extents.push_back(extent);
    }
    if (!cursor.Ok()) return std::nullopt;
    return location;
}

// The location of item `id` in the item location box (versions 0, 1 and 2).
std::optional<ItemLocation> FindItemLocation(std::span<const std::uint8_t> iloc, std::uint32_t id,
                                             std::string& problem) {
    BeCursor cursor(iloc);
    IlocSizes sizes;
    sizes.Version = cursor.Read(1);
    cursor.Skip(3);
    const auto packed = cursor.U16();
    sizes.Offset = packed >> 12;
    sizes.Length = (packed >> 8) & 0x0F;
    sizes.Base = (packed >> 4) & 0x0F;
    sizes.Index = (sizes.Version == 1 || sizes.Version == 2) ? (packed & 0x0F) : 0;
    if (!cursor.Ok() || sizes.Version > 2 || !ValidFieldSize(sizes.Offset) || !ValidFieldSize(sizes.Length) ||
        !ValidFieldSize(sizes.Base) || !ValidFieldSize(sizes.Index)) {
        problem = "Damaged item location box";
        return std::nullopt;
    }
    const std::uint64_t items = cursor.Read(sizes.Version < 2 ? 2 : 4);
    // Every entry takes bytes, so a count beyond the box ends with the box.
    for (std::uint64_t i = 0; i < items && cursor.Ok(); ++i) {
        const auto itemId = static_cast<std::uint32_t>(cursor.Read(sizes.Version < 2 ? 2 : 4));
        auto location = ReadItemEntry(cursor, sizes, itemId == id, problem);
        if (!location) return std::nullopt;
        if (itemId == id) return location;
    }
    return std::nullopt;
}

enum class ItemFault { None, Outside, TooLarge };

// Appends the bytes of an item to `data`, its extents one after the other; a fault, and not all
// of them, when an extent lies outside the file (or the 'idat' box) or the item holds more
// than `limit` bytes.
ItemFault ReadItem(const ByteSource& source, const ItemLocation& location, std::span<const std::uint8_t> idat,
                   std::uint64_t limit, Bytes& data) {
    const std::uint64_t available =
        location.Method == 1 ? idat.size() : static_cast<std::uint64_t>(std::max<std::int64_t>(0, source.Size()));
    for (const Extent& extent : location.Extents) {
        const std::uint64_t start = location.BaseOffset + extent.Offset;
        if (start < location.BaseOffset || start > available) return ItemFault::Outside;
        // A length of 0 means the rest of the file.
        const std::uint64_t length = extent.Length == 0 ? available - start : extent.Length;
        if (length > available - start) return ItemFault::Outside;
        if (length > limit - std::min<std::uint64_t>(data.size(), limit)) return ItemFault::TooLarge;
        if (location.Method == 1) {
            const auto from = idat.begin() + static_cast<std::ptrdiff_t>(start);
            data.insert(data.end(), from, from + static_cast<std::ptrdiff_t>(length));
        } else {
            source.ReadAt(static_cast<std::int64_t>(start), static_cast<std::size_t>(length), data);
        }
    }
    return ItemFault::None;
}

bool StartsLikeTiff(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 8 && ((bytes[0] == 'I' && bytes[1] == 'I' && bytes[2] == 42 && bytes[3] == 0) ||
                                 (bytes[0] == 'M' && bytes[1] == 'M' && bytes[2] == 0 && bytes[3] == 42));
}

// An EXIF item starts with the distance from its fifth byte to the TIFF header; some writers
// leave the distance out and start with the "Exif\0\0" of a JPEG segment.
std::optional<TiffPiece> PieceOfExifItem(const Bytes& item) {
    static constexpr std::string_view kExifMark("Exif\0\0", 6);
    const bool bare = item.size() >= kExifMark.size() && std::equal(kExifMark.begin(), kExifMark.end(), item.begin());
    const std::uint64_t skip = bare ? 2 : LoadBe(item, 0, 4);
    if (item.size() < 4 || skip > item.size() - 4) return std::nullopt;
    const auto tiff = std::span<const std::uint8_t>(item).subspan(4 + static_cast<std::size_t>(skip));
    if (!StartsLikeTiff(tiff)) return std::nullopt;
    return TiffPiece{TiffRole::Ifd0, Bytes(tiff.begin(), tiff.end())};
}

// The contents of a full box 'meta' (or of an older one without version and flags).
std::span<const std::uint8_t> MetaChildren(std::span<const std::uint8_t> meta) {
    const bool plain = meta.size() >= 8 && LoadBe(meta, 4, 4) == FourCc("hdlr");
    return meta.size() < 4 || plain ? meta : meta.subspan(4);
}

// The facts of a HEIF file's XMP item: a 'mime' item of type application/rdf+xml. One with a
// content encoding (a compressed packet) is not read. None when there is none.
std::optional<XmpFacts> ReadHeifXmp(const ByteSource& source, std::span<const std::uint8_t> iinf,
                                    std::span<const std::uint8_t> iloc, std::span<const std::uint8_t> idat) {
    const auto id = FindItem(iinf, [](const ItemEntry& entry) {
        return entry.Type == FourCc("mime") &&
               common::EqualsIgnoreAsciiCase(entry.ContentType, "application/rdf+xml") && entry.ContentEncoding.empty();
    });
    if (!id) return std::nullopt;
    std::string problem;
    const auto location = FindItemLocation(iloc, *id, problem);
    if (!location || (location->Method != 0 && location->Method != 1)) {
        return XmpRefused(XmpStatus::Malformed, "the XMP item has no location");
    }
    Bytes item;
    switch (ReadItem(source, *location, idat, kMaxXmpBytes, item)) {
        case ItemFault::Outside:
            return XmpRefused(XmpStatus::Malformed, "the XMP item lies outside the file");
        case ItemFault::TooLarge:
            return XmpRefused(XmpStatus::TooLarge, "the XMP is larger than 4 MiB");
        case ItemFault::None:
            break;
    }
    return ParseXmp(AsText(item));
}

ContainerResult ReadHeif(const ByteSource& source, ContainerResult result, bool readXmp) {
    const auto meta = FindFileBox(source, 0, source.Size(), FourCc("meta"));
    if (!meta) {
        result.Problem = "No metadata box";
        return result;
    }
    if (meta->End - meta->Body > kMaxMetaBytes) {
        result.Problem = "Metadata box too large";
        return result;
    }
    Bytes body;
    source.ReadAt(meta->Body, static_cast<std::size_t>(meta->End - meta->Body), body);
    const auto children = MetaChildren(body);
    const auto iinf = FindMemoryBox(children, FourCc("iinf"));
    const auto iloc = FindMemoryBox(children, FourCc("iloc"));
    const auto idat = FindMemoryBox(children, FourCc("idat"));
    if (readXmp) result.Xmp = ReadHeifXmp(source, iinf, iloc, idat);
    const auto exifId = FindItem(iinf, [](const ItemEntry& entry) { return entry.Type == FourCc("Exif"); });
    if (!exifId) {
        result.Problem = "No EXIF data";
        return result;
    }
    const auto location = FindItemLocation(iloc, *exifId, result.Problem);
    if (!location || (location->Method != 0 && location->Method != 1)) {
        if (result.Problem.empty()) result.Problem = "EXIF item without a location";
        return result;
    }
    Bytes item;
    if (const ItemFault fault = ReadItem(source, *location, idat, kMaxExifBytes, item); fault != ItemFault::None) {
        result.Problem = fault == ItemFault::Outside ? "EXIF item outside the file" : "EXIF item too large";
        return result;
    }
    auto piece = PieceOfExifItem(item);
    if (!piece) {
        result.Problem = "EXIF item without a TIFF header";
        return result;
    }
    result.Pieces.push_back(std::move(*piece));
    return result;
}

// The facts of a CR3 file's XMP box: Canon's files keep it at the top level, after 'moov'; a
// file rewritten by another tool may keep it in 'moov'.
std::optional<XmpFacts> ReadCr3Xmp(const ByteSource& source, const std::optional<Box>& moov) {
    auto box = FindFileBox(source, 0, source.Size(), FourCc("uuid"), kXmpUuid);
    if (!box && moov) box = FindFileBox(source, moov->Body, moov->End, FourCc("uuid"), kXmpUuid);
    if (!box) return std::nullopt;
    const std::int64_t start = box->Body + static_cast<std::int64_t>(kXmpUuid.size());
    if (box->End - start > static_cast<std::int64_t>(kMaxXmpBytes)) {
        return XmpRefused(XmpStatus::TooLarge, "the XMP is larger than 4 MiB");
    }
    Bytes packet;
    source.ReadAt(start, static_cast<std::size_t>(box->End - start), packet);
    return ParseXmp(AsText(packet));
}

// A CR3 file keeps IFD0, the EXIF directory, the maker note and the GPS directory each in a
// TIFF structure of its own, in boxes CMT1 to CMT4 of a 'uuid' box in 'moov'.
ContainerResult ReadCr3(const ByteSource& source, ContainerResult result, bool readXmp) {
    const auto moov = FindFileBox(source, 0, source.Size(), FourCc("moov"));
    if (readXmp) result.Xmp = ReadCr3Xmp(source, moov);
    const auto canon = moov ? FindFileBox(source, moov->Body, moov->End, FourCc("uuid"), kCanonUuid) : std::nullopt;
    if (!canon) {
        result.Problem = "No metadata box";
        return result;
    }
    constexpr std::array<std::pair<std::string_view, TiffRole>, 4> kBoxes = {
        {{"CMT1", TiffRole::Ifd0}, {"CMT2", TiffRole::Exif}, {"CMT3", TiffRole::MakerNote}, {"CMT4", TiffRole::Gps}}};
    const std::int64_t from = canon->Body + static_cast<std::int64_t>(kCanonUuid.size());
    for (const auto& [name, role] : kBoxes) {
        const auto box = FindFileBox(source, from, canon->End, FourCc(name));
        if (!box) continue;
        TiffPiece piece{role, {}};
        source.ReadAt(box->Body, static_cast<std::size_t>(std::min(box->End - box->Body, kMaxExifBytes)), piece.Data);
        if (StartsLikeTiff(piece.Data)) result.Pieces.push_back(std::move(piece));
    }
    if (result.Pieces.empty()) result.Problem = "No EXIF data";
    return result;
}

}  // namespace

PhotoFormat HeifBrandFormat(std::span<const std::uint8_t> brand) {
    struct Brand {
        std::string_view Code;
        PhotoFormat Format;
    };
    static constexpr std::array<Brand, 15> kHeifBrands = {{
        {"heic", PhotoFormat::Heic},
        {"heis", PhotoFormat::Heic},
        {"heim", PhotoFormat::Heic},
        {"avif", PhotoFormat::Avif},
        {"avis", PhotoFormat::Avif},
        {"mif1", PhotoFormat::Heif},
        {"mif2", PhotoFormat::Heif},
        {"msf1", PhotoFormat::Heif},
        {"heix", PhotoFormat::Heif},
        {"hevc", PhotoFormat::Heif},
        {"hevx", PhotoFormat::Heif},
        {"hevm", PhotoFormat::Heif},
        {"hevs", PhotoFormat::Heif},
        {"heif", PhotoFormat::Heif},
        {"miaf", PhotoFormat::Heif},
    }};
    if (brand.size() < 4) return PhotoFormat::Unknown;
    const auto code = static_cast<std::uint32_t>(LoadBe(brand, 0, 4));
    for (const Brand& known : kHeifBrands) {
        if (code == FourCc(known.Code)) return known.Format;
    }
    return PhotoFormat::Unknown;
}

PhotoFormat IsoMediaFormat(std::span<const std::uint8_t> header) {
    if (header.size() < 12 || LoadBe(header, 4, 4) != FourCc("ftyp")) return PhotoFormat::Unknown;
    if (LoadBe(header, 8, 4) == FourCc("crx ")) return PhotoFormat::Cr3;
    return HeifBrandFormat(header.subspan(8, 4));
}

ContainerResult ReadIsoMedia(const ByteSource& source, PhotoFormat format, bool readXmp) {
    ContainerResult result;
    result.Format = format;
    return format == PhotoFormat::Cr3 ? ReadCr3(source, std::move(result), readXmp)
                                      : ReadHeif(source, std::move(result), readXmp);
}

}  // namespace quorvela::metadata
