#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "end_ind.h"
#include "image_info.h"
#include "iptc.h"
#include "photo_format.h"
#include "tiff_piece.h"
#include "xmp.h"
#include "xmp_jpeg.h"

namespace quorvela::metadata {

class ByteSource;

// One marker segment of the scan. The bytes (the two length bytes and the payload, as in the
// file) are kept only for the segments that are decoded: an APP1 that may be the EXIF block and
// the first APP13; the others hold none.
struct tSection {
    Bytes SegmentBytes;
    std::int32_t MarkerCode = 0;
    std::int32_t SegmentLength = 0;
};

// The per-file metadata reader: tells a file's format from its first bytes, finds the EXIF,
// IPTC and comment segments of a JPEG (or the TIFF structures of a raw, HEIF or AVIF file)
// and hands them to their decoders. Reads only the header: the scan stops at the start of the
// compressed image, and containers are read box by box at their offsets.
class TimgData : public tEndInd {
  public:
    static constexpr int kMaxSections = 20;

    explicit TimgData(bool collectTags = true, char decimalSeparator = '.');

    std::array<tSection, kMaxSections + 1> SectionTable;  // slots 1..20; slot 0 unused
    bool TiffSource = false;
    bool CollectTags = true;
    int SectionsRead = 0;
    int ExifSection = 0;  // slot numbers; 0 = none
    int IptcSection = 0;
    int CommentSection = 0;
    int App0Section = 0;
    std::string PathName;
    double ModifiedAt = 0.0;  // seconds since 1970-01-01 UTC
    std::int64_t ByteSize = 0;
    std::string StatusText;
    // What the last read found the file to be; Unknown when no format matched.
    PhotoFormat Format = PhotoFormat::Unknown;
    std::unique_ptr<TImageInfo> ExifDirectory;
    std::unique_ptr<TIPTCdata> IptcRecords;
    char DecimalSeparator = '.';
    // Handed to each ExifDirectory (see TImageInfo::RenderOnDemand).
    bool RenderOnDemand = false;
    // Handed to each ExifDirectory (see TImageInfo::DeferMakerNote).
    bool DeferMakerNote = false;
    // Handed to each ExifDirectory (see TImageInfo::KeepOnly).
    const TagNameFilter* KeepOnly = nullptr;
    // Whether the records of an IPTC segment are decoded into IptcRecords; without, the
    // segment is still found (IptcSection).
    bool DecodeIptc = true;
    // Whether a JPEG's scan ends with its EXIF block, for a reader that needs nothing that
    // follows it (the IPTC and comment segments, the status of the segments after it).
    bool StopAfterExif = false;
    // Whether the file's XMP packet is read into Xmp: a JPEG's APP1 segments (the extended
    // packet too), IFD0's XMLPacket entry of a TIFF-based file, the XMP item of a HEIF or AVIF
    // file, the XMP box of a CR3 file. Off, reading costs what it did without XMP.
    bool ReadXmp = false;
    // The facts of the file's XMP after a read with ReadXmp; none when the file holds no packet
    // (or ReadXmp was off).
    std::optional<XmpFacts> Xmp;

    void ResetReader();
    // Reads a file of any format; its content, not its name, decides how.
    bool ReadJpegFile(const std::string& path);
    // The same reading for bytes already in memory; `name` names a TIFF-based raw file that
    // carries no mark of its own (its extension, as for a file).
    bool ReadJpegBytes(std::string_view name, std::span<const std::uint8_t> bytes);

    [[nodiscard]] bool HasAnyMetadata() const { return ExifSection != 0 || CommentSection != 0 || IptcSection != 0; }
    [[nodiscard]] bool HasExifBlock() const { return ExifSection != 0; }
    // An EXIF block whose directory was read: what every question about a photo's EXIF needs.
    [[nodiscard]] bool HasExif() const { return HasExifBlock() && ExifDirectory != nullptr; }

  private:
    void ClearBlocks();
    bool ReadFrom(ByteSource& source);
    bool ReadContent(ByteSource& source);
    bool ScanMarkers(ByteSource& source);
    [[nodiscard]] bool SegmentIsDecoded(int marker, int slot) const;
    void ReadExifSection();
    bool ReadTiffFile(ByteSource& source, PhotoFormat content);
    bool ReadEmbeddedJpeg(ByteSource& source, std::int64_t offset, std::int64_t length);
    bool ReadRaf(ByteSource& source);
    bool WalkContainer(ContainerResult result, bool tiffSource);
    bool WalkPieces(std::vector<TiffPiece>& pieces, bool tiffSource);
    TImageInfo& NewExifDirectory();
    bool ReadSegment(ByteSource& source, int marker, int slot, bool& xmpTaken);
    bool PassSegment(ByteSource& source, int marker, std::size_t length, bool& xmpTaken);
    void ScanForXmp(ByteSource& source);

    Bytes readBuffer_;  // the file reads' buffer, kept from file to file
    JpegXmp jpegXmp_;
    Bytes xmpSegment_;  // an APP1 segment read for its XMP, its room kept from file to file
    // The last file's directory, made anew for the next: its block and list keep their room.
    std::unique_ptr<TImageInfo> spareDirectory_;
};

}  // namespace quorvela::metadata
