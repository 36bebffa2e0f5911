#pragma once

#include <string>
#include <string_view>

namespace quorvela::common {

// Metadata texts and the settings file are Windows-1252 bytes; people, files we write and
// the command line see UTF-8. These are the one conversion between the two.

// Every byte as its Windows-1252 character in UTF-8. The five bytes the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 control of the same number.
std::string Cp1252ToUtf8(std::string_view text);

// Every character in Windows-1252. A character the code page lacks (also one outside the
// Basic Multilingual Plane, and the C1 controls of the unassigned bytes) becomes one "?". A
// byte that does not begin a complete, well-formed UTF-8 sequence (a stray continuation
// byte, a cut-off sequence, an overlong form, a surrogate, a code point past U+10FFFF)
// becomes one "?", and reading goes on with the next byte.
std::string Utf8ToCp1252(std::string_view text);

}  // namespace quorvela::common
