// "analyse --chart": the charts written from a run's counts without a window.
#include "cli/chart_export.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/test_files.h"

namespace quorvela::cli {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The height a PNG's header gives.
std::uint32_t PngHeight(const std::string& bytes) {
    std::uint32_t height = 0;
    for (std::size_t i = 20; i < 24 && i < bytes.size(); ++i)
        height = height << 8U | static_cast<std::uint8_t>(bytes[i]);
    return height;
}

analysis::AnalysisResult SomeRun() {
    analysis::AnalysisResult result;
    result.FilesAnalysed = 7;
    result.Tables[Quantity::FocalLength] = {{"0050", "50", 4}, {"0085", "85", 3}};
    result.Tables[Quantity::Iso] = {{"100", "100", 7}};
    result.Tables[Quantity::Lens] = {{"EF50mm f/1.8", "EF50mm f/1.8", 7}};
    return result;
}

TEST(ChartRequests, AreQuantityAndFile) {
    struct Case {
        std::vector<std::string> requests;
        bool accepted;
    };
    const Case cases[] = {
        {{}, true},
        {{"focal=a.png", "iso=b.svg", "aperture=c.bmp", "shutter=d", "lens=e.png"}, true},
        {{"focal"}, false},        // no file
        {{"focal="}, false},       // an empty file
        {{"zoom=a.png"}, false},   // no such chart
        {{"Focal=a.png"}, false},  // names are as --path-list writes them
        {{"=a.png"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requests.empty() ? std::string("none") : c.requests.front());
        const std::string problem = CheckChartRequests(c.requests);
        EXPECT_EQ(problem.empty(), c.accepted) << problem;
        if (!c.accepted) {
            EXPECT_NE(problem.find(c.requests.back()), std::string::npos) << problem;
        }
    }
}

TEST(ChartImages, AreWrittenInTheFormatOfTheirNamesWithACaption) {
    const testing::TempDir dir;
    analysis::AnalysisSettings settings;
    settings.RootFolder = "/photos";
    const std::vector<std::string> requests{"focal=" + (dir.path() / "focal.png").string(),
                                            "lens=" + (dir.path() / "lens.svg").string(),
                                            "iso=" + (dir.path() / "iso.bmp").string()};
    ASSERT_EQ(WriteChartImages(settings, SomeRun(), requests), "");
    const std::string png = Bytes(dir.path() / "focal.png");
    EXPECT_EQ(png.substr(0, 4), "\x89PNG");
    // The chart is 700 pixels high; the caption stands under it.
    EXPECT_GT(PngHeight(png), 700U);
    const std::string svg = Bytes(dir.path() / "lens.svg");
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    // The caption is the SVG's description too: folder, mode, filter, photos.
    for (const char* words : {"/photos", "35 mm equivalent", "no filter", "7 photos"}) {
        EXPECT_NE(svg.find(words), std::string::npos) << words;
    }
    EXPECT_EQ(Bytes(dir.path() / "iso.bmp").substr(0, 2), "BM");
}

TEST(ChartImages, ThatCannotBeWrittenAreNamed) {
    const testing::TempDir dir;
    const std::string missing = (dir.path() / "no-such-folder" / "focal.png").string();
    const std::string problem =
        WriteChartImages({}, SomeRun(), {"focal=" + missing, "iso=" + (dir.path() / "iso.png").string()});
    EXPECT_EQ(problem, "the chart could not be written: " + missing);
    EXPECT_TRUE(fs::exists(dir.path() / "iso.png"));  // the others are still written
}

}  // namespace
}  // namespace quorvela::cli
