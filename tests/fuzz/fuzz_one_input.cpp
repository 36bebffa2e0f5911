#include "fuzz_one_input.h"

#include "metadata/img_data.h"

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

}  // namespace

void ReadOneInput(std::span<const std::uint8_t> bytes) {
    metadata::TimgData reader(true, ',');
    reader.ReadJpegBytes("input.jpg", bytes);
    Query(reader);
    // The same photo as a run reads it: texts rendered when asked for.
    reader.RenderOnDemand = true;
    reader.ReadJpegBytes("input.jpg", bytes);
    Query(reader);
    reader.RenderOnDemand = false;
    if (bytes.size() >= 2 && (bytes[0] == 'I' || bytes[0] == 'M')) {
        reader.ReadJpegBytes("input.nef", bytes);
        Query(reader);
    }
}

}  // namespace quorvela::fuzz
