#include "filter.h"

#include "common/ascii.h"
#include "lens_and_date.h"
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

bool HasPeriod(const FilterFields& fields) {
    return !fields.PeriodFrom.empty() || !fields.PeriodTo.empty();
}

bool PeriodUsable(const FilterFields& fields) {
    const auto from = fields.PeriodFrom.empty() ? std::optional<CalendarDay>() : ParseDay(fields.PeriodFrom);
    const auto to = fields.PeriodTo.empty() ? std::optional<CalendarDay>() : ParseDay(fields.PeriodTo);
    if ((!fields.PeriodFrom.empty() && !from) || (!fields.PeriodTo.empty() && !to)) return false;
    return !from || !to || from->Number() <= to->Number();
}

bool CheckFilterFields(const FilterFields& fields) {
    return fields.MakerNoteLabel.empty() == fields.MakerNoteData.empty() && PeriodUsable(fields);
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

FilterVerdict JudgeFile(const metadata::TimgData& reader, const FilterFields& fields) {
    const bool noteTest = !fields.MakerNoteLabel.empty() && !fields.MakerNoteData.empty();
    if (noteTest && !GetMakerNote(fields.MakerNoteLabel, fields.MakerNoteData, reader)) return FilterVerdict::Failed;
    const bool cameraTest = !fields.Make.empty() || !fields.Model.empty();
    if (cameraTest && !CameraMatches(reader, fields.Make, fields.Model)) return FilterVerdict::Failed;
    if (!fields.Lens.empty() && !Contains(LensText(reader), fields.Lens)) return FilterVerdict::Failed;
    if (!HasPeriod(fields)) return FilterVerdict::Passed;
    const auto taken = DateTaken(reader);
    if (!taken) return FilterVerdict::Undated;
    // A bound that does not parse was refused before the run; here it takes no part.
    const auto from = ParseDay(fields.PeriodFrom);
    const auto to = ParseDay(fields.PeriodTo);
    if (from && taken->Number() < from->Number()) return FilterVerdict::Failed;
    if (to && taken->Number() > to->Number()) return FilterVerdict::Failed;
    return FilterVerdict::Passed;
}

namespace {

std::string PeriodText(const FilterFields& fields) {
    if (fields.PeriodTo.empty()) return "from " + fields.PeriodFrom;
    if (fields.PeriodFrom.empty()) return "up to " + fields.PeriodTo;
    return fields.PeriodFrom + " to " + fields.PeriodTo;
}

}  // namespace

std::string FilterSummaryText(int filesAnalysed, int filesFound, const FilterFields& fields, int undated) {
    std::string text = "Filtering selected, " + std::to_string(filesAnalysed) + " files out of a total of " +
                       std::to_string(filesFound) +
                       " files are a match for the filter strings.\r\r Make: " + fields.Make +
                       "\r Model: " + fields.Model + "\r\r Maker Note:\r Label: " + fields.MakerNoteLabel +
                       "\r Data: " + fields.MakerNoteData;
    std::string more;
    if (!fields.Lens.empty()) more = "Lens: " + fields.Lens;
    if (HasPeriod(fields)) {
        if (!more.empty()) more += "; ";
        more += "Period: " + PeriodText(fields) + "; " + std::to_string(undated) +
                (undated == 1 ? " photo" : " photos") + " without a date left out";
    }
    if (!more.empty()) text += "\r\r " + more;
    return text;
}

}  // namespace quorvela::analysis
