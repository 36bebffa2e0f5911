#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "tiff_piece.h"
#include "xmp.h"

namespace quorvela::metadata {

class ByteSource;

// What the first bytes of a file say it is. TIFF-based raw files that carry no mark of their
// own come back as Tiff (CR2 as Cr2, Olympus as Orf, Panasonic and Leica as Rw2); ISO base
// media files as their 'ftyp' brand says.
PhotoFormat FormatFromContent(std::span<const std::uint8_t> header);

// The name of a TIFF-structured file whose content said `content`: DNGVersion in IFD0 makes it
// DNG, a Leica RW2 is RWL; otherwise a raw file's extension names it, and failing that its make.
PhotoFormat NameTiffFormat(PhotoFormat content, std::string_view make, bool hasDngVersion, std::string_view fileName);

// One entry of a TIFF directory: its type, count and the four bytes of value or offset, as a
// number in the structure's byte order.
struct IfdEntry {
    std::uint16_t Type = 0;
    std::uint32_t Count = 0;
    std::uint32_t Value = 0;  // the value's four bytes read as one number
    bool BigEndian = false;
    // The first 16-bit value kept in the entry itself (a SHORT's).
    [[nodiscard]] std::uint16_t FirstShort() const {
        return static_cast<std::uint16_t>(BigEndian ? Value >> 16 : Value & 0xFFFFU);
    }
};

// The entry `tag` of IFD0 of the TIFF structure `tiff` (which starts with its byte-order mark).
std::optional<IfdEntry> FindIfd0Entry(std::span<const std::uint8_t> tiff, std::uint16_t tag);

// The XMP of a TIFF-structured file whose first bytes are `head` (the packet is taken from
// there when it lies inside, else read from `source`): IFD0's XMLPacket entry (0x02BC, of
// BYTE or UNDEFINED values). None when there is no such entry; a packet above kMaxXmpBytes is
// not read.
std::optional<XmpFacts> ReadTiffXmp(const ByteSource& source, std::span<const std::uint8_t> head);

// A byte range of a file.
struct FileRange {
    std::int64_t Offset = 0;
    std::int64_t Length = 0;
};

// Where a RAF file keeps its JPEG (whose EXIF block describes the photo); none, with a problem,
// when the header points outside the file.
std::optional<FileRange> RafJpegRange(const ByteSource& source, std::string& problem);

// The TIFF structure in an MRW file's TTW block.
ContainerResult ReadMrw(const ByteSource& source);

// The records of a CRW file's heap the analysis needs, written as TIFF structures.
ContainerResult ReadCrw(const ByteSource& source);

}  // namespace quorvela::metadata
