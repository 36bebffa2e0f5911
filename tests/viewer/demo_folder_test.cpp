#include "demo_folder.h"

#include <gtest/gtest.h>

#include <set>

#include "analysis/analysis_run.h"
#include "metadata/img_data.h"
#include "support/test_files.h"
#include "viewer/exif_summary.h"

namespace quorvela::samples {
namespace {

TEST(DemoFolder, EveryPhotoReadsBackWithItsCamera) {
    const testing::TempDir dir;
    WriteDemoFolder(dir.path());
    metadata::TimgData reader;
    std::set<std::string> makes;
    for (const DemoPhoto& photo : DemoPhotos()) {
        SCOPED_TRACE(photo.Name);
        ASSERT_TRUE(reader.ReadJpegFile((dir.path() / photo.Name).string()));
        ASSERT_TRUE(reader.HasExifBlock());
        EXPECT_EQ(reader.ExifDirectory->TagTextByName("Make"), photo.Make);
        EXPECT_EQ(reader.ExifDirectory->TagTextByName("Model"), photo.Model);
        makes.insert(photo.Make);
    }
    EXPECT_GE(makes.size(), 5U);
}

TEST(DemoFolder, ARunCountsEveryPhotoAndSpreadsEachChart) {
    const testing::TempDir dir;
    WriteDemoFolder(dir.path());
    analysis::AnalysisSettings settings;
    settings.RootFolder = dir.path().string();
    settings.UseSteps = false;
    analysis::RunEnvironment environment;
    const equivalence::EquivalentList table = {"[MAKE]Canon[MODEL]CanonPowerShotG2[REAL_LENS]7[35MM_EQUIVALENT]34.07"};
    environment.Table = &table;
    environment.Jobs = 1;
    analysis::AnalysisObserver observer;
    const auto result = analysis::StartAnalyzing(settings, environment, observer);
    EXPECT_EQ(result.FilesFound, static_cast<int>(DemoPhotos().size()));
    EXPECT_EQ(result.FilesAnalysed, result.FilesFound);
    // Every chart but the lens chart: the demo photos name no lens. Ratings: unrated, 1 to 5.
    for (const Quantity q : kQuantities) {
        if (q == Quantity::Lens) continue;
        EXPECT_GE(result.Tables[q].size(), 5U);
    }
    EXPECT_EQ(result.PathLines.size(), DemoPhotos().size());
}

TEST(DemoFolder, MakerNoteIsoAndTurnedPhoto) {
    const testing::TempDir dir;
    WriteDemoFolder(dir.path());
    metadata::TimgData reader;
    const std::string nikon = viewer::GetExifInfStr(reader, (dir.path() / "old_camera/harbour_001.jpg").string(), {});
    EXPECT_EQ(nikon.substr(nikon.rfind('\r')), "\rISO: 200") << nikon;
    const std::string casio = viewer::GetExifInfStr(reader, (dir.path() / "old_camera/harbour_002.jpg").string(), {});
    EXPECT_EQ(casio.substr(casio.rfind('\r')), "\rISO: 100") << casio;
    int turned = 0;
    for (const DemoPhoto& photo : DemoPhotos()) turned += photo.Orientation != 1 ? 1 : 0;
    EXPECT_EQ(turned, 1);
}

}  // namespace
}  // namespace quorvela::samples
