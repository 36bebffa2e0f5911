// A photo whose focal length lies beyond every category is still an analysed photo: the run
// counts it and does not tell the user that nothing matched.

#include <gtest/gtest.h>

#include <algorithm>

#include "analysis/analysis_run.h"
#include "photo.h"
#include "support/test_files.h"

namespace quorvela::analysis {
namespace {

TEST(AnalysisRun, LengthBeyondEveryCategoryStillCountsAsAnalysed) {
    struct Case {
        const char* name;
        bool filterOn;
    };
    // 11113 mm with steps of 1: the categories end at 10000.
    const Case cases[] = {{"filter on, the photo matches", true}, {"filter off", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempDir dir;
        dir.Write("a.jpg", test::PhotoBytes({.Make = "Canon", .Model = "G2", .Focal35 = 11113}));
        AnalysisSettings settings;
        settings.RootFolder = dir.path().string();
        settings.StepSize = 1;
        settings.FilterOn = c.filterOn;
        settings.Filter.Make = "canon";
        AnalysisObserver observer;
        const AnalysisResult result = StartAnalyzing(settings, RunEnvironment{}, observer);
        EXPECT_TRUE(result.Tables[Quantity::FocalLength].empty());
        EXPECT_EQ(result.FilesAnalysed, 1);
        EXPECT_EQ(result.RunSummaryText, "Files analyzed: 1 out of total: 1");
        for (const std::string_view wrong : {kNoFilterMatch, kNoExifInfo}) {
            EXPECT_EQ(std::count(result.Messages.begin(), result.Messages.end(), wrong), 0) << wrong;
        }
    }
}

}  // namespace
}  // namespace quorvela::analysis
