#include "focal_length.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

#include "common/ascii.h"
#include "common/number_format.h"
#include "metadata/img_data.h"
#include "metadata/tag_names.h"

namespace quorvela::equivalence {

using common::UpperAscii;

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// equivalent / real x focal, carried in extended precision and rounded once to double.
std::optional<double> Scale(double equivalent, double real, double focal) {
    if (real == 0.0) return std::nullopt;
    const long double wide =
        static_cast<long double>(equivalent) / static_cast<long double>(real) * static_cast<long double>(focal);
    const auto value = static_cast<double>(wide);
    // A negative length is no length; its digits would otherwise be counted as a positive one.
    if (!std::isfinite(value) || value < 0.0) return std::nullopt;
    // A zero over a negative length comes out as -0, whose text "-0.00" would not read as the
    // zero that means "no length".
    return value == 0.0 ? 0.0 : value;
}

}  // namespace

std::string FixDecimalSeparator(std::string_view text, char decimalSeparator) {
    std::string out(text);
    for (char& c : out) {
        if (c == '.' || c == ',') c = decimalSeparator;
    }
    return out;
}

std::optional<double> ParseDecimal(std::string_view text, char decimalSeparator) {
    std::string plain = FixDecimalSeparator(common::Trim(text), decimalSeparator);
    for (char& c : plain) {
        if (c == decimalSeparator) c = '.';
    }
    if (plain.empty()) return std::nullopt;
    std::size_t start = 0;
    if (plain[0] == '+' || plain[0] == '-') start = 1;
    // Only plain decimal numbers: from_chars would also take "inf", "nan" and exponents.
    for (std::size_t i = start; i < plain.size(); ++i) {
        if (!IsDigit(plain[i]) && plain[i] != '.') return std::nullopt;
    }
    if (plain[0] == '+') plain.erase(0, 1);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ec != std::errc{} || end != plain.data() + plain.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string FocalDigits(std::string_view focalText, char decimalSeparator) {
    std::string out;
    for (const char c : focalText) {
        if (IsDigit(c) || c == decimalSeparator) out += c;
    }
    return out;
}

std::string LengthText(double value, char decimalSeparator) {
    if (!std::isfinite(value)) return {};
    const double magnitude = std::fabs(value);
    int decimals = 2;
    if (magnitude >= 100.0) {
        // Four significant digits is coarser than two decimals from three whole digits on.
        const int whole = static_cast<int>(std::floor(std::log10(magnitude))) + 1;
        decimals = 4 - whole;
    }
    try {
        if (decimals >= 0) {
            std::string text = common::FormatFixed(value, decimals, 0, decimalSeparator);
            if (decimals == 0) text += decimalSeparator;
            text.append(static_cast<std::size_t>(2 - decimals), '0');
            return text;
        }
        // Five or more whole digits: round to four significant digits, still written fixed.
        char buffer[64];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 3);
        double rounded = 0.0;
        std::from_chars(buffer, r.ptr, rounded);
        return common::FormatFixed(rounded, 2, 0, decimalSeparator);
    } catch (const std::domain_error&) {
        return {};
    }
}

std::string EquivalentfromDataBase(std::string_view focalText, std::string_view makeText, std::string_view modelText,
                                   const EquivalentList& list, char decimalSeparator) {
    const std::string digits = FocalDigits(focalText, decimalSeparator);
    if (digits.empty()) return {};
    const std::string model = UpperAscii(common::RemoveChar(modelText, ' '));
    const std::string make = UpperAscii(makeText);
    const std::optional<double> focal = ParseDecimal(digits, decimalSeparator);

    std::string result;
    for (const EquivalentEntry& entry : list) {
        if (!entry.HasModel()) continue;
        if (entry.Make().empty() || make.find(entry.Make()) == std::string::npos) continue;
        if (entry.Model() != model) continue;
        const auto real = ParseDecimal(entry.RealLens(), decimalSeparator);
        const auto equivalent = ParseDecimal(entry.Equivalent(), decimalSeparator);
        if (!focal || !real || !equivalent) continue;
        const auto value = Scale(*equivalent, *real, *focal);
        if (!value) continue;
        // No early exit: a later applying entry overrides an earlier one.
        if (std::string text = LengthText(*value, decimalSeparator); !text.empty()) result = std::move(text);
    }
    return result;
}

