// Canon's CRW files keep their metadata in a heap of records (CIFF), not in TIFF directories.
// The records the analysis needs are taken out and written as the TIFF structures a CR3 file
// would carry: IFD0 (make, model), the EXIF directory (focal length, exposure, date) and a
// Canon maker note (camera settings, focal length, shot information), which the rest of the
// reader then walks as it walks any other photo.

#include <bit>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <map>
#include <set>

#include "byte_source.h"
#include "raw_containers.h"

namespace quorvela::metadata {
namespace {

constexpr int kMaxHeapDepth = 8;
constexpr std::size_t kMaxRecordBytes = 4096;  // the records read here hold a few dozen bytes
constexpr std::uint16_t kAscii = 2;
constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kRational = 5;

std::uint32_t Le(const Bytes& bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = 0; i < width && at + static_cast<std::size_t>(i) < bytes.size(); ++i)
        value |= std::uint32_t{bytes[at + static_cast<std::size_t>(i)]} << (8 * i);
    return value;
}

// The records of one heap and its sub-heaps, by tag id; the first of each id wins.
void ReadHeap(const ByteSource& source, std::int64_t start, std::int64_t length, int depth,
              std::set<std::int64_t>& seen, std::map<std::uint16_t, Bytes>& records) {
    if (depth > kMaxHeapDepth || length < 6 || start < 0 || start > source.Size() - length) return;
    Bytes tail;
    if (source.ReadAt(start + length - 4, 4, tail) != 4) return;
    const std::int64_t table = start + Le(tail, 0, 4);
    if (table < start || table > start + length - 6 || !seen.insert(table).second) return;
    Bytes count;
    if (source.ReadAt(table, 2, count) != 2) return;
    const std::uint32_t entries = Le(count, 0, 2);
    if (std::int64_t{entries} * 10 > start + length - table - 2) return;
    Bytes table_bytes;
    source.ReadAt(table + 2, std::size_t{entries} * 10, table_bytes);
    for (std::size_t at = 0; at + 10 <= table_bytes.size(); at += 10) {
        const auto tag = static_cast<std::uint16_t>(Le(table_bytes, at, 2));
        const std::uint32_t size = Le(table_bytes, at + 2, 4);
        const std::uint32_t offset = Le(table_bytes, at + 6, 4);
        if ((tag & 0x8000U) != 0) return;  // damaged
        const auto id = static_cast<std::uint16_t>(tag & 0x3FFFU);
        const unsigned type = (tag >> 8U) & 0x38U;
        if ((tag & 0x4000U) != 0) {  // the value stands in the entry itself
            const auto first = table_bytes.begin() + static_cast<std::ptrdiff_t>(at);
            Bytes value(first + 2, first + 10);
            records.try_emplace(id, std::move(value));
        } else if (type == 0x28 || type == 0x30) {
            ReadHeap(source, start + offset, size, depth + 1, seen, records);
        } else if (size <= kMaxRecordBytes && offset <= length && size <= length - offset && !records.count(id)) {
            Bytes value;
            source.ReadAt(start + offset, size, value);
            records.emplace(id, std::move(value));
        }
    }
}

struct Entry {
    std::uint16_t Tag, Type;
    std::uint32_t Count;
    Bytes Value;
};

void Put(Bytes& out, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A little-endian TIFF structure holding one directory of `entries` (sorted by tag).
Bytes OneDirectory(const std::vector<Entry>& entries) {
    Bytes out = {'I', 'I', 42, 0, 8, 0, 0, 0};
    Put(out, static_cast<std::uint32_t>(entries.size()), 2);
    auto valueAt = static_cast<std::uint32_t>(8 + 2 + 12 * entries.size() + 4);
    Bytes values;
    for (const Entry& e : entries) {
        Put(out, e.Tag, 2);
        Put(out, e.Type, 2);
        Put(out, e.Count, 4);
        if (e.Value.size() <= 4) {
            Bytes inline_value = e.Value;
            inline_value.resize(4, 0);
            out.insert(out.end(), inline_value.begin(), inline_value.end());
        } else {
            Put(out, valueAt + static_cast<std::uint32_t>(values.size()), 4);
            values.insert(values.end(), e.Value.begin(), e.Value.end());
            if (values.size() % 2 != 0) values.push_back(0);
        }
    }
    Put(out, 0, 4);
    out.insert(out.end(), values.begin(), values.end());
    return out;
}

Entry Text(std::uint16_t tag, std::string_view text) {
    Bytes value(text.begin(), text.end());
    value.push_back(0);
    return {tag, kAscii, static_cast<std::uint32_t>(value.size()), value};
}

Entry Fraction(std::uint16_t tag, std::uint16_t type, std::int64_t numerator, std::uint32_t denominator) {
    Bytes value;
    Put(value, static_cast<std::uint32_t>(numerator), 4);
    Put(value, denominator, 4);
    return {tag, type, 1, value};
}

// A record of 16-bit numbers as a SHORT entry of the maker note.
Entry Shorts(std::uint16_t tag, const Bytes& record) {
    Bytes value(record.begin(), record.begin() + static_cast<std::ptrdiff_t>(record.size() & ~std::size_t{1}));
    return {tag, kShort, static_cast<std::uint32_t>(value.size() / 2), value};
}

// Canon's APEX values in 32nds, where 12 and 20 stand for a third and two thirds.
double CanonEv(std::int16_t stored) {
    const int sign = stored < 0 ? -1 : 1;
    int value = std::abs(static_cast<int>(stored));
    const int fraction = value & 0x1F;
    value -= fraction;
    const double part = fraction == 0x0C ? 32.0 / 3 : fraction == 0x14 ? 64.0 / 3 : fraction;
    return sign * (value + part) / 32.0;
}

void AddExposure(std::vector<Entry>& exif, double fNumber, double seconds) {
    if (std::isfinite(seconds) && seconds > 0.0 && seconds < 3600.0) {
        exif.push_back(seconds < 1.0
                           ? Fraction(0x829A, kRational, 1, static_cast<std::uint32_t>(std::lround(1.0 / seconds)))
                           : Fraction(0x829A, kRational, std::lround(seconds * 10.0), 10));
    }
    if (std::isfinite(fNumber) && fNumber > 0.5 && fNumber < 256.0) {
        exif.push_back(Fraction(0x829D, kRational, std::lround(fNumber * 10.0), 10));
    }
}

std::vector<Entry> ExifEntries(const std::map<std::uint16_t, Bytes>& records) {
    std::vector<Entry> exif;
    // The shot information's aperture and exposure (entries 21 and 22), as exiftool reads them.
    if (const auto it = records.find(0x102a); it != records.end() && it->second.size() >= 46) {
        const auto av = static_cast<std::int16_t>(Le(it->second, 42, 2));
        const auto tv = static_cast<std::int16_t>(Le(it->second, 44, 2));
        AddExposure(exif, av != 0 ? std::pow(2.0, CanonEv(av) / 2.0) : 0.0,
                    tv != 0 ? std::pow(2.0, -CanonEv(tv)) : 0.0);
    } else if (const auto info = records.find(0x1818); info != records.end() && info->second.size() >= 12) {
        // Exposure compensation, Tv and Av as APEX floats.
        const auto tv = std::bit_cast<float>(Le(info->second, 4, 4));
        const auto av = std::bit_cast<float>(Le(info->second, 8, 4));
        AddExposure(exif, std::pow(2.0, av / 2.0), std::pow(2.0, -tv));
    }
    if (const auto it = records.find(0x180e); it != records.end() && it->second.size() >= 4) {
        const std::time_t seconds = Le(it->second, 0, 4);
        std::tm taken{};
        char text[32];
        if (gmtime_r(&seconds, &taken) != nullptr && std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &taken) > 0)
            exif.push_back(Text(0x9003, text));
    }
    if (const auto it = records.find(0x1029); it != records.end() && it->second.size() >= 4) {
        exif.push_back(Fraction(0x920A, kRational, Le(it->second, 2, 2), 1));
    }
    return exif;
}

}  // namespace

