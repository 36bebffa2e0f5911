// Number pictures and mark texts: the texts a photographer reads above the bars.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "charts/engine/bar_series.h"
#include "charts/engine/marks.h"
#include "charts/engine/number_format.h"

namespace quorvela::charts {
namespace {

struct FormatCase {
    const char* picture;
    double value;
    const char* expected;
};

constexpr FormatCase kFormatCases[] = {
    {"#,##0.###", 0, "0"},
    {"#,##0.###", 12, "12"},
    {"#,##0.###", 999, "999"},
    {"#,##0.###", 1000, "1,000"},
    {"#,##0.###", 1234567, "1,234,567"},
    {"#,##0.###", 1234.5678, "1,234.568"},
    {"#,##0.###", 0.5, "0.5"},
    {"#,##0.###", -1234.5, "-1,234.5"},
    {"#,##0.###", -0.0001, "0"},  // rounds to zero: no "-0"
    {"##0.##%", 25, "25%"},
    {"##0.##%", 100.0 / 3, "33.33%"},
    {"##0.##%", 200.0 / 3, "66.67%"},
    {"##0.##%", 12.5, "12.5%"},
    {"##0.##%", 0.004, "0%"},
    {"##0.## %", 25, "25 %"},
    {"##0.## %", 100, "100 %"},
    {"0.00", 1.5, "1.50"},
    {"000", 7, "007"},
    {"#", 0, ""},
    {"'approx. '#,##0", 1500, "approx. 1,500"},
    {"#,##0 \"files\"", 2, "2 files"},
    {"##0.##", 0.999, "1"},
};

TEST(FormatFloat, PicturesGiveTheExpectedTexts) {
    for (const auto& c : kFormatCases) {
        SCOPED_TRACE(std::string(c.picture) + " / " + std::to_string(c.value));
        EXPECT_EQ(FormatFloat(c.picture, c.value), c.expected);
    }
}

TEST(FormatFloat, UsesTheGivenSeparators) {
    const NumberSeparators german{',', "."};
    EXPECT_EQ(FormatFloat("#,##0.###", 1234.5, german), "1.234,5");
    EXPECT_EQ(FormatFloat("##0.## %", 12.5, german), "12,5 %");
    EXPECT_EQ(FormatFloat("#,##0.###", 1234567, NumberSeparators{'.', "\xC2\xA0"}),
              "1\xC2\xA0"
              "234\xC2\xA0"
              "567");
}

TEST(FormatFloat, NonFiniteValuesDoNotCrash) {
    EXPECT_EQ(FormatFloat("#,##0", std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(FormatFloat("#,##0", std::nan("")), "NAN");
}

struct MarkCase {
    MarkStyle style;
    double value;
    double total;
    const char* label;
    const char* percentFormat;
    const char* expected;
};

constexpr MarkCase kMarkCases[] = {
    {MarkStyle::Percent, 3, 12, "50", "##0.##%", "25%"},
    {MarkStyle::PercentTotal, 3, 12, "50", "##0.##%", "25% of 12"},
    {MarkStyle::Percent, 3, 12, "100", "##0.## %", "25 %"},
    {MarkStyle::PercentTotal, 3, 12, "100", "##0.## %", "25 % of 12"},
    {MarkStyle::LabelPercentTotal, 3, 12, "F5.6", "##0.## %", "F5.6 25 % of 12"},
    {MarkStyle::LabelPercentTotal, 1, 3, "1/125", "##0.## %", "1/125 33.33 % of 3"},
    {MarkStyle::Percent, 2, 3, "x", "##0.##%", "66.67%"},
    {MarkStyle::PercentTotal, 617, 6048, "50", "##0.##%", "10.2% of 6,048"},
    {MarkStyle::Value, 1234, 5000, "50", "##0.##%", "1,234"},
    {MarkStyle::Value, 7, 7, "50", "##0.##%", "7"},
    {MarkStyle::Label, 7, 7, "F11.0", "##0.##%", "F11.0"},
    {MarkStyle::Percent, 0, 0, "x", "##0.## %", "0 %"},  // empty total: no division by zero
    {MarkStyle::Percent, 12, 12, "x", "##0.## %", "100 %"},
};

TEST(MarkText, EachStyleGivesItsText) {
    for (const auto& c : kMarkCases) {
        SCOPED_TRACE(c.expected);
        MarkFormats formats;
        formats.PercentFormat = c.percentFormat;
        EXPECT_EQ(MarkText(c.style, c.value, c.total, c.label, formats), c.expected);
    }
}

TEST(MarkText, JoinFillsOnlyTwoPlaceholders) {
    EXPECT_EQ(JoinPercentTotal("%s of %s", "25%", "12"), "25% of 12");
    EXPECT_EQ(JoinPercentTotal("%s/%s/%s", "a", "b"), "a/b/%s");
    EXPECT_EQ(JoinPercentTotal("100%", "a", "b"), "100%");
}

TEST(BarSeries, MarksUseTheSeriesTotalFormatsAndSeparators) {
    TBarSeries s;
    s.Add(3, "18");
    s.Add(9, "200");
    s.SetPercentFormat("##0.##%");
    s.SetMarksStyle(MarkStyle::PercentTotal);
    EXPECT_EQ(s.MarkTextOf(0, {}), "25% of 12");
    EXPECT_EQ(s.MarkTextOf(1, {}), "75% of 12");
    s.SetMarksStyle(MarkStyle::LabelPercentTotal);
    s.SetPercentFormat("##0.## %");
    s.Add(4, "300");  // total 16: 3 is 18.75 %
    EXPECT_EQ(s.MarkTextOf(0, {',', "."}), "18 18,75 % of 16");
}

TEST(BarSeries, KeepsOrderTotalsAndTellsItsChart) {
    TBarSeries s;
    int changes = 0;
    s.SetChangeListener([&] { ++changes; });
    EXPECT_EQ(s.Add(5, "b"), 0);
    EXPECT_EQ(s.Add(2, "a"), 1);
    EXPECT_EQ(s.Add(0.5, "c"), 2);
    EXPECT_EQ(s.Count(), 3);
    EXPECT_EQ(s.Label(1), "a");  // never reordered
    EXPECT_EQ(s.XValue(2), 2);
    EXPECT_DOUBLE_EQ(s.Total(), 7.5);
    EXPECT_DOUBLE_EQ(s.MaxValue(), 5);
    EXPECT_FALSE(s.AllIntegers());
    s.SetMarksVisible(true);
    EXPECT_EQ(changes, 4);
    s.Clear();
    EXPECT_EQ(s.Count(), 0);
    EXPECT_DOUBLE_EQ(s.Total(), 0);
    EXPECT_TRUE(s.AllIntegers());
    EXPECT_TRUE(s.Marks().Visible);  // clearing points keeps the settings
}

}  // namespace
}  // namespace quorvela::charts
