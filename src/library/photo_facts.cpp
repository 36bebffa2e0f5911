#include "photo_facts.h"

#include <sys/stat.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <vector>

#include "common/ascii.h"
#include "common/code_page.h"
#include "common/number_format.h"
#include "metadata/img_data.h"
#include "metadata/photo_format.h"
#include "metadata/sensor_size.h"
#include "metadata/tag_names.h"
#include "metadata/xmp.h"
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
                                           tags::Rating,
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

// The XMP of a photo, in the order it takes precedence: its sidecars, then its own packet.
struct XmpSource {
    const metadata::XmpFacts* Facts;
};

std::vector<XmpSource> XmpSources(const metadata::TimgData& reader, std::span<const metadata::XmpFacts> sidecars) {
    std::vector<XmpSource> sources;
    sources.reserve(sidecars.size() + 1);
    for (const metadata::XmpFacts& sidecar : sidecars) sources.push_back({&sidecar});
    if (reader.Xmp) sources.push_back({&*reader.Xmp});
    return sources;
}

// The first value of a property among the sources.
std::optional<std::string> First(const std::vector<XmpSource>& sources,
                                 std::optional<std::string> metadata::XmpFacts::*property) {
    for (const XmpSource& source : sources) {
        if (const auto& value = source.Facts->*property) return value;
    }
    return std::nullopt;
}

// What the XMP says: the rating, the label, an editor's lens (a name only when it holds a
// letter or digit), why a packet was not read.
void TakeXmp(const std::vector<XmpSource>& sources, PhotoFacts& facts) {
    if (std::optional<std::string> label = First(sources, &metadata::XmpFacts::Label)) facts.Label = std::move(*label);
    // XMP is UTF-8; a lens name is kept in the metadata's code page, as the EXIF's.
    if (std::optional<std::string> lens = First(sources, &metadata::XmpFacts::Lens); lens && CanNameLens(*lens)) {
        facts.Lens = common::Utf8ToCp1252(*lens);
    }
    if (const std::optional<std::string> rating = First(sources, &metadata::XmpFacts::Rating)) {
        facts.Rating = RatingOf(*rating);
    }
    for (const XmpSource& source : sources) {
        // A sidecar gone, or a link, FIFO or folder named as one, is passed over unsaid.
        if (source.Facts->Ok() || source.Facts->Status == metadata::XmpStatus::Unreadable) continue;
        facts.XmpProblem = source.Facts->Problem;
        break;
    }
}

// The stamp of sidecars as they were seen; one not seen (identity of 0s) takes no part.
std::uint64_t StampOf(std::span<const std::string> sidecars, std::span<const metadata::FileIdentity> seen) {
    std::uint64_t stamp = 0;
    for (std::size_t i = 0; i < sidecars.size() && i < seen.size(); ++i) {
        if (seen[i] == metadata::FileIdentity{}) continue;
        std::uint64_t hash = 0xCBF29CE484222325ULL;
        const auto mix = [&hash](std::uint64_t word) {
            hash ^= word;
            hash *= 0x100000001B3ULL;
        };
        for (const char c : sidecars[i]) mix(static_cast<unsigned char>(c));
        for (const std::int64_t word : {seen[i].Size, seen[i].Inode, seen[i].ModifiedNs, seen[i].ChangedNs}) {
            mix(static_cast<std::uint64_t>(word));
        }
        // Order matters: the first sidecar wins.
        stamp = stamp * 31 + hash;
    }
    return stamp;
}

}  // namespace

int RatingOf(std::string_view text) {
    text = common::Trim(text);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return 0;
    const long rounded = std::lround(value);
    return rounded >= -1 && rounded <= 5 ? static_cast<int>(rounded) : 0;
}

std::uint64_t SidecarStamp(std::span<const std::string> sidecars) {
    std::vector<metadata::FileIdentity> seen;
    seen.reserve(sidecars.size());
    for (const std::string& sidecar : sidecars) {
        struct stat info {};
        const bool regular = ::lstat(sidecar.c_str(), &info) == 0 && S_ISREG(info.st_mode);
        seen.push_back(regular ? metadata::IdentityOf(info) : metadata::FileIdentity{});
    }
    return StampOf(sidecars, seen);
}

PhotoFacts ReadFacts(const std::string& path, bool readable, bool withPairs, metadata::TimgData& reader,
                     std::span<const std::string> sidecars) {
    reader.CollectTags = true;
    reader.ReadXmp = true;
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
    std::vector<metadata::XmpFacts> read;
    std::vector<metadata::FileIdentity> seen(sidecars.size());
    read.reserve(sidecars.size());
    for (std::size_t i = 0; i < sidecars.size(); ++i) read.push_back(metadata::ReadXmpSidecar(sidecars[i], &seen[i]));
    PhotoFacts facts = FactsOf(reader, withPairs, read);
    // The sidecars as they were read: the cache keeps their facts under that state.
    facts.SidecarStamp = StampOf(sidecars, seen);
    return facts;
}

PhotoFacts FactsOf(metadata::TimgData& reader, bool withPairs, std::span<const metadata::XmpFacts> sidecars) {
    PhotoFacts facts;
    facts.HasExif = reader.HasExif();
    const std::vector<XmpSource> xmp = XmpSources(reader, sidecars);
    TakeXmp(xmp, facts);
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
    // An editor's lens stands before the maker note's, not before the camera's own LensModel.
    if (lens.Source == LensSource::LensModel || facts.Lens.empty()) facts.Lens = std::move(lens.Text);
    facts.LensRange = lens.Range;
    // A camera's own rating counts when no XMP holds one.
    if (!First(xmp, &metadata::XmpFacts::Rating)) facts.Rating = RatingOf(text(tags::Rating));
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
