// Lens text, the period filter and the lens tally on photos written with chosen tags.

#include <gtest/gtest.h>

#include <filesystem>

#include "analysis/analysis_run.h"
#include "analysis/filter.h"
#include "analysis/lens_and_date.h"
#include "photo.h"
#include "support/test_files.h"

namespace quorvela::analysis {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using test::PhotoBytes;
using test::PhotoTags;

PhotoTags Dated(std::string date, std::string lens = "EF 70-200mm f/2.8L") {
    return {.Make = "Canon", .Focal35 = 100, .DateTimeOriginal = std::move(date), .LensModel = std::move(lens)};
}

TEST(ParseDay, OnlyRealDaysWrittenInFull) {
    EXPECT_EQ(ParseDay("2026-06-01"), (CalendarDay{2026, 6, 1}));
    EXPECT_EQ(ParseDay("2024-02-29"), (CalendarDay{2024, 2, 29}));
    for (const char* text : {"2026-02-30", "2025-02-29", "1900-02-29", "2026-6-1", "2026-06-01 ", "2026/06/01",
                             "2026-13-01", "2026-00-10", "0000-01-01", "", "2026-06-0x"}) {
        EXPECT_FALSE(ParseDay(text)) << text;
    }
}

TEST(ParseExifDay, DateWithOrWithoutAWellFormedTime) {
    EXPECT_EQ(ParseExifDay("2026:08:31 23:59:59"), (CalendarDay{2026, 8, 31}));
    EXPECT_EQ(ParseExifDay("2026:08:31"), (CalendarDay{2026, 8, 31}));
    EXPECT_EQ(ParseExifDay(std::string("2026:08:31 10:00:00\0", 20)), (CalendarDay{2026, 8, 31}));
    for (const char* text : {"0000:00:00 00:00:00", "    :  :     :  :  ", "2026:08:31 25:00:00", "2026-08-31 10:00:00",
                             "2026:08:3", "2026:08:31x10:00:00", "2026:02:30 10:00:00"}) {
        EXPECT_FALSE(ParseExifDay(text)) << text;
    }
}

TEST(NikonLensName, ZoomPrimeAndEqualApertures) {
    EXPECT_EQ(NikonLensName(18, 55, 3.5, 5.6), "18-55mm f/3.5-5.6");
    EXPECT_EQ(NikonLensName(50, 50, 1.8, 1.8), "50mm f/1.8");
    EXPECT_EQ(NikonLensName(28, 70, 2.8, 2.8), "28-70mm f/2.8");
    EXPECT_EQ(NikonLensName(6.5, 19.5, 2.8, 0), "6.5-19.5mm f/2.8");
    EXPECT_EQ(NikonLensName(18, 55, 0, 0), "18-55mm");
    EXPECT_EQ(NikonLensName(0, 55, 3.5, 5.6), "");
}

class LensPeriodRun : public ::testing::Test {
  protected:
    void Add(const std::string& name, const PhotoTags& tags) { dir_.Write(name, PhotoBytes(tags)); }

    AnalysisResult Run(FilterFields filter, bool filterOn = true) {
        AnalysisSettings settings;
        settings.RootFolder = dir_.path().string();
        settings.FilterOn = filterOn;
        settings.Filter = std::move(filter);
        settings.UseSteps = false;
        RunEnvironment environment;
        environment.Jobs = 1;
        AnalysisObserver observer;
        return StartAnalyzing(settings, environment, observer);
    }