ContainerResult ReadCrw(const ByteSource& source) {
    ContainerResult result;
    result.Format = PhotoFormat::Crw;
    Bytes header;
    if (source.ReadAt(0, 14, header) != 14) {
        result.Problem = "The CRW header is cut short";
        return result;
    }
    const std::int64_t start = Le(header, 2, 4);
    std::map<std::uint16_t, Bytes> records;
    std::set<std::int64_t> seen;
    ReadHeap(source, start, source.Size() - start, 0, seen, records);
    const auto names = records.find(0x080a);
    if (names == records.end()) {
        result.Problem = "No camera records in the CRW file";
        return result;
    }
    const std::string both(names->second.begin(), names->second.end());
    const std::string make = both.substr(0, both.find('\0'));
    const std::size_t after = std::min(both.size(), make.size() + 1);
    const std::string model = both.substr(after, both.find('\0', after) - after);
    result.Pieces.push_back({TiffRole::Ifd0, OneDirectory({Text(0x010F, make), Text(0x0110, model)})});
    result.Pieces.push_back({TiffRole::Exif, OneDirectory(ExifEntries(records))});
    std::vector<Entry> note;
    for (const auto& [id, tag] : {std::pair{0x102d, 0x0001}, {0x1029, 0x0002}, {0x102a, 0x0004}}) {
        if (const auto it = records.find(static_cast<std::uint16_t>(id)); it != records.end())
            note.push_back(Shorts(static_cast<std::uint16_t>(tag), it->second));
    }
    if (!note.empty()) result.Pieces.push_back({TiffRole::MakerNote, OneDirectory(note)});
    return result;
}

}  // namespace quorvela::metadata
