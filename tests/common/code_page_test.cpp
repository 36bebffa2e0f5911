#include "common/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvela::common {
namespace {

struct Case {
    std::string from;
    std::string to;
};

TEST(Cp1252ToUtf8, Characters) {
    const Case cases[] = {
        {"plain", "plain"},
        {"Rotated 180\xB0", "Rotated 180\xC2\xB0"},
        {"\x80", "\xE2\x82\xAC"},                                              // the euro sign of 0x80
        {"\x9F", "\xC5\xB8"},                                                  // last of the 0x80..0x9F block
        {"\xFF", "\xC3\xBF"},                                                  // Latin-1 half
        {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},  // unassigned: C1 controls
    };
    for (const Case& c : cases) EXPECT_EQ(Cp1252ToUtf8(c.from), c.to) << c.from;
}

TEST(Utf8ToCp1252, Characters) {
    const Case cases[] = {
        {"Caf\xC3\xA9", "Caf\xE9"},    {"\xE2\x82\xAC 5", "\x80 5"},
        {"\xC5\xB8", "\x9F"},          {"\xE4\xB8\xAD", "?"},  // a character the code page lacks
        {"a\xF0\x9F\x98\x80z", "a?z"},                         // outside the BMP: one "?", not one per UTF-16 unit
        {"\xC2\x81\xC2\x9D", "??"},                            // C1 controls of unassigned bytes have no byte back
    };
    for (const Case& c : cases) EXPECT_EQ(Utf8ToCp1252(c.from), c.to) << c.from;
}

TEST(Utf8ToCp1252, EachByteOfMalformedUtf8IsOneQuestionMark) {
    const Case cases[] = {
        {"\x80"
         "a",
         "?a"},  // stray continuation byte
        {"\xC3"
         "A",
         "?A"},                        // lead byte without its continuation
        {"x\xE2\x82", "x??"},          // sequence cut off by the end of the text
        {"\xC1\x81", "??"},            // overlong "A"
        {"\xE0\x80\xAF", "???"},       // overlong "/"
        {"\xED\xA0\x80", "???"},       // UTF-16 surrogate
        {"\xF4\x90\x80\x80", "????"},  // past U+10FFFF
        {"\xFF\xFE", "??"},            // bytes that never occur in UTF-8
    };
    for (const Case& c : cases) EXPECT_EQ(Utf8ToCp1252(c.from), c.to) << c.from;
}

TEST(CodePage, EveryAssignedByteSurvivesTheRoundTrip) {
    const std::string unassigned = "\x81\x8D\x8F\x90\x9D";
    for (int b = 1; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string back = Utf8ToCp1252(Cp1252ToUtf8(byte));
        EXPECT_EQ(back, unassigned.find(byte[0]) == std::string::npos ? byte : "?") << "byte " << b;
    }
}

}  // namespace
}  // namespace quorvela::common
