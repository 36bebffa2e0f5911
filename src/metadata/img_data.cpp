#include "img_data.h"

#include <exception>

#include "byte_source.h"
#include "iso_media.h"
#include "raw_containers.h"

namespace quorvela::metadata {
namespace {

// Bytes read from the start of a TIFF-structured file: raw files keep their directories and
// maker note ahead of the image data; a directory beyond this is not read.
constexpr std::size_t kTiffLoadLimit = 256008;
// Bytes that tell the format: the longest mark is a RAF's, a 'ftyp' box needs twelve.
constexpr std::size_t kFormatHeaderBytes = 32;
// Panasonic's raw files keep their EXIF block in the JPEG of this IFD0 tag.
constexpr std::uint16_t kJpgFromRawTag = 0x002E;
constexpr std::uint16_t kDngVersionTag = 0xC612;
constexpr int kMaxDroppedApp1 = 64;
// Segments a reader that stops after the EXIF block still passes looking for the XMP: a
// standard packet, the chunks of an extended one and the other application segments.
constexpr int kMaxXmpScanSegments = 256;

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
    ClearBlocks();
    PathName.clear();
    ModifiedAt = 0.0;
    ByteSize = 0;
    StatusText.clear();
    Format = PhotoFormat::Unknown;
    Xmp.reset();
    jpegXmp_.Clear();
}

void TimgData::ClearBlocks() {
    SectionsRead = 0;
    ExifSection = IptcSection = CommentSection = App0Section = 0;
    if (ExifDirectory) spareDirectory_ = std::move(ExifDirectory);
    IptcRecords.reset();
    BigEndian = false;
    Block.clear();
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
    if (!source) {
        StatusText = "Illegal Exif construction";
        return false;
    }
    return ReadFrom(*source);
}

bool TimgData::ReadJpegBytes(std::string_view name, std::span<const std::uint8_t> bytes) {
    ResetReader();
    PathName = std::string(name);
    ByteSize = static_cast<std::int64_t>(bytes.size());
    StatusText = "Not an EXIF file";
    auto source = ByteSource::FromMemory(bytes);
    return ReadFrom(source);
}

bool TimgData::ReadFrom(ByteSource& source) {
    bool found = false;
    try {
        found = ReadContent(source);
    } catch (const std::exception& error) {
        if (!IsFileFault(error)) throw;
        // A failure inside the walk ends the scan; what it found stays in place.
        found = false;
    }
    TiffSource = false;
    if (found) StatusText = "<none>";
    // A container's packet came first (a raw file's IFD0 before the JPEG it holds).
    if (ReadXmp && !Xmp) Xmp = jpegXmp_.Facts();
    return found;
}

bool TimgData::ReadContent(ByteSource& source) {
    // The stream's first read holds the mark, and a JPEG's scan goes on from it.
    std::span<const std::uint8_t> header = source.Peek(kFormatHeaderBytes);
    Bytes copied;
    if (header.size() < kFormatHeaderBytes && static_cast<std::int64_t>(header.size()) < source.Size()) {
        source.ReadAt(0, kFormatHeaderBytes, copied);
        header = copied;
    }
    Format = FormatFromContent(header);
    switch (Format) {
        case PhotoFormat::Unknown:
            return false;
        case PhotoFormat::Jpeg:
            return ScanMarkers(source);
        case PhotoFormat::Raf:
            return ReadRaf(source);
        case PhotoFormat::Mrw:
            return WalkContainer(ReadMrw(source), true);
        case PhotoFormat::Crw:
            return WalkContainer(ReadCrw(source), false);
        case PhotoFormat::Heic:
        case PhotoFormat::Heif:
        case PhotoFormat::Avif:
        case PhotoFormat::Cr3:
            return WalkContainer(ReadIsoMedia(source, Format, ReadXmp), false);
        default:
            return ReadTiffFile(source, Format);
    }
}

TImageInfo& TimgData::NewExifDirectory() {
    if (spareDirectory_) {
        spareDirectory_->Recycle(this, CollectTags, DecimalSeparator);
        ExifDirectory = std::move(spareDirectory_);
    } else {
        ExifDirectory = std::make_unique<TImageInfo>(this, CollectTags, DecimalSeparator);
    }
    ExifDirectory->RenderOnDemand = RenderOnDemand;
    ExifDirectory->DeferMakerNote = DeferMakerNote;
    ExifDirectory->KeepOnly = KeepOnly;
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
        bool xmpTaken = false;
        if (!ReadSegment(source, *marker, slot, xmpTaken)) continue;  // cut short: not handled

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
                    // would otherwise be read to its end. The XMP segments taken have bounds
                    // of their own: an extended packet may take dozens.
                    if (!xmpTaken && ++droppedApp1 > kMaxDroppedApp1) return HasAnyMetadata();
                } else if (PayloadIsExif(section.SegmentBytes)) {
                    ExifSection = slot;
                    ReadExifSection();
                    if (StopAfterExif) {
                        ScanForXmp(source);
                        return HasAnyMetadata();
                    }
                }
                // Any other APP1 (an XMP packet, say) stays a plain slot and does not take
                // the place of the EXIF block that may follow.
                break;
            case 0xED:
                if (IptcSection == 0) {
                    IptcSection = slot;
                    if (DecodeIptc) IptcRecords = std::make_unique<TIPTCdata>(section.SegmentBytes);
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

bool TimgData::ReadSegment(ByteSource& source, int marker, int slot, bool& xmpTaken) {
    tSection& section = SectionTable[static_cast<std::size_t>(slot)];
    section.SegmentBytes.clear();
    const auto payload = static_cast<std::size_t>(section.SegmentLength - 2);
    if (!SegmentIsDecoded(marker, slot)) return PassSegment(source, marker, payload, xmpTaken);
    section.SegmentBytes.reserve(static_cast<std::size_t>(section.SegmentLength));
    section.SegmentBytes.push_back(static_cast<std::uint8_t>(section.SegmentLength >> 8));
    section.SegmentBytes.push_back(static_cast<std::uint8_t>(section.SegmentLength & 0xFF));
    if (source.ReadInto(section.SegmentBytes, payload) != payload) return false;
    const std::span<const std::uint8_t> bytes(section.SegmentBytes);
    if (ReadXmp && marker == 0xE1) xmpTaken = jpegXmp_.Take(bytes.subspan(2));  // past the length bytes
    return true;
}

bool TimgData::PassSegment(ByteSource& source, int marker, std::size_t length, bool& xmpTaken) {
    // The signature is looked at in the bytes the stream holds: a segment of another kind is
    // passed over as without XMP.
    if (!ReadXmp || marker != 0xE1 || length == 0 ||
        !JpegXmp::MayBeXmp(source.Peek(std::min(length, JpegXmp::kSignatureBytes)))) {
        return source.Skip(length) == length;
    }
    xmpSegment_.clear();
    if (source.ReadInto(xmpSegment_, length) != length) return false;
    xmpTaken = jpegXmp_.Take(xmpSegment_);
    return true;
}

// A reader that stops after the EXIF block still looks for the XMP. Writers put it right after
// the EXIF block, some after other application segments or even after the tables and the
// frame header; so the look goes on to the start of the scan, the point where a reader without
// XMP would stop anyway, but over segment headers only: a JPEG without XMP costs the headers
// of the few segments between its EXIF block and its image data, which the read that ended in
// the EXIF block mostly holds already; one with XMP costs the read of the XMP segments.
void TimgData::ScanForXmp(ByteSource& source) {
    for (int n = 0; ReadXmp && n < kMaxXmpScanSegments && !jpegXmp_.Complete(); ++n) {
        std::optional<std::uint8_t> marker;
        do {
            marker = source.ReadByte();
        } while (marker == 0xFF);
        if (!marker || *marker == 0xDA || *marker == 0xD9) return;
        const auto high = source.ReadByte();
        const auto low = source.ReadByte();
        if (!high || !low) return;
        const int length = (*high << 8) | *low;
        bool taken = false;
        if (length < 2 || !PassSegment(source, *marker, static_cast<std::size_t>(length - 2), taken)) return;
    }
}

bool TimgData::SegmentIsDecoded(int marker, int slot) const {
    // An APP1 segment may be the EXIF block while none was found in the first five slots.
    if (marker == 0xE1) return slot <= 5 && ExifSection == 0;
    return marker == 0xED && IptcSection == 0 && DecodeIptc;
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

bool TimgData::ReadTiffFile(ByteSource& source, PhotoFormat content) {
    TiffPiece piece;
    source.ReadAt(0, kTiffLoadLimit, piece.Data);
    if (ReadXmp) Xmp = ReadTiffXmp(source, piece.Data);
    if (const auto jpeg = FindIfd0Entry(piece.Data, kJpgFromRawTag); jpeg && content == PhotoFormat::Rw2) {
        if (ReadEmbeddedJpeg(source, jpeg->Value, jpeg->Count)) {
            Format = NameTiffFormat(content, ExifDirectory->MakeText, false, PathName);
            return true;
        }
        ClearBlocks();  // no EXIF block there: IFD0 still names the camera
    }
    const bool dng = FindIfd0Entry(piece.Data, kDngVersionTag).has_value();
    std::vector<TiffPiece> pieces;
    pieces.push_back(std::move(piece));
    const bool found = WalkPieces(pieces, true);
    Format = NameTiffFormat(content, ExifDirectory ? ExifDirectory->MakeText : std::string(), dng, PathName);
    return found;
}

bool TimgData::ReadEmbeddedJpeg(ByteSource& source, std::int64_t offset, std::int64_t length) {
    if (!source.Restart(offset, length)) return false;
    return ScanMarkers(source) && HasExif();
}

bool TimgData::ReadRaf(ByteSource& source) {
    const auto range = RafJpegRange(source, StatusText);
    if (!range) return false;
    if (ReadEmbeddedJpeg(source, range->Offset, range->Length)) return true;
    if (!HasAnyMetadata()) StatusText = "No EXIF data in the RAF file's JPEG";
    return HasAnyMetadata();
}

bool TimgData::WalkContainer(ContainerResult result, bool tiffSource) {
    if (result.Xmp) Xmp = std::move(result.Xmp);
    if (result.Pieces.empty()) {
        StatusText = result.Problem.empty() ? "No EXIF data" : result.Problem;
        return false;
    }
    return WalkPieces(result.Pieces, tiffSource);
}

namespace {

// Where one TIFF structure lies in the directory's block.
struct PlacedPiece {
    TiffRole Role = TiffRole::Ifd0;
    std::int64_t Start = 1;  // 1-based position of its byte-order mark
    std::int64_t Length = 0;
};

// Walks one structure; its offsets count from its own first byte. False when its first
// directory cannot be read.
bool WalkPiece(TImageInfo& directory, const PlacedPiece& piece) {
    try {
        const auto stored = static_cast<std::uint32_t>(directory.ReadI32(piece.Start + 4));
        const std::int64_t position = piece.Start + (stored != 0 ? std::int64_t{stored} : 8);
        switch (piece.Role) {
            case TiffRole::MakerNote:
                directory.DecodeMakerNoteAt(position, piece.Start + piece.Length - position, piece.Start);
                break;
            case TiffRole::Gps:
                directory.WalkDirectory(position, piece.Start, TableKind::Gps, piece.Length);
                break;
            case TiffRole::Ifd0:
            case TiffRole::Exif:
                directory.WalkDirectory(position, piece.Start, TableKind::Main, piece.Length);
                break;
        }
        return true;
    } catch (const std::exception& error) {
        if (!IsFileFault(error)) throw;
        return false;  // the entries read before the failure stay
    }
}

bool HasByteOrderMark(const Bytes& data) {
    return data.size() >= 8 && data[0] == data[1] && (data[0] == 'I' || data[0] == 'M');
}

}  // namespace

bool TimgData::WalkPieces(std::vector<TiffPiece>& pieces, bool tiffSource) {
    TiffSource = tiffSource;
    TImageInfo& directory = NewExifDirectory();
    directory.TiffSource = tiffSource;
    // The structures stand one after the other in one block, so every entry keeps its bytes
    // and position. The directory reads one byte order: a structure in the other is left out.
    std::vector<PlacedPiece> placed;
    for (TiffPiece& piece : pieces) {
        if (!HasByteOrderMark(piece.Data)) continue;
        const bool bigEndian = piece.Data[0] == 'M';
        if (!placed.empty() && bigEndian != directory.BigEndian) continue;
        directory.BigEndian = bigEndian;
        placed.push_back({piece.Role, static_cast<std::int64_t>(directory.Block.size()) + 1,
                          static_cast<std::int64_t>(piece.Data.size())});
        directory.Block.insert(directory.Block.end(), piece.Data.begin(), piece.Data.end());
    }
    if (placed.empty()) {
        spareDirectory_ = std::move(ExifDirectory);
        StatusText = "Invalid Exif alignment marker";
        return false;
    }
    BigEndian = directory.BigEndian;
    tSection& section = SectionTable[1];
    section.SegmentBytes.clear();
    section.SegmentLength = static_cast<std::int32_t>(directory.Block.size());
    section.MarkerCode = 0;
    SectionsRead = 1;
    ExifSection = 1;
    bool walked = false;
    for (const PlacedPiece& piece : placed) walked = WalkPiece(directory, piece) || walked;
    directory.Derive35mmFocalLength();
    return walked;
}

}  // namespace quorvela::metadata
