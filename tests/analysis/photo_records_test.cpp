// Photo records and the coverage count of whole runs.

#include <gtest/gtest.h>

#include <algorithm>

#include "analysis/analysis_run.h"
#include "photo.h"
#include "support/test_files.h"

namespace quorvela::analysis {
namespace {

using test::Fraction;

class Recorder : public AnalysisObserver {
  public:
    std::vector<std::string> Order;
    std::vector<PhotoRecord> Photos;
    void PhotosReady(const std::vector<PhotoRecord>& photos) override {
        Order.emplace_back("photos");
        Photos = photos;
    }
    void PathListReady(const std::vector<std::string>&, const std::vector<std::string>&) override {
        Order.emplace_back("paths");
    }
};

class RecordsRun : public ::testing::Test {
  protected:
    void SetUp() override {
        // Real lengths 18, 35 and 52.5 mm; 35 mm equivalents 27, 53 and 79 mm; one without.
        dir_.Write("a.jpg", test::PhotoBytes({.Make = "Nikon",
                                              .FocalLength = Fraction{18, 1},
                                              .Focal35 = 27,
                                              .FNumber = Fraction{35, 10},
                                              .ExposureTime = Fraction{1, 60},
                                              .Iso = std::vector<std::uint16_t>{200},
                                              .LensModel = "18-55mm"}));
        dir_.Write("b.jpg", test::PhotoBytes({.Make = "Canon", .FocalLength = Fraction{35, 1}, .Focal35 = 53}));
        dir_.Write("c.jpg", test::PhotoBytes({.Make = "Nikon", .FocalLength = Fraction{105, 2}, .Focal35 = 79}));
        dir_.Write("d.jpg", test::PhotoBytes({.Make = "Nikon"}));
    }
    AnalysisResult Run(AnalysisSettings settings, Recorder& recorder, int jobs = 2, bool keep = true) {
        settings.RootFolder = dir_.path().string();
        RunEnvironment environment;
        environment.Jobs = jobs;
        environment.KeepPhotoRecords = keep;
        return StartAnalyzing(settings, environment, recorder);
    }
    testing::TempDir dir_;
};

TEST_F(RecordsRun, CountedPhotosInFileOrderAndTheirLinesAsTheRunMakesThem) {
    AnalysisSettings settings;
    settings.FilterOn = true;
    settings.Filter.Make = "nikon";
    settings.AddMakerNotes = true;
    Recorder one;
    Run(settings, one, 1);
    for (const bool steps : {true, false}) {
        settings.UseSteps = steps;
        for (const Quantity q : kQuantities) {
            settings.PathList = q;
            Recorder recorder;
            const AnalysisResult result = Run(settings, recorder);
            EXPECT_EQ(recorder.Order, (std::vector<std::string>{"photos", "paths"}));
            ASSERT_EQ(recorder.Photos.size(), 3U);  // b.jpg is a Canon
            std::vector<std::string> lines;
            for (std::size_t i = 0; i < 3; ++i) {
                EXPECT_EQ(recorder.Photos[i].Path, one.Photos[i].Path);  // file order, however many readers
                std::string line = LineFor(recorder.Photos[i], q, settings);
                if (!line.empty()) lines.push_back(std::move(line));
            }
            std::sort(lines.begin(), lines.end());
            std::vector<std::string> expected = result.PathLines;
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(lines, expected) << IndexOf(q);
        }
    }
    Recorder none;
    Run(settings, none, 2, false);
    EXPECT_TRUE(none.Order == std::vector<std::string>{"paths"});
}

TEST_F(RecordsRun, CoverageInEquivalentAndRealLengthModesWithStepsOn) {
    AnalysisSettings settings;
    settings.UseSteps = true;  // 53 and 79 chart as 50 and 80; coverage counts the lengths themselves
    settings.Coverage = CoverageRange{27, 53, false};
    Recorder recorder;
    EXPECT_EQ(Run(settings, recorder).Coverage.value().Photos, 2);
    EXPECT_EQ(Run(settings, recorder).Coverage.value().Of, 3);
    settings.Lens.RealLength = true;  // 18, 35, 53
    EXPECT_EQ(Run(settings, recorder).Coverage.value().Photos, 2);
    settings.Coverage = CoverageRange{50, 50, true};  // 47.5 to 52.5: 53 is out
    EXPECT_EQ(Run(settings, recorder).Coverage.value().Photos, 0);
    settings.Coverage.reset();
    EXPECT_FALSE(Run(settings, recorder).Coverage);
}

}  // namespace
}  // namespace quorvela::analysis
