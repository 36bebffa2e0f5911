#include "raw_containers.h"

#include <algorithm>
#include <array>
#include <utility>

#include "be_cursor.h"
#include "byte_source.h"
#include "common/ascii.h"
#include "iso_media.h"

namespace quorvela::metadata {
namespace {

// The largest TTW block read: it holds IFD0 and the EXIF directory, a few kilobytes.
constexpr std::int64_t kMaxTtwBytes = std::int64_t{4} * 1024 * 1024;
// Blocks of an MRW header: five kinds exist.
constexpr int kMaxMrwBlocks = 64;
// IFD0's entry that holds a TIFF-structured file's XMP packet.
constexpr std::uint16_t kXmlPacketTag = 0x02BC;
constexpr std::uint16_t kByteType = 1;
constexpr std::uint16_t kUndefinedType = 7;

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view prefix, std::size_t at = 0) {
    return at <= bytes.size() && prefix.size() <= bytes.size() - at &&
           std::equal(prefix.begin(), prefix.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

std::string UpperExtension(std::string_view fileName) {
    const auto slash = fileName.find_last_of('/');
    const std::string_view base = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const auto dot = base.find_last_of('.');
    return dot == std::string_view::npos ? std::string() : common::UpperAscii(base.substr(dot + 1));
}

PhotoFormat FormatOfRawExtension(std::string_view extension) {
    for (const RawExtension& raw : kRawExtensions) {
        if (raw.NamesFormat && raw.Extension == extension) return raw.Format;
    }
    return PhotoFormat::Unknown;
}

PhotoFormat FormatOfMake(std::string_view make) {
    const std::string upper = common::UpperAscii(make);
    const auto starts = [&upper](std::string_view prefix) { return upper.rfind(prefix, 0) == 0; };
    if (starts("NIKON")) return PhotoFormat::Nef;
    if (starts("SONY")) return PhotoFormat::Arw;
    if (starts("PENTAX") || starts("RICOH")) return PhotoFormat::Pef;
    if (starts("SAMSUNG")) return PhotoFormat::Srw;
    if (starts("HASSELBLAD")) return PhotoFormat::ThreeFr;
    if (starts("SEIKO EPSON") || starts("EPSON")) return PhotoFormat::Erf;
    if (starts("PHASE ONE") || starts("LEAF")) return PhotoFormat::Iiq;
    if (starts("CANON")) return PhotoFormat::Cr2;
    return PhotoFormat::Unknown;
}

}  // namespace

PhotoFormat FormatFromContent(std::span<const std::uint8_t> header) {
    if (header.size() >= 2 && header[0] == 0xFF && header[1] == 0xD8) return PhotoFormat::Jpeg;
    if (StartsWith(header, "FUJIFILMCCD-RAW")) return PhotoFormat::Raf;
    if (StartsWith(header, std::string_view("\0MRM", 4))) return PhotoFormat::Mrw;
    if (StartsWith(header, "II") && StartsWith(header, "HEAPCCDR", 6)) return PhotoFormat::Crw;
    if (StartsWith(header, "IIRO") || StartsWith(header, "IIRS") || StartsWith(header, "MMOR")) {
        return PhotoFormat::Orf;
    }
    if (StartsWith(header, std::string_view("IIU\0", 4))) return PhotoFormat::Rw2;
    if (StartsWith(header, std::string_view("II*\0", 4)) || StartsWith(header, std::string_view("MM\0*", 4))) {
        return StartsWith(header, "CR", 8) ? PhotoFormat::Cr2 : PhotoFormat::Tiff;
    }
    return IsoMediaFormat(header);
}

PhotoFormat NameTiffFormat(PhotoFormat content, std::string_view make, bool hasDngVersion, std::string_view fileName) {
    if (hasDngVersion) return PhotoFormat::Dng;
    if (content == PhotoFormat::Rw2) {
        return common::UpperAscii(make).rfind("LEICA", 0) == 0 ? PhotoFormat::Rwl : PhotoFormat::Rw2;
    }
    if (content != PhotoFormat::Tiff) return content;
    const std::string extension = UpperExtension(fileName);
    if (extension == "TIF" || extension == "TIFF") return PhotoFormat::Tiff;
    if (const PhotoFormat named = FormatOfRawExtension(extension); named != PhotoFormat::Unknown) return named;
    const PhotoFormat byMake = FormatOfMake(make);
    return byMake == PhotoFormat::Unknown ? PhotoFormat::Tiff : byMake;
}

std::optional<IfdEntry> FindIfd0Entry(std::span<const std::uint8_t> tiff, std::uint16_t tag) {
    if (tiff.size() < 8 || tiff[0] != tiff[1] || (tiff[0] != 'I' && tiff[0] != 'M')) return std::nullopt;
    const bool bigEndian = tiff[0] == 'M';
    const auto number = [&](std::size_t at, std::size_t size) {
        return static_cast<std::uint32_t>(LoadUnsigned(tiff, at, size, bigEndian).value_or(0));
    };
    const std::size_t ifd = number(4, 4);
    if (ifd > tiff.size() || tiff.size() - ifd < 2) return std::nullopt;
    const std::size_t count = number(ifd, 2);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = ifd + 2 + 12 * i;
        if (entry > tiff.size() || tiff.size() - entry < 12) break;
        if (number(entry, 2) != tag) continue;
        return IfdEntry{static_cast<std::uint16_t>(number(entry + 2, 2)), number(entry + 4, 4), number(entry + 8, 4),
                        bigEndian};
    }
    return std::nullopt;
}

std::optional<XmpFacts> ReadTiffXmp(const ByteSource& source, std::span<const std::uint8_t> head) {
    const auto entry = FindIfd0Entry(head, kXmlPacketTag);
    // Four bytes or fewer, kept in the entry itself, cannot be a packet.
    if (!entry || (entry->Type != kByteType && entry->Type != kUndefinedType) || entry->Count <= 4) return std::nullopt;
    if (entry->Count > kMaxXmpBytes) return XmpRefused(XmpStatus::TooLarge, "the XMP is larger than 4 MiB");
    Bytes read;
    std::span<const std::uint8_t> packet;
    if (entry->Value <= head.size() && entry->Count <= head.size() - entry->Value) {
        packet = head.subspan(entry->Value, entry->Count);
    } else {
        source.ReadAt(entry->Value, entry->Count, read);
        if (read.size() < entry->Count) return XmpRefused(XmpStatus::Malformed, "the XMP lies outside the file");
        packet = read;
    }
    return ParseXmp(std::string_view(reinterpret_cast<const char*>(packet.data()), packet.size()));
}

std::optional<FileRange> RafJpegRange(const ByteSource& source, std::string& problem) {
    Bytes header;
    source.ReadAt(0, 92, header);
    const FileRange range{static_cast<std::int64_t>(LoadBe(header, 84, 4)),
                          static_cast<std::int64_t>(LoadBe(header, 88, 4))};
    if (header.size() < 92 || range.Length < 4 || range.Offset < 92 || range.Offset > source.Size() ||
        range.Length > source.Size() - range.Offset) {
        problem = "RAF header points outside the file";
        return std::nullopt;
    }
    return range;
}

ContainerResult ReadMrw(const ByteSource& source) {
    ContainerResult result;
    result.Format = PhotoFormat::Mrw;
    Bytes header;
    source.ReadAt(0, 8, header);
    // The header blocks follow the first eight bytes; the image data follows them.
    const std::int64_t end = 8 + static_cast<std::int64_t>(std::min<std::uint64_t>(
                                     LoadBe(header, 4, 4), static_cast<std::uint64_t>(source.Size())));
    std::int64_t at = 8;
    for (int n = 0; n < kMaxMrwBlocks && at <= end - 8; ++n) {
        Bytes block;
        source.ReadAt(at, 8, block);
        const auto length = static_cast<std::int64_t>(LoadBe(block, 4, 4));
        if (block.size() < 8) break;
        if (StartsWith(block, std::string_view("\0TTW", 4))) {
            TiffPiece piece{TiffRole::Ifd0, {}};
            source.ReadAt(at + 8, static_cast<std::size_t>(std::min(length, kMaxTtwBytes)), piece.Data);
            result.Pieces.push_back(std::move(piece));
            return result;
        }
        at += 8 + length;
    }
    result.Problem = "No TTW block in the MRW file";
    return result;
}

}  // namespace quorvela::metadata
