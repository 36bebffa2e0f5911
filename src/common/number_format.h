#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvela::common {

// Round to the nearest integer, halves to even; nullopt when not finite or out of range.
std::optional<std::int64_t> RoundHalfEven(double value);

// printf-style "%[flags][width][.precision]f" of `value`, with `decimalSeparator` in
// place of the point. Throws std::domain_error for a value that is not finite.
std::string FormatFixed(double value, int precision, int width, char decimalSeparator, bool leftAlign = false);

// `pattern` with its one conversion ("%5.2f", "F%0.1f", "%d", "%%") applied to `value`.
// Throws std::domain_error for an unsupported conversion or a value that is not finite.
std::string FormatPattern(std::string_view pattern, double value, char decimalSeparator);

// Shortest general form with at most 15 significant digits, no exponent for ordinary
// magnitudes, trailing zeros removed ("0.4", "250", "1.3").
std::string FormatGeneral(double value, char decimalSeparator);

// A whole number with its thousands grouped by ",": 1234567 -> "1,234,567".
std::string GroupThousands(std::int64_t value);

// True for a length text whose number is zero (" 0.00", "0,00 mm"): cameras store 0 for
// "unknown", and such a text counts as absent.
bool IsZeroLengthText(std::string_view text);

}  // namespace quorvela::common
