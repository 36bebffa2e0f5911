#include "photo_lens.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "metadata/byte_order.h"
#include "metadata/end_ind.h"
#include "metadata/img_data.h"

namespace quorvela::library {

namespace {

constexpr std::uint16_t kLensSpecificationTag = 0xA432;
constexpr std::uint16_t kLensModelTag = 0xA434;
constexpr std::uint16_t kByte = 1;
constexpr std::uint16_t kAscii = 2;
constexpr std::uint16_t kUndefined = 7;
constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kRational = 5;
// The maker-note entries that tell of a lens: Canon's lens model (0x0095) and camera settings
// (0x0001), Nikon's lens information (0x0084).
constexpr std::string_view kCanonLensEntry = "LensModel";
constexpr std::string_view kCanonSettingsEntry = "ExposureInfo1";
constexpr std::string_view kNikonLensEntry = "LensInformation";
// Fields of Canon's camera settings, counted in 16-bit words from the start of the array.
constexpr std::size_t kLongFocalField = 23;
constexpr std::size_t kShortFocalField = 24;
constexpr std::size_t kFocalUnitsField = 25;
// Beyond any lens made: a value above it is damage, not a focal length.
constexpr double kLongestLens = 10000.0;

// A text value up to its first NUL after the text, without blanks around it.
std::string AsciiValue(const metadata::Bytes& bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        // Some notes put NULs before the name in a field of fixed length.
        if (byte == 0 && text.empty()) continue;
        if (byte == 0) break;
        // A line break or other control character would split a path-list line or a label.
        text += byte < 0x20 ? '?' : static_cast<char>(byte);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    const auto first = text.find_first_not_of(" \t");
    text.erase(0, first == std::string::npos ? text.size() : first);
    return text;
}

// A name from an ASCII entry (a maker note's may also be bytes); empty when the entry is no
// text or names nothing: an HP writes its LensModel as the number 1.
std::string LensName(const metadata::TTagEntry& entry) {
    const bool isText =
        entry.ValueType == kAscii || (entry.Group == 1 && (entry.ValueType == kByte || entry.ValueType == kUndefined));
    if (!isText) return {};
    std::string text = AsciiValue(entry.RawBytes);
    return CanNameLens(text) ? text : std::string();
}

// Four unsigned rationals; nullopt when the value holds fewer bytes.
std::optional<std::array<double, 4>> FourRationals(const metadata::TTagEntry& entry, bool bigEndian) {
    if (entry.ValueType != kRational || entry.RawBytes.size() < 32) return std::nullopt;
    std::array<double, 4> values{};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::uint32_t numerator = metadata::LoadU32(&entry.RawBytes[8 * i], bigEndian);
        const std::uint32_t denominator = metadata::LoadU32(&entry.RawBytes[8 * i + 4], bigEndian);
        values[i] = denominator == 0 ? 0.0 : static_cast<double>(numerator) / denominator;
    }
    return values;
}

// A range of lengths and apertures as a lens is described; nothing when the lengths are not
// a range of a real lens. An aperture that is no f-number is unknown.
std::optional<LensSpan> Span(double shortest, double longest, double wide, double narrow) {
    if (!(shortest > 0.0) || !(longest >= shortest) || longest > kLongestLens) return std::nullopt;
    const auto fNumber = [](double value) { return value >= 0.5 && value < 100.0 ? value : 0.0; };
    return LensSpan{shortest, longest, fNumber(wide), fNumber(narrow)};
}

std::optional<LensSpan> SpanOfRationals(const metadata::TTagEntry& entry, bool bigEndian) {
    // A maker note may keep its own byte order: numbers that are no lens in the file's order
    // are read in the other.
    for (const bool order : {bigEndian, !bigEndian}) {
        const auto values = FourRationals(entry, order);
        if (!values) return std::nullopt;
        if (auto span = Span((*values)[0], (*values)[1], (*values)[2], (*values)[3])) return span;
    }
    return std::nullopt;
}

// Canon's camera settings: the zoom range in focal units per millimetre (0 meaning 1).
std::optional<LensSpan> SpanOfCanonSettings(const metadata::TTagEntry& entry, bool bigEndian) {
    if (entry.ValueType != kShort || entry.RawBytes.size() < 2 * (kFocalUnitsField + 1)) return std::nullopt;
    const auto word = [&](std::size_t field) { return metadata::LoadU16(&entry.RawBytes[2 * field], bigEndian); };
    const double units = word(kFocalUnitsField) == 0 ? 1.0 : word(kFocalUnitsField);
    return Span(word(kShortFocalField) / units, word(kLongFocalField) / units, 0.0, 0.0);
}

// Adds what a list of entries tells of the lens to `found`: a name, then a range, each only
// when `found` has none, each from the first source in the order of LensSource and RangeSource.
void TakeEntries(std::span<const metadata::TTagEntry> entries, bool bigEndian, LensFinding& found) {
    std::string canonName;
    std::array<std::optional<LensSpan>, 3> spans;  // by RangeSource
    for (const metadata::TTagEntry& entry : entries) {
        if (entry.Group == 0 && entry.TagId == kLensModelTag) {
            if (found.Source == LensSource::None) {
                if (std::string text = LensName(entry); !text.empty()) {
                    found.Text = std::move(text);
                    found.Source = LensSource::LensModel;
                }
            }
        } else if (entry.Group == 0 && entry.TagId == kLensSpecificationTag) {
            if (!spans[1]) spans[1] = SpanOfRationals(entry, bigEndian);
        } else if (entry.Group != 1) {
            continue;
        } else if (canonName.empty() && entry.TagName == kCanonLensEntry) {
            canonName = LensName(entry);
        } else if (!spans[0] && entry.TagName == kNikonLensEntry) {
            spans[0] = SpanOfRationals(entry, bigEndian);
        } else if (!spans[2] && entry.TagName == kCanonSettingsEntry) {
            spans[2] = SpanOfCanonSettings(entry, bigEndian);
        }
    }
    if (found.Source == LensSource::None && !canonName.empty()) {
        found.Text = std::move(canonName);
        found.Source = LensSource::CanonNote;
    }
    for (std::size_t i = 0; i < spans.size() && found.From == RangeSource::None; ++i) {
        if (!spans[i]) continue;
        found.Range = *spans[i];
        found.From = static_cast<RangeSource>(i);
    }
}

}  // namespace

bool CanNameLens(std::string_view text) {
    for (const char c : text) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    }
    return false;
}

LensFinding FindLens(const metadata::TimgData& reader) {
    LensFinding found;
    if (!reader.HasExif()) return found;
    const metadata::TImageInfo& exif = *reader.ExifDirectory;
    TakeEntries(exif.Tags, exif.BigEndian, found);
    return found;
}

LensFinding CompleteFromDeferredNote(metadata::TImageInfo& exif, LensFinding found) {
    static constexpr std::array<std::string_view, 3> kNames = {kCanonLensEntry, kCanonSettingsEntry, kNikonLensEntry};
    const std::vector<metadata::TTagEntry> entries = exif.PendingMakerNoteEntries(kNames);
    TakeEntries(entries, exif.BigEndian, found);
    return found;
}

}  // namespace quorvela::library
