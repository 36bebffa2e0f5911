#include "photo_facts.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>

#include "common/ascii.h"
#include "common/code_page.h"
#include "common/number_format.h"
#include "equivalence/camera_database.h"
#include "equivalence/focal_length.h"
#include "file_analysis.h"
#include "file_values.h"
#include "filter.h"
#include "lens_and_date.h"
#include "metadata/img_data.h"
#include "metadata/photo_format.h"
#include "metadata/sensor_size.h"
#include "metadata/tag_names.h"
#include "path_lines.h"

namespace quorvela::analysis {

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
                                           metadata::kSensorWidthName,
                                           metadata::kSensorHeightName};

const metadata::TagNameFilter& FactEntries() {
    static const metadata::TagNameFilter filter(kFactNames);
    return filter;
}

bool HasExif(const metadata::TimgData& reader) {
    return reader.HasAnyMetadata() && reader.HasExifBlock() && reader.ExifDirectory != nullptr;
}

// The reading's queries (file_values, filter, path_lines) answered from facts.

// An EXIF ISO that is a setting: some cameras store 0 (or nothing) and keep the real one in
// their maker note.
bool StoredIso(const std::string& text) {
    const auto value = common::ParseInteger(text);
    return value && *value > 0;
}

std::int64_t IsoValue(const PhotoFacts& facts) {
    if (!facts.HasExif) return 0;
    const std::string& text = StoredIso(facts.Iso) ? facts.Iso : facts.MakerNoteIso;
    const auto value = common::ParseInteger(text);
    // A list of values, or a number beyond a 32-bit integer, is no ISO setting.
    if (!value || *value > INT32_MAX || *value < INT32_MIN) return 0;
    return *value;
}

std::string ApertureText(const PhotoFacts& facts) {
    return !facts.HasExif || facts.FNumber.empty() ? "n/a" : facts.FNumber;
}

std::string ExposureText(const PhotoFacts& facts) {
    if (!facts.HasExif) return "n/a";
    if (!facts.ExposureTime.empty()) return facts.ExposureTime;
    return facts.ShutterSpeedValue.empty() ? "n/a" : facts.ShutterSpeedValue;
}

std::string MakeModel(const PhotoFacts& facts) {
    if (!facts.HasExif || (facts.Make.empty() && facts.Model.empty())) return {};
    std::string text;
    text.reserve(20 + facts.Make.size() + facts.Model.size());
    text += " - ";
    if (!facts.Make.empty()) (text += "Make: ") += facts.Make;
    if (!facts.Model.empty()) (text += " - Model: ") += facts.Model;
    return common::Cp1252ToUtf8(text);
}

std::string MakerNotesText(const PhotoFacts& facts, bool addMakerNotes) {
    if (!addMakerNotes || !facts.HasExif || !facts.MakerNoteDecoded) return {};
    std::string text = " - Maker Notes --> ";
    for (const auto& [description, value] : facts.MakerNotePairs) {
        text += " Label: " + common::UpperAscii(description) + " Data: " + common::UpperAscii(value) + " - ";
    }
    return common::Cp1252ToUtf8(text);
}

std::string DebugText(const PhotoFacts& facts) {
    if (!facts.HasExif) return {};
    std::string text = facts.FocalLength35;
    if (text.empty()) text = "(real length)" + facts.FocalLength;
    if (text.find("mm") == std::string::npos) text += " mm";
    return common::Cp1252ToUtf8(text);
}

// The camera database, read the first time a photo needs it: a run whose photos all carry
// their 35mm value or a table entry never reads it.
class LazyCameraDatabase final : public equivalence::CropFactorSource {
  public:
    [[nodiscard]] std::optional<double> CropFactor(std::string_view make, std::string_view model, double aspect,
                                                   double planeCrop) const override {
        return equivalence::CameraDatabase::Shared().CropFactor(make, model, aspect, planeCrop);
    }
};

equivalence::LensLength LensLength(const PhotoFacts& facts, const equivalence::LensSettings& lens,
                                   const equivalence::EquivalentList& table, char separator,
                                   const equivalence::CropFactorSource* cameras) {
    if (!facts.HasExif) return {};
    static const LazyCameraDatabase lazy;
    const equivalence::LensFacts lensFacts{facts.FocalLength35, facts.FocalLength, facts.Make,  facts.Model,
                                           facts.NoteCrop,      facts.PlaneCrop,   facts.Aspect};
    return equivalence::ChooseLength(lensFacts, lens, table, cameras != nullptr ? cameras : &lazy, separator);
}

