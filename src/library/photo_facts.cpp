#include "photo_facts.h"

#include <cstdint>

#include "common/ascii.h"
#include "common/number_format.h"
#include "metadata/img_data.h"
#include "metadata/photo_format.h"
#include "metadata/sensor_size.h"
#include "metadata/tag_names.h"
#include "photo_lens.h"

namespace quorvela::library {

namespace {

namespace tags = metadata::tags;

// Every name FactsOf and FindLens look up in the EXIF directories: a run's reading keeps
// only these entries.
constexpr std::string_view kFactNames[] = {tags::Make,
                                           tags::Model,
                                           tags::FocalLength,
                                           tags::FocalLengthIn35mmFilm,
                                           tags::ISOSpeedRatings,
                                           tags::FNumber,
                                           tags::ExposureTime,
                                           tags::ShutterSpeedValue,
                                           tags::DateTimeOriginal,
                                           tags::LensModel,
                                           tags::LensSpecification,
                                           metadata::kSensorWidthName,
                                           metadata::kSensorHeightName};

const metadata::TagNameFilter& FactEntries() {
    static const metadata::TagNameFilter filter(kFactNames);
    return filter;
}

// Whether the file's own 35mm entry was stored, not derived by the reader.
bool Stored35mm(const metadata::TImageInfo& exif) {
    const int index = exif.TagIndexByName(tags::FocalLengthIn35mmFilm);
    return index >= 0 && !exif.Tags[static_cast<std::size_t>(index)].RawBytes.empty();
}

}  // namespace

PhotoFacts ReadFacts(const std::string& path, bool readable, bool withPairs, metadata::TimgData& reader) {
    reader.CollectTags = true;
    reader.RenderOnDemand = true;  // every query goes through TagTextByName or FindNextTag
    reader.DeferMakerNote = !withPairs;
    reader.KeepOnly = &FactEntries();
    reader.DecodeIptc = false;  // no fact comes from IPTC or a segment after the EXIF block
    reader.StopAfterExif = true;
    if (readable) {
        reader.ReadJpegFile(path);
    } else {
        reader.ResetReader();
    }
    return FactsOf(reader, withPairs);
}

PhotoFacts FactsOf(metadata::TimgData& reader, bool withPairs) {
    PhotoFacts facts;
    facts.HasExif = reader.HasExif();
    // A file without EXIF has nothing more to give: its facts are complete for every run.
    facts.MakerNotePairsRead = !facts.HasExif || withPairs;
    if (!facts.HasExif) return facts;
    metadata::TImageInfo& exif = *reader.ExifDirectory;
    const auto text = [&exif](std::string_view name) {
        exif.PrepareLookup(name);
        return exif.TagTextByName(name);
    };
    facts.Make = text(tags::Make);
    facts.Model = text(tags::Model);
    facts.FocalLength = text(tags::FocalLength);
    facts.FocalLength35 = text(tags::FocalLengthIn35mmFilm);
    if (!Stored35mm(exif)) facts.FocalLength35.clear();
    // A photo that states its own 35mm value (a zero states none) never needs its sensor.
    if (facts.FocalLength35.empty() || common::IsZeroLengthText(facts.FocalLength35)) {
        exif.PrepareLookup(metadata::kSensorWidthName);
        exif.PrepareLookup(metadata::kSensorHeightName);
        const metadata::SensorReading sensor = metadata::ReadSensor(exif);
        facts.NoteCrop = sensor.NoteCrop;
        facts.PlaneCrop = sensor.PlaneCrop;
        facts.Aspect = sensor.Aspect;
    }
    facts.Iso = text(tags::ISOSpeedRatings);
    facts.FNumber = text(tags::FNumber);
    facts.ExposureTime = text(tags::ExposureTime);
    facts.ShutterSpeedValue = text(tags::ShutterSpeedValue);
    facts.DateTaken = text(tags::DateTimeOriginal);
    facts.Format = std::string(metadata::FormatName(reader.Format));
    LensFinding lens = FindLens(reader);
    const std::string make = common::UpperAscii(facts.Make);
    // Only Canon's and Nikon's notes tell of a lens, in a few entries: the note stays undecoded.
    if ((lens.Source == LensSource::None || lens.From == RangeSource::None) &&
        (make.find("CANON") != std::string::npos || make.find("NIKON") != std::string::npos)) {
        lens = CompleteFromDeferredNote(exif, std::move(lens));
    }
    facts.Lens = std::move(lens.Text);
    facts.LensRange = lens.Range;
    if (!StoredIso(facts.Iso)) {
        exif.DecodeMakerNote();
        facts.MakerNoteIso = IsoFromMakerNotes(exif);
    }
    if (withPairs) {
        exif.DecodeMakerNote();
        facts.MakerNoteDecoded = exif.MakerNoteDecoded;
        exif.RewindTagSearch();
        metadata::TTagEntry entry;
        while (exif.FindNextTag(1, entry)) {
            facts.MakerNotePairs.emplace_back(std::string(entry.Description.view()), entry.Text);
        }
    }
    return facts;
}

bool StoredIso(const std::string& text) {
    const auto value = common::ParseInteger(text);
    return value && *value > 0;
}

std::string IsoDigits(std::string_view text) {
    if (const auto comma = text.find(','); comma != std::string_view::npos) text = text.substr(comma);
    std::string digits;
    for (const char c : text) {
        if (c >= '0' && c <= '9') digits += c;
    }
    return digits.empty() ? "0" : digits;
}

std::string IsoFromMakerNotes(metadata::TImageInfo& exif) {
    if (exif.MakerNoteIso) return std::to_string(*exif.MakerNoteIso);
    exif.RewindTagSearch();
    metadata::TTagEntry entry;
    while (exif.FindNextTag(1, entry)) {
        const std::string s = entry.Description + " = " + entry.Text;
        const std::string upper = common::UpperAscii(s);
        for (const char* key : {"ISO SPEED", "CCD SENSITIVITY", "CCD ISO"}) {
            if (upper.find(key) != std::string::npos) return IsoDigits(s);
        }
    }
    return "0";
}

}  // namespace quorvela::library
