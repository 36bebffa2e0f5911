#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvela::common {

// Texts here are byte strings (Windows-1252 or UTF-8): only the ASCII letters have a case.
std::string UpperAscii(std::string_view text);
bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);

// Removes leading and trailing characters up to and including the space (blanks and
// control characters), as metadata texts and table fields are trimmed.
std::string_view Trim(std::string_view text);

// The text with every occurrence of `c` removed.
std::string RemoveChar(std::string_view text, char c);

// Whole-number parse that accepts leading blanks and a sign, and nothing after the digits.
std::optional<std::int64_t> ParseInteger(std::string_view text);

}  // namespace quorvela::common