// Whether the file's own 35mm entry was stored, not derived by the reader.
bool Stored35mm(const metadata::TImageInfo& exif) {
    const int index = exif.TagIndexByName(tags::FocalLengthIn35mmFilm);
    return index >= 0 && !exif.Tags[static_cast<std::size_t>(index)].RawBytes.empty();
}

}  // namespace

bool NeedsMakerNotePairs(const AnalysisSettings& settings) {
    const bool noteFilter =
        settings.FilterOn && !settings.Filter.MakerNoteLabel.empty() && !settings.Filter.MakerNoteData.empty();
    const bool noteLines = settings.AddMakerNotes && settings.PathList != PathListQuantity::None;
    return noteFilter || noteLines;
}

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
    facts.HasExif = HasExif(reader);
    // A file without EXIF has nothing more to give: its facts are complete for every run.
    facts.HasMakerNotePairs = !facts.HasExif || withPairs;
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
    if (facts.FocalLength35.empty() || equivalence::IsZeroLengthText(facts.FocalLength35)) {
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
    // Only Canon's and Nikon's notes name a lens, in one entry: the note stays undecoded.
    if (lens.Source == LensSource::None &&
        (make.find("CANON") != std::string::npos || make.find("NIKON") != std::string::npos)) {
        lens = FindLensInDeferredNote(exif);
    }
    facts.Lens = std::move(lens.Text);
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

FileResult DeriveResult(const PhotoFacts& facts, const std::string& path, const AnalysisSettings& settings,
                        const equivalence::EquivalentList& table, char decimalSeparator, bool keepRecord,
                        const equivalence::CropFactorSource* cameras) {
    FileResult result;
    if (settings.FilterOn) {
        if (const FilterVerdict verdict = JudgeFacts(facts, settings.Filter); verdict != FilterVerdict::Passed) {
            result.Passed = false;
            result.Undated = verdict == FilterVerdict::Undated;
            return result;
        }
    }
    result.Lens = common::Cp1252ToUtf8(LensOf(facts));
    if (keepRecord) {
        result.Path = path;
        result.MakeModel = MakeModel(facts);
        result.MakerNotes = MakerNotesText(facts, settings.AddMakerNotes);
        result.DebugInfo = DebugText(facts);
    }
    const PathListQuantity shown = settings.PathList;
    // The path-list pieces are made only for the files that get a line.
    auto line = [&](auto&& build) {
        result.PathLine = build(MakeModel(facts), MakerNotesText(facts, settings.AddMakerNotes));
        result.LinePath = path;
    };
    const equivalence::LensLength length = LensLength(facts, settings.Lens, table, decimalSeparator, cameras);
    const std::string& lengthText = length.Text;

    if (const std::int64_t iso = IsoValue(facts); iso != 0) {
        const std::string digits = std::to_string(iso);
        result.Iso = LeftFill(digits, 6);
        if (shown == PathListQuantity::Iso) {
            line([&](const std::string& mm, const std::string& mn) { return IsoLine(digits, path, mm, mn); });
        }
    }
    if (const std::string fNumber = ApertureText(facts); fNumber != "n/a") {
        result.Aperture = LeftFill(fNumber, 6);
        if (shown == PathListQuantity::Aperture) {
            line([&](const std::string& mm, const std::string& mn) { return ApertureLine(fNumber, path, mm, mn); });
        }
    }
    const double seconds = ExposureSeconds(ExposureText(facts), decimalSeparator);
    if (std::string shutter = ShutterCategory(seconds, settings.FractionShutter, decimalSeparator); !shutter.empty()) {
        result.Shutter = std::move(shutter);
        if (shown == PathListQuantity::Shutter) {
            line([&](const std::string& mm, const std::string& mn) {
                return ShutterLine(result.Shutter, path, mm, mn);
            });
        }
    }
    if (shown == PathListQuantity::Lens) {
        line([&](const std::string& mm, const std::string& mn) { return LensLine(result.Lens, path, mm, mn); });
    }
    if (!lengthText.empty()) {
        result.Analysed = true;
        result.Source = length.Source;
        // Outside the 35mm-equivalent mode the factor is the user's choice, not a guess.
        const bool equivalentMode = !settings.Lens.RealLength && !settings.Lens.AlwaysCalculate;
        if (equivalentMode && length.Source == equivalence::EquivalentSource::Manual) {
            result.Estimated = true;
            result.Make = common::Trim(facts.Make);
            result.Model = common::Trim(facts.Model);
        }
        result.FocalMm = RoundFocalLength(lengthText);
        result.Focal = FocalCategory(lengthText, settings.UseSteps, settings.StepSize, settings.IgnoreUpTo);
        if (!result.Focal.empty() && shown == PathListQuantity::FocalLength) {
            line([&](const std::string& mm, const std::string& mn) {
                return settings.UseSteps ? FocalLineStepped(result.Focal, DebugText(facts), path, mm, mn)
                                         : FocalLine(result.Focal, path, mm, mn);
            });
        }
    }
    return result;
}

namespace {

// The layout: a flags byte, the texts in declaration order, the sensor's numbers (8 bytes
// each, little-endian IEEE), the pair count and the pairs, each text a 4-byte little-endian
// length and its bytes.
constexpr std::uint8_t kHasExif = 1;
constexpr std::uint8_t kHasPairs = 2;
constexpr std::uint8_t kNoteDecoded = 4;

template <typename Facts>
auto Texts(Facts& f) {
    return std::array{&f.Make,         &f.Model,   &f.FocalLength,  &f.FocalLength35,     &f.Iso,
                      &f.MakerNoteIso, &f.FNumber, &f.ExposureTime, &f.ShutterSpeedValue, &f.Lens,
                      &f.DateTaken,    &f.Format};
}

void PutNumber(std::string& out, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i) out += static_cast<char>((bits >> (8 * i)) & 0xFFU);
}

bool TakeNumber(std::string_view& in, double& value) {
    if (in.size() < 8) return false;
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= std::uint64_t{static_cast<unsigned char>(in[static_cast<std::size_t>(i)])} << (8 * i);
    in.remove_prefix(8);
    value = std::bit_cast<double>(bits);
    // A factor is a positive number or 0; anything else is damage.
    return std::isfinite(value) && value >= 0.0;
}

template <typename Facts>
auto Numbers(Facts& f) {
    return std::array{&f.NoteCrop, &f.PlaneCrop, &f.Aspect};
}

void PutLength(std::string& out, std::size_t n) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((n >> (8 * i)) & 0xFFU);
}