std::string CalculateFromFactor(std::string_view focalText, std::string_view edit1, std::string_view edit2,
                                char decimalSeparator) {
    std::string digits = FocalDigits(focalText, decimalSeparator);
    if (digits.empty()) return {};
    const auto real = ParseDecimal(edit1, decimalSeparator);
    const auto equivalent = ParseDecimal(edit2, decimalSeparator);
    const auto focal = ParseDecimal(digits, decimalSeparator);
    if (!real || !equivalent || !focal) return digits;
    const auto value = Scale(*equivalent, *real, *focal);
    if (!value) return digits;
    std::string text = LengthText(*value, decimalSeparator);
    return text.empty() ? digits : text;
}

std::string Get35mmLens(const metadata::TimgData& reader, const LensSettings& lens, const EquivalentList& list) {
    if (!reader.HasExif()) return {};
    const metadata::TImageInfo& exif = *reader.ExifDirectory;
    const std::string own = exif.TagTextByName(metadata::tags::FocalLengthIn35mmFilm);
    const std::string focal = exif.TagTextByName(metadata::tags::FocalLength);
    const std::string make = exif.TagTextByName(metadata::tags::Make);
    const std::string model = exif.TagTextByName(metadata::tags::Model);
    return Get35mmLens(LensTexts{own, focal, make, model}, lens, list, reader.DecimalSeparator);
}

std::string Get35mmLens(const LensTexts& texts, const LensSettings& lens, const EquivalentList& list,
                        char decimalSeparator) {
    const bool calculateOnly = lens.RealLength || lens.AlwaysCalculate;
    const std::string edit1 = lens.RealLength ? "1" : lens.Edit1;
    const std::string edit2 = lens.RealLength ? "1" : lens.Edit2;
    // A stored or derived zero means "unknown", not a 0 mm lens.
    if (!calculateOnly && !texts.Own35mm.empty() && !common::IsZeroLengthText(texts.Own35mm))
        return std::string(texts.Own35mm);
    std::string result;
    if (!calculateOnly) result = EquivalentfromDataBase(texts.Focal, texts.Make, texts.Model, list, decimalSeparator);
    if (result.empty()) result = CalculateFromFactor(texts.Focal, edit1, edit2, decimalSeparator);
    // A lens of 0 mm is the camera saying "unknown", whichever source the zero came from.
    return common::IsZeroLengthText(result) ? std::string() : result;
}

namespace {

// The sensor's crop factor, best evidence first. A database value agrees with what the photo
// itself says or is the only answer; a focal-plane value the database contradicts is not used.
std::optional<double> SensorCrop(const LensFacts& facts, const CropFactorSource* database) {
    if (facts.NoteCrop > 0.0) return facts.NoteCrop;
    if (database != nullptr) {
        const auto crop =
            database->CropFactor(common::Trim(facts.Make), common::Trim(facts.Model), facts.Aspect, facts.PlaneCrop);
        if (crop) return crop;
    }
    if (facts.PlaneCrop > 0.0) return facts.PlaneCrop;
    return std::nullopt;
}

}  // namespace

LensLength ChooseLength(const LensFacts& facts, const LensSettings& lens, const EquivalentList& list,
                        const CropFactorSource* database, char decimalSeparator) {
    const bool calculateOnly = lens.RealLength || lens.AlwaysCalculate;
    if (calculateOnly) {
        LensTexts texts{{}, facts.Focal, facts.Make, facts.Model};
        return {Get35mmLens(texts, lens, list, decimalSeparator), EquivalentSource::Manual};
    }
    // A stored zero means "unknown", not a 0 mm lens.
    if (!facts.Stored35mm.empty() && !common::IsZeroLengthText(facts.Stored35mm)) {
        return {std::string(facts.Stored35mm), EquivalentSource::Stored};
    }
    const auto nonZero = [](const std::string& text) { return common::IsZeroLengthText(text) ? std::string() : text; };
    if (std::string text = EquivalentfromDataBase(facts.Focal, facts.Make, facts.Model, list, decimalSeparator);
        !text.empty()) {
        return {nonZero(text), EquivalentSource::Table};
    }
    const std::string digits = FocalDigits(facts.Focal, decimalSeparator);
    const std::optional<double> focal = digits.empty() ? std::nullopt : ParseDecimal(digits, decimalSeparator);
    if (focal && *focal > 0.0) {
        if (const std::optional<double> crop = SensorCrop(facts, database)) {
            if (std::string text = LengthText(*focal * *crop, decimalSeparator); !text.empty()) {
                return {nonZero(text), EquivalentSource::Sensor};
            }
        }
    }
    return {nonZero(CalculateFromFactor(facts.Focal, lens.Edit1, lens.Edit2, decimalSeparator)),
            EquivalentSource::Manual};
}

}  // namespace quorvela::equivalence
