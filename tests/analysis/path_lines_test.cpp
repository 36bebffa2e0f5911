#include "analysis/path_lines.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "analysis/file_analysis.h"
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

TEST(PathLines, PiecesOfAFile) {
    metadata::TimgData reader(true, ',');
    reader.ReadJpegBytes("p.jpg", PhotoBytes(kCanon));
    EXPECT_EQ(MakeModelText(reader), " - Make: Canon - Model: Canon EOS 300D DIGITAL");
    EXPECT_EQ(Debuginfo(reader), "52,00 mm");
    EXPECT_EQ(Show2MakerNotes(reader, true), "");  // not decoded

    test::AddMakerNotes(reader, {{"Record Mode", "Normal"}, {"Self Timer", "Off"}});
    EXPECT_EQ(Show2MakerNotes(reader, false), "");
    EXPECT_EQ(Show2MakerNotes(reader, true),
              " - Maker Notes -->  Label: RECORD MODE Data: NORMAL -  Label: SELF TIMER Data: OFF - ");

    reader.ReadJpegBytes("p.jpg", PhotoBytes({.Model = "X1", .FocalLength = Fraction{71, 10}}));
    EXPECT_EQ(MakeModelText(reader), " -  - Model: X1");
    EXPECT_EQ(Debuginfo(reader), "(real length) 7,10 mm");

    reader.ReadJpegBytes("p.jpg", PhotoBytes({.FNumber = Fraction{28, 10}}));
    EXPECT_EQ(MakeModelText(reader), "");
}

TEST(PathLines, MetadataTextsBecomeUtf8) {
    metadata::TimgData reader;
    reader.ReadJpegBytes("p.jpg", PhotoBytes({.Make = "Caf\xE9", .Model = "M"}));
    EXPECT_EQ(MakeModelText(reader), " - Make: Caf\xC3\xA9 - Model: M");
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
TEST(AnalyseFile, GoldenLinesForEachQuantity) {
    testing::TempDir dir;
    const std::string path = dir.Write("IMG_0001.JPG", PhotoBytes(kCanon)).string();
    const std::string mm = " - Make: Canon - Model: Canon EOS 300D DIGITAL";
    struct Case {
        PathListQuantity quantity;
        bool steps;
        bool fraction;
        std::string line;
    };
    const Case cases[] = {
        {PathListQuantity::FocalLength, true, false, "___50 mm = 52,00 mm - " + path + mm},
        {PathListQuantity::FocalLength, false, false, "___52 mm - " + path + mm},
        {PathListQuantity::Iso, true, false, "ISO _100 - " + path + " " + mm},
        {PathListQuantity::Aperture, true, false, "_F5,6 - " + path + " " + mm},
        {PathListQuantity::Shutter, true, true, "__1/125 sec - " + path + " " + mm},
        {PathListQuantity::Shutter, true, false, "__0,008 sec - " + path + " " + mm},
        {PathListQuantity::None, true, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.quantity));
        AnalysisSettings settings;
        settings.PathList = c.quantity;
        settings.UseSteps = c.steps;
        settings.FractionShutter = c.fraction;
        settings.AddMakerNotes = true;  // nothing decoded: no maker-note text
        metadata::TimgData reader(true, ',');
        const FileResult result = AnalyseFile(path, settings, {}, reader);
        EXPECT_EQ(result.PathLine, c.line);
        EXPECT_EQ(result.Focal, c.steps ? "___50" : "___52");
        EXPECT_EQ(result.Iso, "___100");
        EXPECT_EQ(result.Aperture, "__F5,6");
    }
}

TEST(PathLines, EveryKindOfLineBreakBecomesAQuestionMark) {
    EXPECT_EQ(OnOneLine("a\rb\nc\r\nd"), "a?b?c??d");
    EXPECT_EQ(OnOneLine("x\xE2\x80\xA8y\xE2\x80\xA9z"), "x?y?z");
    // Other characters of that block, and a sequence cut short at the end, stay as they are.
    EXPECT_EQ(OnOneLine("\xE2\x80\x94\xE2\x80"), "\xE2\x80\x94\xE2\x80");
}

TEST(AnalyseFile, SteppedLineOfAComputedLengthShowsTheRealLength) {
    testing::TempDir dir;
    const std::string path =
        dir.Write("a.jpg", PhotoBytes({.Make = "X", .Model = "Y", .FocalLength = Fraction{71, 10}})).string();
    AnalysisSettings settings;
    settings.Lens.RealLength = true;
    metadata::TimgData reader(true, ',');
    const FileResult result = AnalyseFile(path, settings, {}, reader);
    EXPECT_EQ(result.PathLine, "____7 mm = (real length) 7,10 mm - " + path + " - Make: X - Model: Y");
}

TEST(AnalyseFile, LineOnlyForFilesWithAValueOfTheQuantity) {
    testing::TempDir dir;
    const std::string path = dir.Write("a.jpg", PhotoBytes({.Make = "X", .Focal35 = 50})).string();
    AnalysisSettings settings;
    settings.PathList = PathListQuantity::Iso;
    metadata::TimgData reader;
    const FileResult result = AnalyseFile(path, settings, {}, reader);
    EXPECT_EQ(result.Focal, "___50");
    EXPECT_EQ(result.Iso, "");
    EXPECT_EQ(result.PathLine, "");
}

TEST(AnalyseFile, FifoNamedLikeAPhotoIsNotOpened) {
    testing::TempDir dir;
    const auto fifo = dir.path() / "pipe.jpg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    metadata::TimgData reader;
    const FileResult result = AnalyseFile(fifo.string(), AnalysisSettings{}, {}, reader);
    EXPECT_TRUE(result.Passed);
    EXPECT_EQ(result.Focal + result.Iso + result.Aperture + result.Shutter + result.PathLine, "");
}

}  // namespace
}  // namespace quorvela::analysis
