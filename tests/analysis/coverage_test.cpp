#include "analysis/coverage.h"

#include <gtest/gtest.h>

namespace quorvela::analysis {
namespace {

TEST(ParseCoverage, RangesPrimesAndJunk) {
    struct Case {
        const char* text;
        double from;
        double to;
        bool prime;
    };
    for (const Case& c : {Case{"24-70", 24, 70, false}, Case{"24\xE2\x80\x93" "70", 24, 70, false},
                          Case{" 24 - 70 ", 24, 70, false}, Case{"35", 35, 35, true}, Case{"50-50", 50, 50, true},
                          Case{"17.5-55", 17.5, 55, false}}) {
        SCOPED_TRACE(c.text);
        const auto range = ParseCoverage(c.text);
        ASSERT_TRUE(range);
        EXPECT_EQ(range->From, c.from);
        EXPECT_EQ(range->To, c.to);
        EXPECT_EQ(range->Prime, c.prime);
    }
    for (const char* text : {"70-24", "-35", "0", "0-50", "24-", "-", "", "abc", "24-70mm", "24--70", "1e2",
                             "24-70-200", "nan", "24,5-70"}) {
        EXPECT_FALSE(ParseCoverage(text)) << text;
    }
}

TEST(Covers, BoundsInclusivePrimeFivePercentEitherSide) {
    const CoverageRange zoom{24, 70, false};
    EXPECT_FALSE(Covers(zoom, 23));
    EXPECT_TRUE(Covers(zoom, 24));
    EXPECT_TRUE(Covers(zoom, 70));
    EXPECT_FALSE(Covers(zoom, 71));
    const CoverageRange prime{100, 100, true};  // 95 to 105
    EXPECT_FALSE(Covers(prime, 94));
    EXPECT_TRUE(Covers(prime, 95));
    EXPECT_TRUE(Covers(prime, 105));
    EXPECT_FALSE(Covers(prime, 106));
    EXPECT_FALSE(Covers(zoom, -1));
}

TEST(CountCoverage, TallyWithoutStepsAndPerPhotoLengthsAgree) {
    // 10 photos at 23 mm, 5 at 24, 7 at 50, 3 at 70, 2 at 71, 4 without a focal length.
    const CategoryTable tally = {{"___23", "23", 10}, {"___24", "24", 5}, {"___50", "50", 7},
                                 {"___70", "70", 3},  {"___71", "71", 2}, {"___-1", "-1", 4}};
    const CoverageRange zoom{24, 70, false};
    const CoverageCount fromTally = CountCoverage(zoom, tally);
    EXPECT_EQ(fromTally.Photos, 15);
    EXPECT_EQ(fromTally.Of, 27);
    std::vector<std::int64_t> lengths;
    for (const auto& row : tally)
        for (int i = 0; i < row.Count; ++i) lengths.push_back(std::stoll(row.Label));
    const CoverageCount fromPhotos = CountCoverage(zoom, lengths);
    EXPECT_EQ(fromPhotos.Photos, fromTally.Photos);
    EXPECT_EQ(fromPhotos.Of, fromTally.Of);
    EXPECT_EQ(CountCoverage(CoverageRange{50, 50, true}, tally).Photos, 7);
}

TEST(CoverageSentence, DashSeparatorsAndOneDecimal) {
    EXPECT_EQ(CoverageSentence({24, 70, false}, {1234, 1500}), "24\xE2\x80\x93" "70 mm covers 1,234 of 1,500 photos (82.3 %)");
    EXPECT_EQ(CoverageSentence({35, 35, true}, {2, 3}), "35 mm covers 2 of 3 photos (66.7 %)");
    EXPECT_EQ(CoverageSentence({17.5, 1000, false}, {1000000, 1000000}),
              "17.5\xE2\x80\x93" "1000 mm covers 1,000,000 of 1,000,000 photos (100.0 %)");
    EXPECT_EQ(CoverageSentence({35, 35, true}, {0, 0}), "35 mm covers 0 of 0 photos");
    EXPECT_EQ(CoverageText({24, 70, false}), "24-70");
}

}  // namespace
}  // namespace quorvela::analysis
