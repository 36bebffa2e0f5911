#include "img_data.h"

#include <exception>

#include "byte_source.h"
#include "common/ascii.h"

namespace quorvela::metadata {
namespace {

constexpr std::size_t kTiffLoadLimit = 256000;
constexpr int kMaxDroppedApp1 = 64;

bool PayloadIsExif(const Bytes& segment) {
    static constexpr std::uint8_t kExif[] = {'E', 'x', 'i', 'f', 0};
    return segment.size() >= 7 && std::equal(std::begin(kExif), std::end(kExif), segment.begin() + 2);
}

}  // namespace

TimgData::TimgData(bool collectTags, char decimalSeparator)
    : CollectTags(collectTags), DecimalSeparator(decimalSeparator) {
    ResetReader();
}

void TimgData::ResetReader() {
    SectionsRead = 0;
    ExifSection = IptcSection = CommentSection = App0Section = 0;
    PathName.clear();
    ModifiedAt = 0.0;
    ByteSize = 0;
    StatusText.clear();
    ExifDirectory.reset();
    IptcRecords.reset();
    BigEndian = false;
    Block.clear();
}

TimgData::FileKind TimgData::KindOf(std::string_view name) {
    const auto slash = name.find_last_of('/');
    const std::string_view base = slash == std::string_view::npos ? name : name.substr(slash + 1);
    const auto dot = base.find_last_of('.');
    if (dot == std::string_view::npos) return FileKind::Other;
    const std::string ext = common::UpperAscii(base.substr(dot));
    if (ext == ".JPG" || ext == ".JPEG" || ext == ".THM" || ext == ".JPE") return FileKind::Jpeg;
    if (ext == ".TIF" || ext == ".TIFF" || ext == ".NEF") return FileKind::Tiff;
    return FileKind::Other;
}

bool TimgData::ReadJpegFile(const std::string& path) {
    ResetReader();
    ByteSource::FileInfo info;
    ByteSource::OpenError error = ByteSource::OpenError::None;
    auto source = ByteSource::OpenFile(path, readBuffer_, info, error);
    if (error == ByteSource::OpenError::Missing) return false;  // no file (or a folder) at the path
    PathName = path;
    ByteSize = info.Size;
    ModifiedAt = info.ModifiedAt;
    StatusText = "Not an EXIF file";
    const FileKind kind = KindOf(path);
    if (kind == FileKind::Other) return false;
    if (!source) {
        StatusText = "Illegal Exif construction";
        return false;
    }
    return ReadFrom(*source, kind);
}

bool TimgData::ReadJpegBytes(std::string_view name, std::span<const std::uint8_t> bytes) {
    ResetReader();
    PathName = std::string(name);
    ByteSize = static_cast<std::int64_t>(bytes.size());
    StatusText = "Not an EXIF file";
    const FileKind kind = KindOf(name);
    if (kind == FileKind::Other) return false;
    auto source = ByteSource::FromMemory(bytes);
    return ReadFrom(source, kind);
}

bool TimgData::ReadFrom(ByteSource& source, FileKind kind) {
    bool found = false;
    try {
        found = kind == FileKind::Jpeg ? ScanMarkers(source) : LoadTiff(source);
    } catch (const std::exception&) {
        // A failure inside the walk ends the scan; what it found stays in place.
        found = false;
    }
    TiffSource = false;
    if (found) StatusText = "<none>";
    return found;
}

TImageInfo& TimgData::NewExifDirectory() {
    ExifDirectory = std::make_unique<TImageInfo>(this, CollectTags, DecimalSeparator);
    ExifDirectory->RenderOnDemand = RenderOnDemand;
    ExifDirectory->DeferMakerNote = DeferMakerNote;
    return *ExifDirectory;
}

bool TimgData::ScanMarkers(ByteSource& source) {
    TiffSource = false;
    const auto first = source.ReadByte();
    const auto second = source.ReadByte();
    if (first != 0xFF || second != 0xD8) return false;
    SectionsRead = 0;
    int droppedApp1 = 0;
    while (SectionsRead < kMaxSections) {
        std::optional<std::uint8_t> marker;
        do {
            marker = source.ReadByte();
        } while (marker == 0xFF);
        if (!marker) break;  // the file ends between segments: keep what was found

        const int slot = ++SectionsRead;
        tSection& section = SectionTable[static_cast<std::size_t>(slot)];
        const auto high = source.ReadByte();
        const auto low = source.ReadByte();
        if (!high || !low) break;
        section.SegmentLength = (*high << 8) | *low;
        section.MarkerCode = *marker;
        if (section.SegmentLength < 2) return false;  // cannot hold its own length bytes
        section.SegmentBytes.clear();
        section.SegmentBytes.reserve(static_cast<std::size_t>(section.SegmentLength));
        section.SegmentBytes.push_back(*high);
        section.SegmentBytes.push_back(*low);
        const auto payload = static_cast<std::size_t>(section.SegmentLength - 2);
        if (source.ReadInto(section.SegmentBytes, payload) != payload) continue;  // cut short: not handled

        if (SectionsRead == 5 && !HasAnyMetadata()) break;

        switch (*marker) {
            case 0xD9:
            case 0xDA:
                return HasAnyMetadata();
            case 0xE0:
                App0Section = slot;
                break;
            case 0xE1:
                if (SectionsRead > 5 || ExifSection != 0) {
                    --SectionsRead;  // the next segment reuses the slot
                    // Real files carry a handful of APP1 segments; a file made of nothing else
                    // would otherwise be read to its end.
                    if (++droppedApp1 > kMaxDroppedApp1) return HasAnyMetadata();
                } else if (PayloadIsExif(section.SegmentBytes)) {
                    ExifSection = slot;
                    ReadExifSection();
                }
                // Any other APP1 (an XMP packet, say) stays a plain slot and does not take
                // the place of the EXIF block that may follow.
                break;
            case 0xED:
                if (IptcSection == 0) {
                    IptcSection = slot;
                    IptcRecords = std::make_unique<TIPTCdata>(section.SegmentBytes);
                }
                break;
            case 0xFE:
                CommentSection = slot;
                break;
            default:
                break;
        }
    }
    return HasAnyMetadata();
}

void TimgData::ReadExifSection() {
    TImageInfo& directory = ExifDirectory ? *ExifDirectory : NewExifDirectory();
    const tSection& section = SectionTable[static_cast<std::size_t>(ExifSection)];
    const Bytes& bytes = section.SegmentBytes;
    if (!PayloadIsExif(bytes)) {
        StatusText = "Incorrect Exif header";
        return;
    }
    if (bytes.size() >= 10 && bytes[8] == 'I' && bytes[9] == 'I') {
        BigEndian = false;
    } else if (bytes.size() >= 10 && bytes[8] == 'M' && bytes[9] == 'M') {
        BigEndian = true;
    } else {
        StatusText = "Invalid Exif alignment marker";
        return;
    }
    // The directory reads the segment from here on; it takes the bytes over rather than
    // copying them (the slot keeps its marker and length).
    directory.Block.swap(SectionTable[static_cast<std::size_t>(ExifSection)].SegmentBytes);
    directory.BigEndian = BigEndian;
    const std::int32_t first = directory.ReadI32(13);
    const std::int64_t position = first != 0 ? std::int64_t{first} + 9 : 17;
    directory.WalkDirectory(position, 9, TableKind::Main, section.SegmentLength - 6);
    directory.Derive35mmFocalLength();
}

bool TimgData::LoadTiff(ByteSource& source) {
    TiffSource = true;
    const auto a = source.ReadByte();
    const auto b = source.ReadByte();
    if (!a || !b || *a != *b || (*a != 'I' && *a != 'M')) return false;
    const bool bigEndian = *a == 'M';
    Bytes header;
    source.ReadInto(header, 6);  // magic number and IFD0 offset: not used

    tSection& section = SectionTable[1];
    section.SegmentBytes.clear();
    source.ReadInto(section.SegmentBytes, kTiffLoadLimit);
    section.SegmentLength = static_cast<std::int32_t>(section.SegmentBytes.size());
    section.MarkerCode = 0;
    SectionsRead = 1;
    ExifSection = 1;

    TImageInfo& directory = NewExifDirectory();
    directory.TiffSource = true;
    directory.Block.swap(section.SegmentBytes);
    directory.BigEndian = bigEndian;
    directory.WalkDirectory(1, -7, TableKind::Main, static_cast<std::int64_t>(kTiffLoadLimit));
    directory.Derive35mmFocalLength();
    return true;
}

}  // namespace quorvela::metadata
