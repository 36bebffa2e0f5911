#include "metadata/value_render.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "common/ascii.h"
#include "metadata/renderers.h"
#include "metadata/tag_tables.h"

namespace quorvela::metadata {
namespace {

using B = std::vector<std::uint8_t>;

// The same expectation under both decimal separators: a "." between digits becomes the separator.
std::string WithSep(std::string text, char sep) {
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        if (text[i] == '.' && digit(text[i - 1]) && digit(text[i + 1])) text[i] = sep;
    }
    return text;
}

class BothSeparators : public ::testing::TestWithParam<char> {};
INSTANTIATE_TEST_SUITE_P(Separators, BothSeparators, ::testing::Values('.', ','));

B Be32(std::uint32_t a) {
    return {static_cast<std::uint8_t>(a >> 24), static_cast<std::uint8_t>(a >> 16), static_cast<std::uint8_t>(a >> 8),
            static_cast<std::uint8_t>(a)};
}
B Rat(std::uint32_t n, std::uint32_t d) {
    B b = Be32(n);
    const B e = Be32(d);
    b.insert(b.end(), e.begin(), e.end());
    return b;
}

TEST_P(BothSeparators, TextsTheAnalysisParsesBack) {
    const char sep = GetParam();
    struct Case {
        B raw;
        int type;
        const char* pattern;
        const char* expected;
    };
    const Case cases[] = {
        {Rat(18, 1), 5, "%5.2f mm", "18.00 mm"},
        {Rat(63, 10), 5, "%5.2f mm", " 6.30 mm"},
        {Rat(200, 1), 5, "%5.2f mm", "200.00 mm"},
        {{0, 52}, 3, "%5.2f mm", "52.00 mm"},
        {Rat(28, 10), 5, "F%0.1f", "F2.8"},
        {Rat(11, 1), 5, "F%0.1f", "F11.0"},
        {Rat(10, 2500), 5, "%s sec", "10/2500 sec"},
        {Rat(30, 1), 5, "%s sec", "30/1 sec"},
        {Rat(0, 0), 5, "%5.2f mm", " 0.00 mm"},
        {Rat(0x80000000u, 0x40000000u), 5, "F%0.1f", "F2.0"},  // RATIONAL parts are unsigned
        {{0, 100}, 3, "", "100"},
        {{0, 100, 0, 100}, 3, "", "100, 100"},
        {{0xFF, 0xFF, 0xFF, 0xFF}, 4, "", "-1"},
        {{0xFF, 0xFF}, 8, "", "65535"},  // signed SHORT is not sign-extended
        {Rat(1, 2), 10, "", "1/2"},
        {Be32(0xFFFFFFFFu), 4, "", "-1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(RenderValue(c.raw, c.type, {}, c.pattern, true, sep), WithSep(c.expected, sep));
    }
}

TEST(RenderValue, RationalListAndPatternUsesFirstValueOnly) {
    B raw = Rat(1, 2);
    const B second = Rat(3, 4);
    raw.insert(raw.end(), second.begin(), second.end());
    EXPECT_EQ(RenderValue(raw, 5, {}, {}, true, '.'), "1/2, 3/4");
    EXPECT_EQ(RenderValue(raw, 5, {}, "%5.2f mm", true, '.'), " 0.50 mm");
}

TEST(RenderValue, SignedRationalKeepsItsSign) {
    EXPECT_EQ(RenderValue(Rat(0xFFFFFFFFu, 3), 10, {}, {}, true, '.'), "-1/3");
}

TEST(RenderValue, CodeListsAndOddTypes) {
    const std::string orientation = std::string(FindTableRow(0x0112, TableKind::Main).CodeList);
    EXPECT_EQ(RenderValue(B{0, 6}, 3, orientation, {}, true, '.'), "CounterClockwise 90\xB0");
    EXPECT_EQ(RenderValue(B{0, 2}, 3, orientation, {}, true, '.'), "");
    EXPECT_EQ(RenderValue(B{6, 0}, 3, orientation, {}, false, '.'), "CounterClockwise 90\xB0");
    EXPECT_EQ(RenderValue(B{1, 2, 3, 4}, 11, {}, {}, true, '.'), "-9999.99");
    EXPECT_EQ(RenderValue(B{1, 2}, 2, {}, {}, true, '.'), "?, ?");
    EXPECT_EQ(RenderValue(B{1, 2}, 0, {}, {}, true, '.'), "0");
    // Fewer bytes than one value (cut off by the end of the block): no number at all.
    EXPECT_EQ(RenderValue(B{0, 0, 1}, 5, {}, "%5.2f mm", true, '.'), "");
    EXPECT_EQ(RenderValue(B{}, 3, {}, "%s sec", true, '.'), "");
    EXPECT_EQ(RenderValue(B{1, 2}, 13, {}, {}, true, '.'), "0");
    // More than 128 values: only the first 128 are shown.
    const B many(300, 7);
    const std::string text = RenderValue(many, 1, {}, {}, true, '.');
    EXPECT_EQ(std::count(text.begin(), text.end(), ','), 127);
}

TEST(NumericValue, ByType) {
    EXPECT_EQ(NumericValue(B{0, 1, 0, 2}, 3, true), 65538.0);  // a SHORT pair is folded together
    EXPECT_EQ(NumericValue(Rat(1, 4), 5, true), 0.25);
    EXPECT_EQ(NumericValue(Rat(1, 0), 5, true), 0.0);
    EXPECT_EQ(NumericValue(Rat(0xFFFFFFFEu, 2), 10, true), -1.0);
    EXPECT_EQ(NumericValue(Rat(0xFFFFFFFEu, 2), 5, true), 2147483647.0);
    EXPECT_EQ(NumericValue(B{'a', 'b'}, 2, true), 0.0);
    float f = 6.25f;
    std::uint32_t fbits;
    std::memcpy(&fbits, &f, 4);
    EXPECT_EQ(NumericValue(Be32(fbits), 11, true), 6.25);
    const B little = {static_cast<std::uint8_t>(fbits), static_cast<std::uint8_t>(fbits >> 8),
                      static_cast<std::uint8_t>(fbits >> 16), static_cast<std::uint8_t>(fbits >> 24)};
    EXPECT_EQ(NumericValue(little, 11, false), 6.25);
    double d = -1234.5;
    std::uint64_t dbits;
    std::memcpy(&dbits, &d, 8);
    B dbe;
    for (int i = 7; i >= 0; --i) dbe.push_back(static_cast<std::uint8_t>(dbits >> (8 * i)));
    EXPECT_EQ(NumericValue(dbe, 12, true), -1234.5);
    B dle(dbe.rbegin(), dbe.rend());
    EXPECT_EQ(NumericValue(dle, 12, false), -1234.5);
}

TEST(BytesToInt, FoldsInByteOrder) {
    EXPECT_EQ(BytesToInt(B{}, true), 0);
    EXPECT_EQ(BytesToInt(B{1, 2}, true), 0x0102);
    EXPECT_EQ(BytesToInt(B{1, 2}, false), 0x0201);
    EXPECT_EQ(BytesToInt(B{9, 0xFF, 0xFF, 0xFF, 0xFF}, true), -1);  // low 32 bits
}

TEST(LookupCodeText, MatchesTheWholeKey) {
    const std::string whiteBalance(FindTableRow(0xA403, TableKind::Main).CodeList);
    const std::string lightSource(FindTableRow(0x9208, TableKind::Main).CodeList);
    EXPECT_EQ(LookupCodeText(whiteBalance, " 1 "), "Manual");
    EXPECT_EQ(LookupCodeText(lightSource, 1), "Daylight");
    EXPECT_EQ(LookupCodeText(lightSource, 10), "Flash");
    EXPECT_EQ(LookupCodeText(lightSource, 5), "");
    EXPECT_EQ(LookupCodeText("", 1), "");
}

// The lookup's definition: the text after the first ",key:" of "," + list + ",", up to the
// next comma.
std::string LookupByDefinition(std::string_view codeList, std::string_view key) {
    const std::string list = "," + std::string(codeList) + ",";
    const std::string needle = "," + std::string(common::Trim(key)) + ":";
    const auto at = list.find(needle);
    if (at == std::string::npos) return {};
    const auto start = at + needle.size();
    return list.substr(start, list.find(',', start) - start);
}

TEST(LookupCodeText, AsItsDefinitionForOddListsAndKeys) {
    const std::vector<std::string> lists = {"",        ":",        ",",        "1:",        "1:a",
                                            "0:x,1:a", "11:b,1:a", "1:a,1:b",  "a1:x,1:y",  "1 :x,1:y",
                                            "1:,2:b",  "2:b,1:",   ":z,1:a",   "1/2:h,3:c", "1/2, 3/4:p,1/2:q",
                                            ",1:a",    "1:a,,2:b", "-1:m,1:p", "1:a:b,2:c", " 1:s,1:t"};
    const std::vector<std::string> keys = {"", " ", "1", " 1 ", "11", "2", "-1", "1/2", "1/2, 3/4", "a", ":", ",", "z"};
    for (const std::string& list : lists) {
        for (const std::string& key : keys) {
            EXPECT_EQ(LookupCodeText(list, key), LookupByDefinition(list, key)) << "[" << list << "] [" << key << "]";
        }
        for (const std::int64_t key : {-1LL, 0LL, 1LL, 2LL, 11LL, 12345678901LL}) {
            EXPECT_EQ(LookupCodeText(list, key), LookupByDefinition(list, std::to_string(key))) << list << " " << key;
        }
    }
    for (const auto& row : MainTagTable()) {
        for (std::int64_t key = -2; key < 300; ++key) {
            ASSERT_EQ(LookupCodeText(row.CodeList, key), LookupByDefinition(row.CodeList, std::to_string(key)));
        }
    }
}

TEST(MakePrintable, CutsToFiftyAndShowsControlsAsDots) {
    EXPECT_EQ(MakePrintable(std::string(80, 'x')).size(), 50u);
    EXPECT_EQ(MakePrintable(std::string("a\tb\x01", 4)), "a.b.");
    EXPECT_EQ(MakePrintable("Caf\xE9"), "Caf\xE9");  // bytes from 32 up stay
}

TEST(FractionValue, Forms) {
    EXPECT_DOUBLE_EQ(FractionValue("1 1/2"), 1.5);
    EXPECT_DOUBLE_EQ(FractionValue(" 10/2500 "), 0.004);
    EXPECT_DOUBLE_EQ(FractionValue("-1/3"), -1.0 / 3.0);
    EXPECT_DOUBLE_EQ(FractionValue("4294967295/1"), 4294967295.0);
    EXPECT_EQ(FractionValue("12"), 0.0);
    EXPECT_EQ(FractionValue("1/0"), 0.0);
    EXPECT_EQ(FractionValue("a/2"), 0.0);
    EXPECT_EQ(FractionValue(""), 0.0);
}

TEST(SpaceOutName, Examples) {
    EXPECT_EQ(SpaceOutName("FocalLength"), "Focal Length");
    EXPECT_EQ(SpaceOutName("ISOSpeedRatings"), "ISOSpeed Ratings");
    EXPECT_EQ(SpaceOutName("FNumber"), "FNumber");
    EXPECT_EQ(SpaceOutName("ExposureTime"), "Exposure Time");
    EXPECT_EQ(SpaceOutName("GPSLatitude"), "GPSLatitude");
    EXPECT_EQ(MainTagTable().back().Description, "Unknown");
}

TEST_P(BothSeparators, ShutterSpeedText) {
    const char sep = GetParam();
    RenderContext context{sep, nullptr, false};
    struct Case {
        const char* input;
        const char* expected;
    };
    const Case cases[] = {
        {"8643856/1000000", "0.0025 sec (1/400)"},
        {"7965784/1000000", "0.0040 sec (1/250)"},
        {"0/1", "1.0000 sec"},
        {"-1/1", "2.0000 sec"},
        {"1/1", "0.5000 sec (1/2)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(ShutterSpeedText(c.input, context), WithSep(c.expected, sep));
    }
    // An APEX value no exposure can have (a camera's -2^31) fails instead of overflowing.
    EXPECT_THROW(ShutterSpeedText("-2147483648/1", context), std::exception);
    EXPECT_THROW(ShutterSpeedText("100/1", context), std::exception);
}

TEST(Renderers, Flash) {
    RenderContext context;
    EXPECT_EQ(FlashText("16", context), "Off, surpressed");
    EXPECT_EQ(FlashText("25", context), "On, auto mode");
    EXPECT_EQ(FlashText("15", context), "On, strobe return, forced");
    EXPECT_EQ(FlashText("0", context), "Off");
    EXPECT_EQ(FlashText("95", context), "On, strobe return, auto mode, red-eye reduction");
    EXPECT_EQ(FlashText("32", context), "Off, no flash function");
    EXPECT_EQ(FlashText("2", context), "Off, UNKNOWN");
    EXPECT_THROW(FlashText("x", context), std::exception);
}

TEST(Renderers, ComponentsAndWideText) {
    RenderContext context;
    EXPECT_EQ(ComponentsText(std::string("\"\x01\x02\x03\"", 5), context), "YCbCr");
    EXPECT_EQ(ComponentsText(std::string("\"\x04\x05\x06\x00\"", 6), context), "RGB");
    EXPECT_EQ(ComponentsText("\"", context), "");
    // "Hi" in UTF-16LE plus the terminating zero unit.
    EXPECT_EQ(WideTagText("72, 0, 105, 0, 0, 0", context), "Hi");
    EXPECT_THROW(WideTagText("a, 0, 1", context), std::exception);
}

TEST_P(BothSeparators, GpsTexts) {
    RenderContext context{GetParam(), nullptr, false};
    EXPECT_EQ(GpsPositionText("52/1, 2283/100, 0/1", context), "52 Degrees 22 Minutes 50 Seconds");
    EXPECT_EQ(GpsPositionText("53/1, 22/1, 5825/100", context), "53 Degrees 22 Minutes 58 Seconds");
    EXPECT_EQ(GpsTimeText("14/1, 5/1, 30/1", context), "14:5:30");
}

TEST(HexPreview, SixteenBytesThenEllipsis) {
    EXPECT_EQ(HexPreview(B{0x4E, 0x69, 0x0A}), "4E 69 0A ");
    const std::string long_ = HexPreview(B(17, 0xAB));
    EXPECT_EQ(long_.substr(long_.size() - 6), "AB ...");
    EXPECT_EQ(HexPreview(B{}), "");
}

TEST_P(BothSeparators, ExposureTimeTextAndLeadingDigits) {
    const char sep = GetParam();
    struct Case {
        const char* input;
        const char* expected;
    };
    const Case cases[] = {
        {"1/250 sec", "1/250 sec"},
        {"10/2500", "1/250 sec."},
        {"13/10", "1.3 sec."},
        {"30/1", "30 sec."},
        {"4/10", "0.4 sec. ~(1/2)"},
        {"0/10", "0/10"},
        {"no slash", "no slash"},
        {"10/0", "10/0"},
        {"10000/1140250", "0.0088 sec. ~(1/114)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        const std::string input = WithSep(c.input, sep);
        EXPECT_EQ(ExposureTimeText(input, sep), WithSep(c.expected, sep));
    }
    EXPECT_EQ(LeadingDigits("2500 sec", sep), 2500);
    EXPECT_EQ(LeadingDigits(WithSep("12.5", sep), sep), 12);
    EXPECT_EQ(LeadingDigits("sec", sep), -1);
}

}  // namespace
}  // namespace quorvela::metadata
