#include "analysis/path_lines.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/text_file.h"
#include "photo.h"
#include "support/test_files.h"

namespace quorvela::analysis {
namespace {

using test::Fraction;
using test::PhotoBytes;
using test::PhotoTags;

const PhotoTags kCanon{.Make = "Canon",
                       .Model = "Canon EOS 300D DIGITAL",
                       .FocalLength = Fraction{71, 10},
                       .Focal35 = 52,
                       .FNumber = Fraction{56, 10},
                       .ExposureTime = Fraction{1, 125},
                       .Iso = std::vector<std::uint16_t>{100}};

TEST(PathLines, PiecesOfAPhoto) {
    library::PhotoFacts facts;
    facts.HasExif = true;
    facts.Make = "Canon";
    facts.Model = "Canon EOS 300D DIGITAL";
    facts.FocalLength = " 7,10 mm";
    facts.FocalLength35 = "52,00";
    EXPECT_EQ(MakeModelText(facts), " - Make: Canon - Model: Canon EOS 300D DIGITAL");
    EXPECT_EQ(Debuginfo(facts), "52,00 mm");
    EXPECT_EQ(Show2MakerNotes(facts, true), "");  // not decoded

    facts.MakerNoteDecoded = true;
    facts.MakerNotePairs = {{"Record Mode", "Normal"}, {"Self Timer", "Off"}};
    EXPECT_EQ(Show2MakerNotes(facts, false), "");
    EXPECT_EQ(Show2MakerNotes(facts, true),
              " - Maker Notes -->  Label: RECORD MODE Data: NORMAL -  Label: SELF TIMER Data: OFF - ");

    facts.Make.clear();
    facts.FocalLength35.clear();
    EXPECT_EQ(MakeModelText(facts), " -  - Model: Canon EOS 300D DIGITAL");
    EXPECT_EQ(Debuginfo(facts), "(real length) 7,10 mm");

    facts.Make = "Caf\xE9";
    EXPECT_EQ(MakeModelText(facts), " - Make: Caf\xC3\xA9 - Model: Canon EOS 300D DIGITAL");  // made UTF-8

    facts.HasExif = false;
    EXPECT_EQ(MakeModelText(facts), "");
    EXPECT_EQ(Debuginfo(facts), "");
    EXPECT_EQ(Show2MakerNotes(facts, true), "");
}

TEST(PathLines, Layouts) {
    const std::string p = "C:\\Photos\\IMG_0001.JPG";
    const std::string mm = " - Make: Canon - Model: Canon EOS 300D DIGITAL";
    EXPECT_EQ(FocalLine("___50", p, mm, ""),
              "___50 mm - C:\\Photos\\IMG_0001.JPG - Make: Canon - Model: Canon EOS 300D DIGITAL");
    EXPECT_EQ(FocalLineStepped("___50", "52,00 mm", p, mm, ""),
              "___50 mm = 52,00 mm - C:\\Photos\\IMG_0001.JPG - Make: Canon - Model: Canon EOS 300D DIGITAL");
    EXPECT_EQ(IsoLine("100", p, mm, ""),
              "ISO _100 - C:\\Photos\\IMG_0001.JPG  - Make: Canon - Model: Canon EOS 300D DIGITAL");
    EXPECT_EQ(ApertureLine("F5,6", p, mm, ""),
              "_F5,6 - C:\\Photos\\IMG_0001.JPG  - Make: Canon - Model: Canon EOS 300D DIGITAL");
    EXPECT_EQ(ShutterLine("1/125", p, mm, ""),
              "__1/125 sec - C:\\Photos\\IMG_0001.JPG  - Make: Canon - Model: Canon EOS 300D DIGITAL");
    EXPECT_EQ(FocalLine("___50", p, "", ""), "___50 mm - C:\\Photos\\IMG_0001.JPG");
    EXPECT_EQ(IsoLine("100", p, "", ""), "ISO _100 - C:\\Photos\\IMG_0001.JPG ");
    EXPECT_EQ(IsoLine("100", p, mm, " - Maker Notes -->  Label: A Data: B - "),
              "ISO _100 - C:\\Photos\\IMG_0001.JPG  - Make: Canon - Model: Canon EOS 300D DIGITAL - Maker Notes -->  "
              "Label: A Data: B - ");
}

// The line each path-list choice gives for one real file, through the whole per-file step.
TEST(ReadAndDerive, GoldenLinesForEachQuantity) {
    testing::TempDir dir;
    const std::string path = dir.Write("IMG_0001.JPG", PhotoBytes(kCanon)).string();
    const std::string mm = " - Make: Canon - Model: Canon EOS 300D DIGITAL";
    struct Case {
        std::optional<Quantity> quantity;
        bool steps;
        bool fraction;
        std::string line;
    };
    const Case cases[] = {
        {Quantity::FocalLength, true, false, "___50 mm = 52,00 mm - " + path + mm},
        {Quantity::FocalLength, false, false, "___52 mm - " + path + mm},
        {Quantity::Iso, true, false, "ISO _100 - " + path + " " + mm},
        {Quantity::Aperture, true, false, "_F5,6 - " + path + " " + mm},
        {Quantity::Shutter, true, true, "__1/125 sec - " + path + " " + mm},
        {Quantity::Shutter, true, false, "__0,008 sec - " + path + " " + mm},
        {std::nullopt, true, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.quantity ? static_cast<int>(*c.quantity) : -1);
        AnalysisSettings settings;
        settings.PathList = c.quantity;
        settings.UseSteps = c.steps;
        settings.FractionShutter = c.fraction;
        settings.AddMakerNotes = true;  // nothing decoded: no maker-note text
        metadata::TimgData reader(true, ',');
        const FileResult result = test::ReadAndDerive(path, settings, reader);
        EXPECT_EQ(result.PathLine, c.line);
        EXPECT_EQ(result.Focal, c.steps ? "___50" : "___52");
        EXPECT_EQ(result.Iso, "___100");
        EXPECT_EQ(result.Aperture, "__F5,6");
    }
}

TEST(PathLines, EveryKindOfLineBreakBecomesAQuestionMark) {
    EXPECT_EQ(common::OnOneLine("a\rb\nc\r\nd"), "a?b?c??d");
    EXPECT_EQ(common::OnOneLine("x\xE2\x80\xA8y\xE2\x80\xA9z"), "x?y?z");
    // Other characters of that block, and a sequence cut short at the end, stay as they are.
    EXPECT_EQ(common::OnOneLine("\xE2\x80\x94\xE2\x80"), "\xE2\x80\x94\xE2\x80");
}

TEST(ReadAndDerive, SteppedLineOfAComputedLengthShowsTheRealLength) {
    testing::TempDir dir;
    const std::string path =
        dir.Write("a.jpg", PhotoBytes({.Make = "X", .Model = "Y", .FocalLength = Fraction{71, 10}})).string();
    AnalysisSettings settings;
    settings.Lens.RealLength = true;
    metadata::TimgData reader(true, ',');
    const FileResult result = test::ReadAndDerive(path, settings, reader);
    EXPECT_EQ(result.PathLine, "____7 mm = (real length) 7,10 mm - " + path + " - Make: X - Model: Y");
}

TEST(ReadAndDerive, LineOnlyForFilesWithAValueOfTheQuantity) {
    testing::TempDir dir;
    const std::string path = dir.Write("a.jpg", PhotoBytes({.Make = "X", .Focal35 = 50})).string();
    AnalysisSettings settings;
    settings.PathList = Quantity::Iso;
    metadata::TimgData reader;
    const FileResult result = test::ReadAndDerive(path, settings, reader);
    EXPECT_EQ(result.Focal, "___50");
    EXPECT_EQ(result.Iso, "");
    EXPECT_EQ(result.PathLine, "");
}

TEST(ReadAndDerive, FifoNamedLikeAPhotoIsNotOpened) {
    testing::TempDir dir;
    const auto fifo = dir.path() / "pipe.jpg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    metadata::TimgData reader;
    const FileResult result = test::ReadAndDerive(fifo.string(), AnalysisSettings{}, reader);
    EXPECT_TRUE(result.Passed);
    EXPECT_EQ(result.Focal + result.Iso + result.Aperture + result.Shutter + result.PathLine, "");
}

}  // namespace
}  // namespace quorvela::analysis
