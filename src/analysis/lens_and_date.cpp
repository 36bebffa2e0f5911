#include "lens_and_date.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "metadata/img_data.h"
#include "metadata/makernotes/tables.h"
#include "metadata/tag_names.h"

namespace quorvela::analysis {

namespace {

constexpr std::uint16_t kLensModelTag = 0xA434;
// The maker-note entries that name a lens: Canon's 0x0095 and Nikon's 0x0084.
constexpr std::string_view kCanonLensEntry = "LensModel";
constexpr std::string_view kNikonLensEntry = "LensInformation";

bool HasExif(const metadata::TimgData& reader) {
    return reader.HasAnyMetadata() && reader.HasExifBlock() && reader.ExifDirectory != nullptr;
}

// An ASCII value up to its first NUL, without trailing blanks.
std::string AsciiValue(const metadata::Bytes& bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        if (byte == 0) break;
        // A line break or other control character would split a path-list line or a label.
        text += byte < 0x20 ? '?' : static_cast<char>(byte);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    return text;
}

std::uint32_t Unsigned32(const metadata::Bytes& bytes, std::size_t at, bool bigEndian) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t index = bigEndian ? at + i : at + 3 - i;
        value = (value << 8) | bytes[index];
    }
    return value;
}

// Four unsigned rationals; nullopt when the value holds fewer bytes.
std::optional<std::array<double, 4>> FourRationals(const metadata::TTagEntry& entry, bool bigEndian) {
    constexpr std::uint16_t kRational = 5;
    if (entry.ValueType != kRational || entry.RawBytes.size() < 32) return std::nullopt;
    std::array<double, 4> values{};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::uint32_t numerator = Unsigned32(entry.RawBytes, 8 * i, bigEndian);
        const std::uint32_t denominator = Unsigned32(entry.RawBytes, 8 * i + 4, bigEndian);
        values[i] = denominator == 0 ? 0.0 : static_cast<double>(numerator) / denominator;
    }
    return values;
}

bool DigitsAt(std::string_view text, std::size_t at, std::size_t count, int& value) {
    if (at + count > text.size()) return false;
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

std::optional<CalendarDay> CheckedDay(int year, int month, int day) {
    constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1) return std::nullopt;
    const int last = kDays[static_cast<std::size_t>(month - 1)] + (month == 2 && IsLeapYear(year) ? 1 : 0);
    if (day > last) return std::nullopt;
    return CalendarDay{year, month, day};
}

// "YYYY?MM?DD" with `separator` for "?".
std::optional<CalendarDay> DayWith(std::string_view text, char separator) {
    int year = 0;
    int month = 0;
    int day = 0;
    if (text.size() < 10 || text[4] != separator || text[7] != separator) return std::nullopt;
    if (!DigitsAt(text, 0, 4, year) || !DigitsAt(text, 5, 2, month) || !DigitsAt(text, 8, 2, day)) return std::nullopt;
    return CheckedDay(year, month, day);
}

}  // namespace

namespace {

// The lens of a list of entries, first that applies: a non-empty LensModel of the EXIF, then
// the first non-empty Canon note model, then the first Nikon note information with a name.
LensFinding LensOfEntries(std::span<const metadata::TTagEntry> entries, bool bigEndian) {
    std::string canon;
    std::string nikon;
    for (const metadata::TTagEntry& entry : entries) {
        if (entry.Group == 0 && entry.TagId == kLensModelTag) {
            if (std::string text = AsciiValue(entry.RawBytes); !text.empty()) {
                return {std::move(text), LensSource::LensModel};
            }
        } else if (entry.Group == 1 && canon.empty() && entry.TagName == kCanonLensEntry) {
            canon = AsciiValue(entry.RawBytes);
        } else if (entry.Group == 1 && nikon.empty() && entry.TagName == kNikonLensEntry) {
            if (const auto values = FourRationals(entry, bigEndian)) {
                nikon = metadata::NikonLensName((*values)[0], (*values)[1], (*values)[2], (*values)[3]);
            }
        }
    }
    if (!canon.empty()) return {std::move(canon), LensSource::CanonNote};
    if (!nikon.empty()) return {std::move(nikon), LensSource::NikonNote};
    return {std::string(kUnknownLens), LensSource::None};
}

}  // namespace

LensFinding FindLens(const metadata::TimgData& reader) {
    if (!HasExif(reader)) return {std::string(kUnknownLens), LensSource::None};
    const metadata::TImageInfo& exif = *reader.ExifDirectory;
    return LensOfEntries(exif.Tags, exif.BigEndian);
}

LensFinding FindLensInDeferredNote(metadata::TImageInfo& exif) {
    static constexpr std::array<std::string_view, 2> kNames = {kCanonLensEntry, kNikonLensEntry};
    const std::vector<metadata::TTagEntry> entries = exif.PendingMakerNoteEntries(kNames);
    return LensOfEntries(entries, exif.BigEndian);
}

std::optional<CalendarDay> ParseDay(std::string_view text) {
    if (text.size() != 10) return std::nullopt;
    return DayWith(text, '-');
}

std::optional<CalendarDay> ParseExifDay(std::string_view text) {
    while (!text.empty() && (text.back() == '\0' || text.back() == ' ')) text.remove_suffix(1);
    const auto day = DayWith(text, ':');
    if (!day || text.size() == 10) return day;
    int hour = 0;
    int minute = 0;
    int second = 0;
    // The time part: " HH:MM:SS", a second of 60 for a leap second.
    if (text.size() < 19 || text[10] != ' ' || text[13] != ':' || text[16] != ':') return std::nullopt;
    if (!DigitsAt(text, 11, 2, hour) || !DigitsAt(text, 14, 2, minute) || !DigitsAt(text, 17, 2, second)) {
        return std::nullopt;
    }
    if (hour > 23 || minute > 59 || second > 60) return std::nullopt;
    return day;
}

std::optional<CalendarDay> DateTaken(const metadata::TimgData& reader) {
    if (!HasExif(reader)) return std::nullopt;
    return ParseExifDay(reader.ExifDirectory->TagTextByName(metadata::tags::DateTimeOriginal));
}

}  // namespace quorvela::analysis
