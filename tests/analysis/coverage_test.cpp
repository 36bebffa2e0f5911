#include "analysis/coverage.h"

#include <gtest/gtest.h>

namespace quorvela::analysis {
namespace {

TEST(ParseCoverage, RangesPrimesAndJunk) {
    const auto zoom = ParseCoverage(" 24 \xE2\x80\x93 70 ");  // en dash, blanks
    ASSERT_TRUE(zoom);
    EXPECT_EQ(zoom->From, 24);
    EXPECT_EQ(zoom->To, 70);
    EXPECT_FALSE(zoom->Prime);
    EXPECT_EQ(ParseCoverage("17.5-55")->From, 17.5);
    EXPECT_TRUE(ParseCoverage("35")->Prime);
    EXPECT_TRUE(ParseCoverage("50-50")->Prime);
    // As the window's field writes them: the unit, an em dash, a range from 0.
    for (const char* text : {"24-70mm", "24 mm \xE2\x80\x94 70 MM", "24mm-70mm"}) {
        ASSERT_TRUE(ParseCoverage(text)) << text;
        EXPECT_EQ(ParseCoverage(text)->To, 70) << text;
    }
    EXPECT_EQ(ParseCoverage("0-2000")->From, 0);
    EXPECT_TRUE(ParseCoverage("50mm")->Prime);
    for (const char* text : {"70-24", "-35", "0", "24-", "", "abc", "mm", "24--70", "1e2", "24,5-70"}) {
        EXPECT_FALSE(ParseCoverage(text)) << text;
    }
}

TEST(Covers, BoundsInclusivePrimeFivePercentEitherSide) {
    const CoverageRange zoom{24, 70, false};
    const CoverageRange prime{100, 100, true};  // 95 to 105
    for (const auto& [mm, inZoom, inPrime] : {std::tuple{23, false, false},
                                              {24, true, false},
                                              {70, true, false},
                                              {71, false, false},
                                              {94, false, false},
                                              {95, false, true},
                                              {105, false, true},
                                              {106, false, false},
                                              {-1, false, false}}) {
        EXPECT_EQ(Covers(zoom, mm), inZoom) << mm;
        EXPECT_EQ(Covers(prime, mm), inPrime) << mm;
    }
}

TEST(CountCoverage, PhotosWithoutAFocalLengthTakeNoPart) {
    const std::pair<std::int64_t, int> lengths[] = {{23, 10}, {24, 5}, {50, 7}, {70, 3}, {71, 2}, {-1, 4}};
    std::vector<std::int64_t> photos;
    for (const auto& [mm, count] : lengths) photos.insert(photos.end(), static_cast<std::size_t>(count), mm);
    EXPECT_EQ(CountCoverage({24, 70, false}, photos).Photos, 15);
    EXPECT_EQ(CountCoverage({24, 70, false}, photos).Of, 27);  // the 4 without a focal length are not counted
}

TEST(CoverageSentence, DashSeparatorsAndOneDecimal) {
    EXPECT_EQ(CoverageSentence({24, 70, false}, {1234, 1500}),
              "24\xE2\x80\x93"
              "70 mm covers 1,234 of 1,500 photos (82.3 %)");
    EXPECT_EQ(CoverageSentence({35, 35, true}, {2, 3}), "35 mm covers 2 of 3 photos (66.7 %)");
    EXPECT_EQ(CoverageSentence({35, 35, true}, {0, 0}), "35 mm covers 0 of 0 photos");
    EXPECT_EQ(CoverageText({17.5, 70, false}), "17.5-70");
}

}  // namespace
}  // namespace quorvela::analysis