    testing::TempDir dir_;
};

TEST_F(LensPeriodRun, PeriodTakesItsFirstAndLastDayAndLeavesUndatedPhotosOut) {
    Add("before.jpg", Dated("2026:05:31 23:59:59"));
    Add("first.jpg", Dated("2026:06:01 00:00:00"));
    Add("last.jpg", Dated("2026:08:31 23:59:59"));
    Add("after.jpg", Dated("2026:09:01 00:00:00"));
    Add("zeros.jpg", Dated("0000:00:00 00:00:00"));
    Add("feb30.jpg", Dated("2026:02:30 12:00:00"));
    Add("none.jpg", {.Make = "Canon", .Focal35 = 100});
    const AnalysisResult both = Run({.PeriodFrom = "2026-06-01", .PeriodTo = "2026-08-31"});
    EXPECT_EQ(both.FilesAnalysed, 2);
    ASSERT_FALSE(both.Messages.empty());
    EXPECT_NE(both.Messages.back().find("\r\r Period: 2026-06-01 to 2026-08-31; 3 photos without a date left out"),
              std::string::npos)
        << both.Messages.back();
    EXPECT_EQ(Run({.PeriodFrom = "2026-06-01"}).FilesAnalysed, 3);
    EXPECT_EQ(Run({.PeriodTo = "2026-08-31"}).FilesAnalysed, 3);
    EXPECT_EQ(Run({.PeriodFrom = "2026-08-31", .PeriodTo = "2026-08-31"}).FilesAnalysed, 1);
    // Without a period an undated photo takes part, also in a filtered run.
    EXPECT_EQ(Run({.Make = "canon"}).FilesAnalysed, 7);
}

TEST_F(LensPeriodRun, UnusablePeriodRefusesTheRunWithItsOwnMessage) {
    Add("a.jpg", Dated("2026:06:01 10:00:00"));
    for (const FilterFields& fields : {FilterFields{.PeriodFrom = "2026-6-1"}, FilterFields{.PeriodTo = "2026-02-30"},
                                       FilterFields{.PeriodFrom = "2026-09-01", .PeriodTo = "2026-08-31"}}) {
        const AnalysisResult result = Run(fields);
        EXPECT_EQ(result.Outcome, RunOutcome::Refused);
        ASSERT_EQ(result.Messages.size(), 1U);
        EXPECT_EQ(result.Messages[0], kPeriodRefused);
    }
}

TEST_F(LensPeriodRun, LensFilterAloneIsAFilterAndMatchesPartOfTheText) {
    Add("tele.jpg", Dated("2026:06:01 10:00:00", "EF70-200mm f/2.8L IS USM"));
    Add("wide.jpg", Dated("2026:06:01 10:00:00", "EF16-35mm f/4L  \0\0"s));
    Add("none.jpg", {.Make = "Canon", .Focal35 = 24});
    const AnalysisResult tele = Run({.Lens = "70-200"});
    EXPECT_EQ(tele.Outcome, RunOutcome::Finished);
    EXPECT_EQ(tele.FilesAnalysed, 1);
    EXPECT_NE(tele.Messages.back().find("\r\r Lens: 70-200"), std::string::npos) << tele.Messages.back();
    EXPECT_EQ(tele.Messages.back().find("Period"), std::string::npos);
    EXPECT_EQ(Run({.Lens = "UNKNOWN LENS"}).FilesAnalysed, 1);
    EXPECT_EQ(Run({.Lens = "f/4l"}).FilesAnalysed, 1);
}

TEST_F(LensPeriodRun, LensTallyMostUsedFirstTiesInCollationOrder) {
    Add("1.jpg", Dated("2026:06:01 10:00:00", "b lens"));
    Add("2.jpg", Dated("2026:06:01 10:00:00", "C lens"));
    Add("3.jpg", Dated("2026:06:01 10:00:00", "C lens"));
    Add("4.jpg", Dated("2026:06:01 10:00:00", "a lens"));
    Add("5.jpg", Dated("2026:06:01 10:00:00", "EF16-35mm f/4L   "));
    const AnalysisResult result = Run({}, false);
    std::vector<std::string> rows;
    for (const auto& row : result.Tables[static_cast<std::size_t>(Quantity::Lens)])
        rows.push_back(row.Label + "x" + std::to_string(row.Count));
    EXPECT_EQ(rows, (std::vector<std::string>{"C lensx2", "a lensx1", "b lensx1", "EF16-35mm f/4Lx1"}));
}

TEST(FilterSummaryText, UnchangedWithoutLensOrPeriod) {
    const FilterFields fields{.Make = "Canon", .Model = "G2", .MakerNoteLabel = "L", .MakerNoteData = "D"};
    EXPECT_EQ(FilterSummaryText(3, 9, fields),
              "Filtering selected, 3 files out of a total of 9 files are a match for the filter strings.\r\r Make: "
              "Canon\r Model: G2\r\r Maker Note:\r Label: L\r Data: D");
    FilterFields dated = fields;
    dated.Lens = "70-200";
    dated.PeriodFrom = "2026-06-01";
    EXPECT_EQ(FilterSummaryText(3, 9, dated, 1).substr(FilterSummaryText(3, 9, fields).size()),
              "\r\r Lens: 70-200; Period: from 2026-06-01; 1 photo without a date left out");
}

}  // namespace
}  // namespace quorvela::analysis
