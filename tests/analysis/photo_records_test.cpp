// Photo records and the coverage count of whole runs.

#include <gtest/gtest.h>

#include <algorithm>

#include "analysis/analysis_run.h"
#include "photo.h"
#include "support/test_files.h"

namespace quorvela::analysis {
namespace {

using test::Fraction;
using test::PhotoBytes;

class Recorder : public AnalysisObserver {
  public:
    std::vector<std::string> Order;
    std::vector<PhotoRecord> Photos;
    int Calls = 0;
    void PhotosReady(const std::vector<PhotoRecord>& photos) override {
        Order.emplace_back("photos");
        Photos = photos;
        ++Calls;
    }
    void PathListReady(const std::vector<std::string>&, const std::vector<std::string>&) override {
        Order.emplace_back("paths");
    }
};

class RecordsRun : public ::testing::Test {
  protected:
    void SetUp() override {
        // Real lengths 18, 35 and 52.5 mm; 35 mm equivalents 27, 53 and 79 mm.
        dir_.Write("a.jpg", PhotoBytes({.Make = "Nikon", .FocalLength = Fraction{18, 1}, .Focal35 = 27,
                                        .FNumber = Fraction{35, 10}, .ExposureTime = Fraction{1, 60},
                                        .Iso = std::vector<std::uint16_t>{200}, .LensModel = "18-55mm"}));
        dir_.Write("b.jpg", PhotoBytes({.Make = "Canon", .FocalLength = Fraction{35, 1}, .Focal35 = 53}));
        dir_.Write("c.jpg", PhotoBytes({.Make = "Nikon", .FocalLength = Fraction{105, 2}, .Focal35 = 79}));
        dir_.Write("d.jpg", PhotoBytes({.Make = "Nikon"}));
    }

    AnalysisResult Run(AnalysisSettings settings, Recorder& recorder, bool keep = true, int jobs = 2) {
        settings.RootFolder = dir_.path().string();
        RunEnvironment environment;
        environment.Jobs = jobs;
        environment.KeepPhotoRecords = keep;
        return StartAnalyzing(settings, environment, recorder);
    }

    testing::TempDir dir_;
};

TEST_F(RecordsRun, CountedPhotosInFileOrderBeforeThePathList) {
    AnalysisSettings settings;
    settings.FilterOn = true;
    settings.Filter.Make = "nikon";
    Recorder recorder;
    Run(settings, recorder);
    EXPECT_EQ(recorder.Order, (std::vector<std::string>{"photos", "paths"}));
    ASSERT_EQ(recorder.Photos.size(), 3U);
    const auto named = [&](const std::string& name) {
        for (const PhotoRecord& photo : recorder.Photos) {
            if (photo.Path == (dir_.path() / name).string()) return photo;
        }
        ADD_FAILURE() << name;
        return PhotoRecord{};
    };
    const PhotoRecord a = named("a.jpg");
    EXPECT_EQ(a.FocalMm, 27);
    EXPECT_EQ(a.Categories[static_cast<std::size_t>(Quantity::Lens)], "18-55mm");
    EXPECT_EQ(a.Categories[static_cast<std::size_t>(Quantity::Iso)], "___200");
    EXPECT_NE(a.MakeModel.find("Nikon"), std::string::npos);
    const PhotoRecord d = named("d.jpg");
    EXPECT_EQ(d.FocalMm, -1);
    EXPECT_EQ(d.Categories[static_cast<std::size_t>(Quantity::Lens)], "unknown lens");
    EXPECT_EQ(d.Categories[static_cast<std::size_t>(Quantity::FocalLength)], "");

    // File order: the same whether one thread reads or several.
    Recorder alone;
    Run(settings, alone, true, 1);
    ASSERT_EQ(alone.Photos.size(), recorder.Photos.size());
    for (std::size_t i = 0; i < alone.Photos.size(); ++i) EXPECT_EQ(alone.Photos[i].Path, recorder.Photos[i].Path);

    Recorder none;
    Run(settings, none, false);
    EXPECT_EQ(none.Calls, 0);
}

TEST_F(RecordsRun, LineForGivesTheRunsOwnPathLines) {
    for (const bool steps : {true, false}) {
        for (const auto shown : {PathListQuantity::FocalLength, PathListQuantity::Iso, PathListQuantity::Aperture,
                                 PathListQuantity::Shutter, PathListQuantity::Lens}) {
            SCOPED_TRACE(static_cast<int>(shown));
            AnalysisSettings settings;
            settings.UseSteps = steps;
            settings.PathList = shown;
            settings.AddMakerNotes = true;
            Recorder recorder;
            const AnalysisResult result = Run(settings, recorder);
            std::vector<std::string> lines;
            for (const PhotoRecord& photo : recorder.Photos) {
                if (std::string line = LineFor(photo, static_cast<Quantity>(shown), settings); !line.empty())
                    lines.push_back(std::move(line));
            }
            std::sort(lines.begin(), lines.end());
            std::vector<std::string> expected = result.PathLines;
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(lines, expected);
            EXPECT_FALSE(lines.empty());
        }
    }
}

TEST_F(RecordsRun, CoverageInEquivalentAndRealLengthModesWithStepsOn) {
    AnalysisSettings settings;
    settings.UseSteps = true;  // 53 and 79 chart as 50 and 80; coverage counts the lengths themselves
    settings.Coverage = CoverageRange{27, 53, false};
    Recorder recorder;
    AnalysisResult result = Run(settings, recorder);
    ASSERT_TRUE(result.Coverage);
    EXPECT_EQ(result.Coverage->Photos, 2);
    EXPECT_EQ(result.Coverage->Of, 3);
    settings.Lens.RealLength = true;  // 18, 35, 53
    result = Run(settings, recorder);
    ASSERT_TRUE(result.Coverage);
    EXPECT_EQ(result.Coverage->Photos, 2);
    settings.Coverage = CoverageRange{50, 50, true};  // 47.5 to 52.5: 53 is out
    result = Run(settings, recorder);
    EXPECT_EQ(result.Coverage->Photos, 0);
    settings.Coverage.reset();
    EXPECT_FALSE(Run(settings, recorder).Coverage);
}

}  // namespace
}  // namespace quorvela::analysis
