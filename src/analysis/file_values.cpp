#include "file_values.h"

#include <charconv>
#include <cmath>
#include <exception>

#include "common/ascii.h"
#include "common/number_format.h"
#include "metadata/img_data.h"
#include "metadata/tag_names.h"
#include "metadata/value_render.h"

namespace quorvela::analysis {

using metadata::TImageInfo;
using metadata::TimgData;

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool HasExif(const TimgData& reader) {
    return reader.HasAnyMetadata() && reader.HasExifBlock() && reader.ExifDirectory != nullptr;
}

}  // namespace

std::string LeftFill(std::string_view text, std::size_t n, char fill) {
    if (text.size() >= n) return std::string(text);
    return std::string(n - text.size(), fill) + std::string(text);
}

std::int64_t RoundFocalLength(std::string_view text) {
    std::int64_t value = 0;
    bool any = false;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' || c == ',') break;
        if (!IsDigit(c)) continue;
        if (value > 1'000'000'000'000LL) return -1;  // no lens is that long
        value = value * 10 + (c - '0');
        any = true;
    }
    if (!any) return -1;
    if (i + 1 < text.size() && text[i + 1] >= '5' && text[i + 1] <= '9') ++value;
    return value;
}

std::optional<std::int64_t> StepFocalLength(std::int64_t n, int stepSize, int ignoreUpTo) {
    if (ignoreUpTo > 0 && n <= ignoreUpTo) return n;
    if (stepSize < 1 || n < 0 || n > std::int64_t{stepSize} * 10000) return std::nullopt;
    const std::int64_t lower = n / stepSize * stepSize;
    if (lower == n) return n;  // on a range boundary
    const std::int64_t upper = lower + stepSize;
    return upper - n > n - lower ? lower : upper;
}

std::string FocalCategory(std::string_view lengthText, bool useSteps, int stepSize, int ignoreUpTo) {
    const std::int64_t n = RoundFocalLength(lengthText);
    // A text without digits has no category: counting it at -1 mm would invent a length.
    if (n < 0) return {};
    std::int64_t k = n;
    if (useSteps) {
        const auto stepped = StepFocalLength(n, stepSize, ignoreUpTo);
        if (!stepped) return {};
        k = *stepped;
    }
    return LeftFill(std::to_string(k), 5);
}

std::string IsoDigits(std::string_view text) {
    if (const auto comma = text.find(','); comma != std::string_view::npos) text = text.substr(comma);
    std::string digits;
    for (const char c : text) {
        if (IsDigit(c)) digits += c;
    }
    return digits.empty() ? "0" : digits;
}

std::string IsoFromMakerNotes(TImageInfo& exif) {
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

std::int64_t GetIsoValue(const TimgData& reader) {
    if (!HasExif(reader)) return 0;
    TImageInfo& exif = *reader.ExifDirectory;
    std::string text = exif.TagTextByName(metadata::tags::ISOSpeedRatings);
    if (text.empty()) text = IsoFromMakerNotes(exif);
    const auto value = common::ParseInteger(text);
    // A list of values, or a number beyond a 32-bit integer, is no ISO setting.
    if (!value || *value > INT32_MAX || *value < INT32_MIN) return 0;
    return *value;
}

std::string GetApertureText(const TimgData& reader) {
    if (!HasExif(reader)) return "n/a";
    std::string text = reader.ExifDirectory->TagTextByName(metadata::tags::FNumber);
    return text.empty() ? "n/a" : text;
}

std::string GetExposureText(const TimgData& reader) {
    if (!HasExif(reader)) return "n/a";
    std::string text = reader.ExifDirectory->TagTextByName(metadata::tags::ExposureTime);
    if (text.empty()) text = reader.ExifDirectory->TagTextByName(metadata::tags::ShutterSpeedValue);
    return text.empty() ? "n/a" : text;
}

double ExposureSeconds(std::string_view text, char decimalSeparator) {
    if (text.find(decimalSeparator) != std::string_view::npos) {
        std::string number;
        bool separatorSeen = false;
        for (const char c : text) {
            if (c == ' ' && separatorSeen) break;
            if (c == decimalSeparator) {
                separatorSeen = true;
                number += '.';
            } else if (IsDigit(c)) {
                number += c;
            }
        }
        double value = -1.0;
        const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
        if (number.empty() || ec != std::errc{} || end != number.data() + number.size()) return -1.0;
        return std::isfinite(value) ? value : -1.0;
    }
    const auto slash = text.find('/');
    if (slash == std::string_view::npos) return -1.0;
    const std::int64_t denominator = metadata::LeadingDigits(text.substr(slash + 1), decimalSeparator);
    const std::int64_t numerator = metadata::LeadingDigits(text.substr(0, slash), decimalSeparator);
    if (denominator <= 0 || numerator < 0) return -1.0;
    return static_cast<double>(numerator) / static_cast<double>(denominator);
}

std::string ShutterCategory(double seconds, bool fractionFormat, char decimalSeparator) {
    if (!(seconds > 0.0) || !std::isfinite(seconds)) return {};
    try {
        if (fractionFormat) {
            const auto whole = common::RoundHalfEven(seconds < 1.0 ? 1.0 / seconds : seconds);
            if (!whole) return {};
            return (seconds < 1.0 ? "1/" : "") + std::to_string(*whole);
        }
        // Ties go to even on v x 10000 itself: 1/160 s is 0.0062, not printf's 0.0063.
        const auto tenThousandths = common::RoundHalfEven(seconds * 10000.0);
        if (!tenThousandths) return {};
        return common::FormatGeneral(static_cast<double>(*tenThousandths) / 10000.0, decimalSeparator);
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace quorvela::analysis
