#include "filter.h"

#include "common/ascii.h"
#include "metadata/img_data.h"
#include "metadata/tag_names.h"

namespace quorvela::analysis {

using common::UpperAscii;

namespace {

bool Contains(std::string_view text, std::string_view part) {
    return UpperAscii(text).find(UpperAscii(part)) != std::string::npos;
}

bool HasExif(const metadata::TimgData& reader) {
    return reader.HasAnyMetadata() && reader.HasExifBlock() && reader.ExifDirectory != nullptr;
}

}  // namespace

bool CheckFilterFields(const FilterFields& fields) {
    return fields.MakerNoteLabel.empty() == fields.MakerNoteData.empty();
}

bool CameraMatches(const metadata::TimgData& reader, std::string_view make, std::string_view model) {
    if (!HasExif(reader)) return false;
    const std::string fileMake = reader.ExifDirectory->TagTextByName(metadata::tags::Make);
    const std::string fileModel = reader.ExifDirectory->TagTextByName(metadata::tags::Model);
    if (!make.empty() && !Contains(fileMake, make)) return false;
    if (!model.empty() && !Contains(fileModel, model)) return false;
    return !make.empty() || !model.empty();
}

bool GetMakerNote(std::string_view label, std::string_view data, const metadata::TimgData& reader) {
    if (!HasExif(reader)) return false;
    metadata::TImageInfo& exif = *reader.ExifDirectory;
    exif.RewindTagSearch();
    if (!exif.MakerNoteDecoded) return false;
    metadata::TTagEntry entry;
    while (exif.FindNextTag(1, entry)) {
        // Label and data must meet in the same entry.
        if (Contains(entry.Description, label) && Contains(entry.Text, data)) return true;
    }
    return false;
}

bool PassesFilter(const metadata::TimgData& reader, const FilterFields& fields) {
    const bool noteTest = !fields.MakerNoteLabel.empty() && !fields.MakerNoteData.empty();
    if (noteTest && !GetMakerNote(fields.MakerNoteLabel, fields.MakerNoteData, reader)) return false;
    const bool cameraTest = !fields.Make.empty() || !fields.Model.empty();
    return !cameraTest || CameraMatches(reader, fields.Make, fields.Model);
}

std::string FilterSummaryText(int filesAnalysed, int filesFound, const FilterFields& fields) {
    return "Filtering selected, " + std::to_string(filesAnalysed) + " files out of a total of " +
           std::to_string(filesFound) + " files are a match for the filter strings.\r\r Make: " + fields.Make +
           "\r Model: " + fields.Model + "\r\r Maker Note:\r Label: " + fields.MakerNoteLabel +
           "\r Data: " + fields.MakerNoteData;
}

}  // namespace quorvela::analysis
