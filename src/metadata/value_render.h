#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quorvela::metadata {

using ByteView = std::span<const std::uint8_t>;

// Every byte folded into one number in the given order; the low 32 bits, signed.
std::int32_t BytesToInt(ByteView raw, bool bigEndian);

// The value as a number: integers folded, rationals as quotients (0 for a zero
// denominator), FLOAT and DOUBLE as their IEEE values, 0 for anything else.
double NumericValue(ByteView raw, int type, bool bigEndian);

// Renders up to 128 values of `type`, then applies the code list and the pattern.
// Throws std::domain_error when a pattern meets a number that cannot be written.
std::string RenderValue(ByteView raw, int type, std::string_view codeList, std::string_view pattern, bool bigEndian,
                        char decimalSeparator);

// The text after ",key:" in ",codeList," up to the next comma; empty when the key is absent.
std::string LookupCodeText(std::string_view codeList, std::string_view key);
std::string LookupCodeText(std::string_view codeList, std::int64_t key);

// The first 50 bytes, each control character (below 32) shown as ".".
std::string MakePrintable(std::string_view text);

// "a/b", or "w a/b" for a whole number and a fraction; 0 when the text is not such a fraction.
double FractionValue(std::string_view text);

// The first 16 bytes as upper-case hex pairs, each followed by a space, then "..." if more.
std::string HexPreview(ByteView bytes);

// Digits of `text` up to the first decimal separator, others skipped; -1 without digits.
std::int64_t LeadingDigits(std::string_view text, char decimalSeparator);

// An exposure fraction as a friendly time: "10/2500" -> "1/250 sec.", "4/10" -> "0.4 sec. ~(1/2)".
std::string ExposureTimeText(std::string_view text, char decimalSeparator);

}  // namespace quorvela::metadata
