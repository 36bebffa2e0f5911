#include "sensor_size.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "common/ascii.h"
#include "image_info.h"
#include "tag_names.h"

namespace quorvela::metadata {
namespace {

constexpr double kFilmDiagonal = 43.26661531;  // mm, of a 36 x 24 mm frame
// The range of real cameras: medium format backs near 0.5, the smallest compact and phone
// sensors near 15. A factor beyond it comes from a resized or damaged file.
constexpr double kSmallestCropFactor = 0.5;
constexpr double kLargestCropFactor = 15.0;

struct Rational {
    std::uint32_t Numerator = 0;
    std::uint32_t Denominator = 0;
};

std::uint32_t Word(const Bytes& bytes, std::size_t at, bool bigEndian) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::uint32_t byte = bytes[at + i];
        value |= bigEndian ? byte << (8 * (3 - i)) : byte << (8 * i);
    }
    return value;
}

// The first unsigned rational of the entry, as stored (never reduced).
Rational StoredRational(const TImageInfo& exif, std::string_view name) {
    const int index = exif.TagIndexByName(name);
    if (index < 0) return {};
    const TTagEntry& entry = exif.Tags[static_cast<std::size_t>(index)];
    if (entry.ValueType != 5 || entry.RawBytes.size() < 8) return {};
    return {Word(entry.RawBytes, 0, exif.BigEndian), Word(entry.RawBytes, 4, exif.BigEndian)};
}

bool Plausible(double crop) {
    return std::isfinite(crop) && crop >= kSmallestCropFactor && crop <= kLargestCropFactor;
}

// Canon writes the focal-plane resolution as (pixels x 1000) / (sensor inches x 1000), so the
// denominators are the sensor's sides, whatever an editor later did to the pixels. Only
// numbers that fit that form are taken: whole thousands of at least 640 x 480 pixels, sides
// of a real sensor, and not square (a reduced fraction).
double CanonNoteCrop(const TImageInfo& exif) {
    const Rational x = StoredRational(exif, tags::FocalPlaneXResolution);
    const Rational y = StoredRational(exif, tags::FocalPlaneYResolution);
    const bool shaped = x.Numerator % 1000 == 0 && y.Numerator % 1000 == 0 && x.Numerator >= 640000 &&
                        y.Numerator >= 480000 && x.Numerator < 10000000 && y.Numerator < 10000000 &&
                        x.Denominator >= 61 && x.Denominator < 1500 && y.Denominator >= 61 && y.Denominator < 1000 &&
                        x.Denominator != y.Denominator;
    if (!shaped) return 0.0;
    const double w = x.Denominator * 0.0254;
    const double h = y.Denominator * 0.0254;
    const double crop = kFilmDiagonal / std::sqrt(w * w + h * h);
    return Plausible(crop) ? crop : 0.0;
}

double MillimetresPerUnit(int unit) {
    switch (unit) {
        case 3:
            return 10.0;
        case 4:
            return 1.0;
        case 5:
            return 0.001;
        default:
            return 25.4;  // inches, also when the unit is missing
    }
}

}  // namespace

SensorReading ReadSensor(const TImageInfo& exif) {
    SensorReading reading;
    double width = exif.TagNumberByName(kSensorWidthName);
    double height = exif.TagNumberByName(kSensorHeightName);
    if (!(width > 0.0 && height > 0.0)) {
        width = exif.PixelWidth;
        height = exif.PixelHeight;
    }
    const bool sized = width > 0.0 && height > 0.0 && width / height > 0.5 && width / height < 2.0;
    if (sized) reading.Aspect = std::max(width, height) / std::min(width, height);

    if (common::UpperAscii(exif.MakeText.substr(0, 5)) == "CANON") reading.NoteCrop = CanonNoteCrop(exif);

    const double xResolution = exif.TagNumberByName(tags::FocalPlaneXResolution);
    double yResolution = exif.TagNumberByName(tags::FocalPlaneYResolution);
    if (!(yResolution > 0.0)) yResolution = xResolution;
    if (sized && xResolution > 0.0 && std::isfinite(xResolution) && std::isfinite(yResolution)) {
        const double unit = MillimetresPerUnit(exif.TagRoundedByName(tags::FocalPlaneResolutionUnit));
        const double w = width * unit / xResolution;
        const double h = height * unit / yResolution;
        const double crop = kFilmDiagonal / std::sqrt(w * w + h * h);
        if (Plausible(crop)) reading.PlaneCrop = crop;
    }
    return reading;
}

}  // namespace quorvela::metadata