void PutText(std::string& out, std::string_view text) {
    PutLength(out, text.size());
    out += text;
}

// Reads from the front of `in`; false when it is too short.
bool TakeLength(std::string_view& in, std::size_t& n) {
    if (in.size() < 4) return false;
    n = 0;
    for (int i = 0; i < 4; ++i)
        n |= std::size_t{static_cast<unsigned char>(in[static_cast<std::size_t>(i)])} << (8 * i);
    in.remove_prefix(4);
    return true;
}

bool TakeText(std::string_view& in, std::string& text) {
    std::size_t n = 0;
    if (!TakeLength(in, n) || n > in.size()) return false;
    text.assign(in.substr(0, n));
    in.remove_prefix(n);
    return true;
}

}  // namespace

std::string EncodeFacts(const PhotoFacts& facts) {
    std::string out;
    std::uint8_t flags = 0;
    if (facts.HasExif) flags |= kHasExif;
    if (facts.HasMakerNotePairs) flags |= kHasPairs;
    if (facts.MakerNoteDecoded) flags |= kNoteDecoded;
    out += static_cast<char>(flags);
    for (const std::string* text : Texts(facts)) PutText(out, *text);
    for (const double* number : Numbers(facts)) PutNumber(out, *number);
    PutLength(out, facts.MakerNotePairs.size());
    for (const auto& [description, value] : facts.MakerNotePairs) {
        PutText(out, description);
        PutText(out, value);
    }
    return out;
}

std::optional<PhotoFacts> DecodeFacts(std::string_view bytes) {
    if (bytes.empty()) return std::nullopt;
    PhotoFacts facts;
    const auto flags = static_cast<std::uint8_t>(bytes.front());
    if ((flags & ~(kHasExif | kHasPairs | kNoteDecoded)) != 0) return std::nullopt;
    bytes.remove_prefix(1);
    facts.HasExif = (flags & kHasExif) != 0;
    facts.HasMakerNotePairs = (flags & kHasPairs) != 0;
    facts.MakerNoteDecoded = (flags & kNoteDecoded) != 0;
    for (std::string* text : Texts(facts)) {
        if (!TakeText(bytes, *text)) return std::nullopt;
    }
    for (double* number : Numbers(facts)) {
        if (!TakeNumber(bytes, *number)) return std::nullopt;
    }
    std::size_t pairs = 0;
    // Each pair takes at least eight bytes: a count beyond that is damage, not a note.
    if (!TakeLength(bytes, pairs) || pairs > bytes.size() / 8) return std::nullopt;
    facts.MakerNotePairs.resize(pairs);
    for (auto& [description, value] : facts.MakerNotePairs) {
        if (!TakeText(bytes, description) || !TakeText(bytes, value)) return std::nullopt;
    }
    if (!bytes.empty()) return std::nullopt;
    return facts;
}

}  // namespace quorvela::analysis
