// Days, the period and lens filters and the lens tally, on photos written with chosen tags.

#include <gtest/gtest.h>

#include "analysis/analysis_run.h"
#include "analysis/dates.h"
#include "analysis/filter.h"
#include "metadata/makernotes/tables.h"
#include "photo.h"
#include "support/test_files.h"

namespace quorvela::analysis {
namespace {

using namespace std::string_literals;

TEST(ParseDay, OnlyRealDaysWrittenInFull) {
    EXPECT_EQ(ParseDay("2024-02-29"), (CalendarDay{2024, 2, 29}));
    for (const char* text : {"2026-02-30", "2025-02-29", "1900-02-29", "2026-6-1", "2026-06-01 ", "2026/06/01",
                             "2026-13-01", "2026-00-10", "0000-01-01", ""}) {
        EXPECT_FALSE(ParseDay(text)) << text;
    }
    EXPECT_EQ(ParseExifDay("2026:08:31 23:59:59\0"s), (CalendarDay{2026, 8, 31}));
    for (const char* text : {"0000:00:00 00:00:00", "    :  :     :  :  ", "2026:08:31 25:00:00", "2026-08-31 10:00:00",
                             "2026:08:3", "2026:02:30 10:00:00"}) {
        EXPECT_FALSE(ParseExifDay(text)) << text;
    }
}

TEST(NikonLensName, ZoomPrimeAndEqualApertures) {
    using metadata::NikonLensName;
    EXPECT_EQ(NikonLensName(18, 55, 3.5, 5.6), "18-55mm f/3.5-5.6");
    EXPECT_EQ(NikonLensName(50, 50, 1.8, 1.8), "50mm f/1.8");
    EXPECT_EQ(NikonLensName(6.5, 19.5, 2.8, 2.8), "6.5-19.5mm f/2.8");
    EXPECT_EQ(NikonLensName(0, 55, 3.5, 5.6), "");
}

class LensPeriodRun : public ::testing::Test {
  protected:
    void Add(const std::string& name, std::string date, std::string lens = "EF70-200mm f/2.8L") {
        dir_.Write(
            name,
            test::PhotoBytes(
                {.Make = "Canon", .Focal35 = 100, .DateTimeOriginal = std::move(date), .LensModel = std::move(lens)}));
    }
    AnalysisResult Run(FilterFields filter, bool filterOn = true) {
        AnalysisSettings settings;
        settings.RootFolder = dir_.path().string();
        settings.FilterOn = filterOn;
        settings.Filter = std::move(filter);
        AnalysisObserver observer;
        return StartAnalyzing(settings, RunEnvironment{}, observer);
    }
    testing::TempDir dir_;
};

TEST_F(LensPeriodRun, PeriodTakesItsFirstAndLastDayAndLeavesUndatedPhotosOut) {
    Add("before.jpg", "2026:05:31 23:59:59");
    Add("first.jpg", "2026:06:01 00:00:00");
    Add("last.jpg", "2026:08:31 23:59:59");
    Add("after.jpg", "2026:09:01 00:00:00");
    Add("zeros.jpg", "0000:00:00 00:00:00");
    Add("feb30.jpg", "2026:02:30 12:00:00");
    dir_.Write("none.jpg", test::PhotoBytes({.Make = "Canon", .Focal35 = 100}));
    const AnalysisResult both = Run({.PeriodFrom = "2026-06-01", .PeriodTo = "2026-08-31"});
    EXPECT_EQ(both.FilesAnalysed, 2);
    EXPECT_NE(both.Messages.back().find("\nPeriod: 2026-06-01 to 2026-08-31; 3 photos without a date left out"),
              std::string::npos)
        << both.Messages.back();
    EXPECT_EQ(Run({.PeriodFrom = "2026-06-01"}).FilesAnalysed, 3);
    EXPECT_EQ(Run({.PeriodTo = "2026-08-31"}).FilesAnalysed, 3);
    EXPECT_EQ(Run({.PeriodFrom = "2026-08-31", .PeriodTo = "2026-08-31"}).FilesAnalysed, 1);
    EXPECT_EQ(Run({.Make = "canon"}).FilesAnalysed, 7);  // no period: undated photos take part
    const std::pair<FilterFields, std::string_view> refusals[] = {
        {{.PeriodFrom = "2026-6-1"}, kPeriodRefused},
        {{.PeriodTo = "2026-02-30"}, kPeriodRefused},
        {{.PeriodFrom = "2026-09-01", .PeriodTo = "2026-08-31"}, kPeriodReversed},
    };
    for (const auto& [bad, said] : refusals) {
        const AnalysisResult refused = Run(bad);
        EXPECT_EQ(refused.Outcome, RunOutcome::Refused);
        EXPECT_EQ(refused.Messages, std::vector<std::string>{std::string(said)});
    }
}

TEST_F(LensPeriodRun, LensFilterAloneAndTheTallyMostUsedFirst) {
    Add("1.jpg", "2026:06:01 10:00:00", "b lens");
    Add("2.jpg", "2026:06:01 10:00:00", "C lens");
    Add("3.jpg", "2026:06:01 10:00:00", "C lens");
    Add("4.jpg", "2026:06:01 10:00:00", "a lens");
    Add("5.jpg", "2026:06:01 10:00:00", "EF16-35mm f/4L  \0\0"s);
    Add("6.jpg", "2026:06:01 10:00:00", "x\r\nlens");  // a line break would split a path-list line
    const AnalysisResult all = Run({}, false);
    std::vector<std::string> rows;
    for (const auto& row : all.Tables[Quantity::Lens]) rows.push_back(row.Label + "x" + std::to_string(row.Count));
    EXPECT_EQ(rows, (std::vector<std::string>{"C lensx2", "a lensx1", "b lensx1", "EF16-35mm f/4Lx1", "x??lensx1"}));
    const AnalysisResult lens = Run({.Lens = "f/4l"});
    EXPECT_EQ(lens.Outcome, RunOutcome::Finished);
    EXPECT_EQ(lens.FilesAnalysed, 1);
}

}  // namespace
}  // namespace quorvela::analysis
