#include "analysis/file_values.h"

#include <gtest/gtest.h>

#include "photo.h"

namespace quorvela::analysis {
namespace {

using test::PhotoBytes;
using test::PhotoTags;

TEST(LeftFill, FillsToLengthAndKeepsLongerTexts) {
    EXPECT_EQ(LeftFill("50", 5), "___50");
    EXPECT_EQ(LeftFill("F5.6", 6), "__F5.6");
    EXPECT_EQ(LeftFill("102400", 6), "102400");
    EXPECT_EQ(LeftFill("1234567", 6), "1234567");
    EXPECT_EQ(LeftFill("", 2), "__");
}

TEST(RoundFocalLength, FirstCharacterAfterTheFirstSeparatorDecides) {
    struct Case {
        const char* text;
        std::int64_t whole;
    };
    const Case cases[] = {
        {"32,49", 32},    {"32,50", 33}, {"123,50", 124}, {"7,10", 7},
        {"52.00 mm", 52}, {" 0.00", 0},  {"32.90", 33},   {"28", 28},
        {"9.5", 10},      {"9.4999", 9}, {"mm", -1},      {"", -1},
        {",5", -1},       {"1.2.9", 1},  {"4 5.0", 45},   {"99999999999999999999", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(RoundFocalLength(c.text), c.whole);
    }
}

TEST(StepFocalLength, RangesAndIgnoreLimit) {
    struct Case {
        std::int64_t n;
        int step;
        int ignore;
        std::optional<std::int64_t> category;
    };
    const Case cases[] = {
        {24, 10, 28, 24},        {28, 10, 28, 28},    {29, 10, 28, 30},   {34, 10, 28, 30}, {35, 10, 28, 40},
        {50, 10, 28, 50},        {104, 10, 28, 100},  {105, 10, 28, 110}, {33, 10, 40, 33}, {33, 1, 28, 33},
        {7, 10, 0, 10},          {4, 10, 0, 0},       {0, 10, 0, 0},      {-3, 10, 0, {}},  {-3, 10, 5, -3},
        {100000, 10, 0, 100000}, {100001, 10, 0, {}}, {3, 5, 0, 5},       {2, 5, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.n << " step " << c.step << " ignore " << c.ignore);
        EXPECT_EQ(StepFocalLength(c.n, c.step, c.ignore), c.category);
    }
}

TEST(FocalCategory, RoundingStepsAndFill) {
    EXPECT_EQ(FocalCategory("52.00 mm", false, 10, 28), "___52");
    EXPECT_EQ(FocalCategory("52.00 mm", true, 10, 28), "___50");
    EXPECT_EQ(FocalCategory("32,90", true, 10, 28), "___30");
    EXPECT_EQ(FocalCategory("32,90", true, 10, 40), "___33");
    EXPECT_EQ(FocalCategory("28.00 mm", true, 10, 28), "___28");
    EXPECT_EQ(FocalCategory("29.00 mm", true, 10, 28), "___30");
    EXPECT_EQ(FocalCategory("11113.00 mm", false, 10, 28), "11113");
    EXPECT_EQ(FocalCategory(" 0.00", false, 10, 28), "____0");
    EXPECT_EQ(FocalCategory("mm", false, 10, 28), "");
}

TEST(IsoFromMakerNotes, FirstEntrySpeakingOfIso) {
    metadata::TimgData reader;
    reader.ReadJpegBytes("p.jpg", PhotoBytes({.Make = "X"}));
    test::AddMakerNotes(reader, {{"Quality", "Fine 3"}, {"CCD Sensitivity", "ISO 80"}, {"ISO Speed", "200"}});
    EXPECT_EQ(library::IsoFromMakerNotes(*reader.ExifDirectory), "80");
}

// Facts with EXIF and the given texts.
library::PhotoFacts Facts(std::string iso, std::string makerNoteIso) {
    library::PhotoFacts facts;
    facts.HasExif = true;
    facts.Iso = std::move(iso);
    facts.MakerNoteIso = std::move(makerNoteIso);
    return facts;
}

TEST(GetIsoValue, StoredIsoThenMakerNote) {
    struct Case {
        const char* name;
        library::PhotoFacts facts;
        std::int64_t iso;
    };
    const Case cases[] = {
        {"stored", Facts("100", ""), 100},
        {"stored beats maker note", Facts("400", "200"), 400},
        {"a stored 0 is no setting", Facts("0", "200"), 200},
        {"list of values", Facts("100 100", ""), 0},
        {"maker note without digits", Facts("", "0"), 0},
        {"beyond a 32-bit number", Facts("", "99999999999"), 0},
        {"no EXIF",
         [] {
             library::PhotoFacts facts = Facts("100", "");
             facts.HasExif = false;
             return facts;
         }(),
         0},
    };
    for (const Case& c : cases) EXPECT_EQ(GetIsoValue(c.facts), c.iso) << c.name;
}

TEST(ApertureAndExposureTexts, RenderedTextsOrNotAvailable) {
    library::PhotoFacts facts = Facts("", "");
    facts.FNumber = "F5,6";
    facts.ExposureTime = "10/2500 sec";
    facts.ShutterSpeedValue = "1/250 sec";
    EXPECT_EQ(GetApertureText(facts), "F5,6");
    EXPECT_EQ(GetExposureText(facts), "10/2500 sec");
    facts.ExposureTime.clear();
    EXPECT_EQ(GetExposureText(facts), "1/250 sec");
    facts.HasExif = false;
    EXPECT_EQ(GetApertureText(facts), "n/a");
    EXPECT_EQ(GetExposureText(facts), "n/a");
    EXPECT_EQ(GetApertureText(Facts("", "")), "n/a");
    EXPECT_EQ(GetExposureText(Facts("", "")), "n/a");
}

TEST(ExposureSeconds, FractionAndDecimalRenderings) {
    struct Case {
        const char* text;
        char separator;
        double seconds;
    };
    const Case cases[] = {
        {"1/125 sec", '.', 0.008},
        {"10/1250 sec", '.', 0.008},
        {"30/1 sec", '.', 30.0},
        {"0.0080 sec (1/125)", '.', 0.008},
        {"0,0080 sec (1/125)", ',', 0.008},
        {"n/a", '.', -1.0},
        {"1/0 sec", '.', -1.0},
        {"/125 sec", '.', -1.0},
        {"1/ sec", '.', -1.0},
        {"sec", '.', -1.0},
        {"1.2.3 sec", '.', -1.0},
        {"2 sec", '.', -1.0},
        {"1/3 sec", ',', 1.0 / 3.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(ExposureSeconds(c.text, c.separator), c.seconds);
    }
}

TEST(ShutterCategory, BothFormats) {
    struct Case {
        double seconds;
        bool fraction;
        char separator;
        const char* category;
    };
    const Case cases[] = {
        {1.0 / 250, true, '.', "1/250"},
        {1.0 / 250, false, '.', "0.004"},
        {1.0 / 250, false, ',', "0,004"},
        {1.0 / 3, true, '.', "1/3"},
        {1.0 / 3, false, '.', "0.3333"},
        {0.008, true, '.', "1/125"},
        {0.3, true, '.', "1/3"},
        {1.0 / 60, false, '.', "0.0167"},
        {1.0 / 60, true, '.', "1/60"},
        {2.5, true, '.', "2"},
        {3.5, true, '.', "4"},
        {2.0, false, '.', "2"},
        {1.0 / 160, false, '.', "0.0062"},  // halves to even, not printf rounding
        {1.0 / 160, true, '.', "1/160"},
        {1.0, true, '.', "1"},
        {-1.0, true, '.', ""},
        {0.0, false, '.', ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.seconds << (c.fraction ? " fraction" : " decimal"));
        EXPECT_EQ(ShutterCategory(c.seconds, c.fraction, c.separator), c.category);
    }
}

}  // namespace
}  // namespace quorvela::analysis
