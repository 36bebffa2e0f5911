#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "library/photo_facts.h"

namespace quorvela::analysis {

// Prefixes "_" until the text is `n` characters long, so that texts of equal length sort in
// numeric order; a longer text is returned unchanged.
std::string LeftFill(std::string_view text, std::size_t n, char fill = '_');

// Whole millimetres of a length text ("52.00 mm" -> 52, "32,50" -> 33): the digits before the
// first "." or ",", plus one when the next character is 5 to 9. -1 without digits (or when
// the number is beyond any lens).
std::int64_t RoundFocalLength(std::string_view text);

// Millimetres of a length text ("52.00 mm" -> 52, "5,8 mm" -> 5.8); 0 without a positive
// length below any lens's limit.
double RealFocalLength(std::string_view text);

// The rating category of a photo's rating (library::PhotoFacts::Rating): "rejected",
// "unrated", "1" to "5".
std::string RatingCategory(int rating);

// The category number of a whole focal length: lengths up to `ignoreUpTo` keep their value,
// others go to the nearest multiple of `stepSize` (halfway goes up). nullopt outside the
// step ranges (below 0, or above 10000 steps).
std::optional<std::int64_t> StepFocalLength(std::int64_t n, int stepSize, int ignoreUpTo);

// The focal-length category ("___50") of a length text, or empty when it has none.
std::string FocalCategory(std::string_view lengthText, bool useSteps, int stepSize, int ignoreUpTo);

// The photo's ISO number: its EXIF ISO when that is a positive number, else the maker note's;
// 0 when it has none.
std::int64_t GetIsoValue(const library::PhotoFacts& facts);

// The rendered FNumber ("F5.6"), or "n/a".
std::string GetApertureText(const library::PhotoFacts& facts);

// The rendered ExposureTime, else ShutterSpeedValue, or "n/a".
std::string GetExposureText(const library::PhotoFacts& facts);

// Seconds of an exposure text ("1/125 sec", "10/1250 sec", "0.0080 sec (1/125)"); -1 when
// unreadable.
double ExposureSeconds(std::string_view text, char decimalSeparator);

// The shutter category of `seconds`: "1/125" or whole seconds in the fraction format,
// otherwise seconds rounded to four decimals ("0.0167"). Empty when there is none.
std::string ShutterCategory(double seconds, bool fractionFormat, char decimalSeparator);

}  // namespace quorvela::analysis
