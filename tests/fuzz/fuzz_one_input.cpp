#include "fuzz_one_input.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "metadata/byte_source.h"
#include "metadata/img_data.h"
#include "metadata/iso_media.h"

namespace quorvela::fuzz {
namespace {

// The record operations on whatever the block held: merging into fuzzed comma texts.
void QueryIptc(metadata::TIPTCdata& iptc) {
    (void)iptc.RecordValue("Keywords", "");
    (void)iptc.FindRecord("ByLine");
    iptc.SetRecordValue("Keywords", "New York, \"a \"\"b\"\"\"");
    iptc.AddToRecord("SuppCategory", iptc.RecordValue("ImageCaption", "x"));
    iptc.SetRecord("City", iptc.RecordValue("Custom_200", ""));
    iptc.RemoveRecord("ObjectName");
}

void Query(metadata::TimgData& reader) {
    (void)reader.HasAnyMetadata();
    (void)reader.HasExifBlock();
    if (reader.IptcRecords) QueryIptc(*reader.IptcRecords);
    if (!reader.ExifDirectory) return;
    metadata::TImageInfo& info = *reader.ExifDirectory;
    for (const char* name : {"FocalLengthin35mmFilm", "FocalLength", "FNumber", "ExposureTime", "ShutterSpeedValue",
                             "ISOSpeedRatings", "Make", "Model", "Orientation"}) {
        (void)info.TagTextByName(name);
        (void)info.TagNumberByName(name);
    }
    metadata::TTagEntry entry;
    info.RewindTagSearch();
    while (info.FindNextTag(1, entry)) {
    }
}

// A run's reading: the entries its facts ask for only, the maker note deferred and searched
// for the lens entries alone before it is decoded, no IPTC records, the scan ending with the
// EXIF block, the XMP packet read wherever the file keeps it.
void ReadAsARun(metadata::TimgData& reader, std::span<const std::uint8_t> bytes) {
    static constexpr std::string_view kFactNames[] = {
        "Make",    "Model",        "FocalLength",       "FocalLengthIn35mmFilm", "ISOSpeedRatings",
        "FNumber", "ExposureTime", "ShutterSpeedValue", "DateTimeOriginal",      "LensModel"};
    static constexpr std::string_view kLensNames[] = {"LensModel", "LensInformation"};
    static const metadata::TagNameFilter kFactEntries(kFactNames);
    reader.DeferMakerNote = true;
    reader.KeepOnly = &kFactEntries;
    reader.DecodeIptc = false;
    reader.StopAfterExif = true;
    reader.ReadXmp = true;
    reader.ReadJpegBytes("input.jpg", bytes);
    if (reader.Xmp) (void)reader.Xmp->Lens.value_or(reader.Xmp->Problem).size();
    if (reader.ExifDirectory) {
        (void)reader.ExifDirectory->PendingMakerNoteEntries(kLensNames);
        reader.ExifDirectory->DecodeMakerNote();
    }
    Query(reader);
    reader.DeferMakerNote = false;
    reader.KeepOnly = nullptr;
    reader.DecodeIptc = true;
    reader.StopAfterExif = false;
    reader.ReadXmp = false;
}

}  // namespace

void ReadOneInput(std::span<const std::uint8_t> bytes) {
    metadata::TimgData reader(true, ',');
    reader.ReadJpegBytes("input.jpg", bytes);
    Query(reader);
    // The same photo as a run reads it: texts rendered when asked for.
    reader.RenderOnDemand = true;
    reader.ReadJpegBytes("input.jpg", bytes);
    Query(reader);
    ReadAsARun(reader, bytes);
    reader.RenderOnDemand = false;
    if (bytes.size() >= 2 && (bytes[0] == 'I' || bytes[0] == 'M')) {
        reader.ReadJpegBytes("input.nef", bytes);
        Query(reader);
    }
}

void ReadIsoInput(std::span<const std::uint8_t> bytes) {
    const auto source = metadata::ByteSource::FromMemory(bytes);
    for (const auto format : {metadata::PhotoFormat::Heic, metadata::PhotoFormat::Cr3}) {
        const metadata::ContainerResult result = metadata::ReadIsoMedia(source, format);
        for (const metadata::TiffPiece& piece : result.Pieces) (void)piece.Data.size();
    }
    metadata::TimgData reader(true, '.');
    reader.ReadXmp = true;
    reader.ReadJpegBytes("input.heic", bytes);
    Query(reader);
}

void ReadRafInput(std::span<const std::uint8_t> bytes) {
    static constexpr std::string_view kMark = "FUJIFILMCCD-RAW ";
    std::vector<std::uint8_t> raf(bytes.begin(), bytes.end());
    if (raf.size() < kMark.size()) raf.resize(kMark.size());
    std::copy(kMark.begin(), kMark.end(), raf.begin());
    metadata::TimgData reader(true, '.');
    reader.ReadJpegBytes("input.raf", raf);
    Query(reader);
}

void ReadTiffInput(std::span<const std::uint8_t> bytes) {
    metadata::TimgData reader(true, ',');
    reader.ReadXmp = true;
    for (const char* name : {"input.arw", "input.tif"}) {
        reader.ReadJpegBytes(name, bytes);
        Query(reader);
    }
}

}  // namespace quorvela::fuzz
