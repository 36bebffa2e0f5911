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

TEST(IsoDigits, AfterTheFirstCommaOrAllDigits) {
    EXPECT_EQ(IsoDigits("ISO Speed = 200"), "200");
    EXPECT_EQ(IsoDigits("ISO Speed = Auto"), "0");
    EXPECT_EQ(IsoDigits("CCD ISO = 0, 400"), "400");
    EXPECT_EQ(IsoDigits("ISO2 Speed = 100"), "2100");  // the description's digits count too
}

TEST(IsoFromMakerNotes, FirstEntrySpeakingOfIso) {
    metadata::TimgData reader;
    reader.ReadJpegBytes("p.jpg", PhotoBytes({.Make = "X"}));
    test::AddMakerNotes(reader, {{"Quality", "Fine 3"}, {"CCD Sensitivity", "ISO 80"}, {"ISO Speed", "200"}});
    EXPECT_EQ(IsoFromMakerNotes(*reader.ExifDirectory), "80");
    EXPECT_EQ(GetIsoValue(reader), 80);
}

TEST(GetIsoValue, TagMakerNoteAndFallbacks) {
    struct Case {
        const char* name;
        PhotoTags tags;
        std::vector<std::pair<std::string, std::string>> notes;
        std::int64_t iso;
    };
    const Case cases[] = {
        {"tag", {.Iso = std::vector<std::uint16_t>{100}}, {}, 100},
        {"tag beats maker note", {.Iso = std::vector<std::uint16_t>{400}}, {{"ISO Speed", "200"}}, 400},
        {"list of values", {.Iso = std::vector<std::uint16_t>{100, 100}}, {}, 0},
        {"maker note", {.Make = "X"}, {{"ISO Speed", "200"}}, 200},
        {"maker note without digits", {.Make = "X"}, {{"ISO Speed", "Auto"}}, 0},
        {"nothing", {.Make = "X"}, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        metadata::TimgData reader;
        reader.ReadJpegBytes("p.jpg", PhotoBytes(c.tags));
        if (!c.notes.empty()) test::AddMakerNotes(reader, c.notes);
        EXPECT_EQ(GetIsoValue(reader), c.iso);
    }
}

TEST(ApertureAndExposureTexts, RenderedTagsOrNotAvailable) {
    metadata::TimgData reader(true, ',');
    reader.ReadJpegBytes("p.jpg",
                         PhotoBytes({.FNumber = test::Fraction{56, 10}, .ExposureTime = test::Fraction{10, 2500}}));
    EXPECT_EQ(GetApertureText(reader), "F5,6");
    EXPECT_EQ(GetExposureText(reader), "10/2500 sec");
    reader.ReadJpegBytes("p.jpg", PhotoBytes({.Make = "X"}));
    EXPECT_EQ(GetApertureText(reader), "n/a");
    EXPECT_EQ(GetExposureText(reader), "n/a");
    reader.ReadJpegBytes("p.jpg", samples::Jpeg().Soi().Comment("c").Sos().Eoi().Build());
    EXPECT_EQ(GetApertureText(reader), "n/a");
    EXPECT_EQ(GetIsoValue(reader), 0);
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
