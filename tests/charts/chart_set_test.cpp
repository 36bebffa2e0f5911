// The four usage charts: their fixed look and how tallies become points.
#include "charts/chart_set.h"

#include <gtest/gtest.h>

#include <QWidget>

#include "qt_test_app.h"

namespace quorvela::charts {
namespace {

TEST(ChartSet, EachChartHasItsLook) {
    testing::App();
    QWidget parent;
    const ChartSet set(&parent);
    struct Expected {
        const char* name;
        const char* title;
        QColor color;
        GradientDirection gradient;
        int arrow;
        const char* percentFormat;
    };
    const Expected expected[] = {
        {"Chart5", "focal length usage (mm)", QColor(0, 0, 255), GradientDirection::TopBottom, 20, "##0.##%"},
        {"Chart6", "iso", QColor(255, 0, 0), GradientDirection::BottomTop, 8, "##0.## %"},
        {"Chart7", "aperture", QColor(255, 128, 64), GradientDirection::TopBottom, 8, "##0.## %"},
        {"Chart8", "shutter speed (sec)", QColor(0, 128, 128), GradientDirection::TopBottom, 8, "##0.## %"},
    };
    for (int k = 0; k < 4; ++k) {
        const Expected& e = expected[k];
        SCOPED_TRACE(e.name);
        TChart& chart = *set.Charts()[static_cast<std::size_t>(k)];
        const TBarSeries& series = *set.Series()[static_cast<std::size_t>(k)];
        EXPECT_EQ(chart.objectName(), e.name);
        EXPECT_EQ(chart.parentWidget(), &parent);
        EXPECT_EQ(chart.Title(), e.title);
        EXPECT_EQ(chart.TitleAlignment(), HAlign::Right);
        EXPECT_EQ(chart.LeftAxisTitle(), "times used");
        EXPECT_EQ(chart.GradientStart(), QColor(192, 192, 192));
        EXPECT_EQ(chart.GradientEnd(), QColor(255, 255, 255));
        EXPECT_EQ(chart.GradientDir(), e.gradient);
        EXPECT_FALSE(chart.WallColor().has_value());
        EXPECT_TRUE(chart.BorderVisible());
        EXPECT_FALSE(chart.View3D());
        EXPECT_EQ(chart.Chart3DPercent(), 20);
        EXPECT_TRUE(chart.AnimatedZoom());
        EXPECT_EQ(chart.SeriesCount(), 1);
        EXPECT_EQ(&chart.Series(0), &series);
        EXPECT_EQ(QColor(series.SeriesColor().r, series.SeriesColor().g, series.SeriesColor().b), e.color);
        EXPECT_FALSE(series.Marks().Visible);
        EXPECT_EQ(series.Marks().ArrowLength, e.arrow);
        EXPECT_EQ(series.Marks().PercentFormat, e.percentFormat);
        EXPECT_EQ(series.ValueFormat(), "#,##0.###");
        // No legend is drawn on any of them.
        EXPECT_TRUE(chart.CurrentLayout().legendItems.empty());
    }
    EXPECT_FALSE(set.Chart5->LegendVisible());
    EXPECT_FALSE(set.Chart6->LegendVisible());
    EXPECT_FALSE(set.BarSeries3->ShowInLegend());
    EXPECT_FALSE(set.BarSeries4->ShowInLegend());
}

TEST(ChartSet, PercentMarksFollowEachSeriesFormat) {
    testing::App();
    QWidget parent;
    ChartSet set(&parent);
    const CategoryCount tally[] = {{"a", 3}, {"b", 9}};
    for (int k = 0; k < 4; ++k) {
        set.Fill(k, tally);
        TBarSeries& s = *set.Series()[static_cast<std::size_t>(k)];
        s.SetMarksStyle(MarkStyle::PercentTotal);
        EXPECT_EQ(s.MarkTextOf(0, {}), k == 0 ? "25% of 12" : "25 % of 12");
    }
}

TEST(ChartSet, TalliesBecomePointsInTheirOrder) {
    testing::App();
    QWidget parent;
    ChartSet set(&parent);
    const CategoryCount shutter[] = {{"2", 1}, {"1/60", 2}, {"1/125", 1}};
    set.Fill(3, shutter);
    set.Chart8->resize(640, 400);
    const TBarSeries& s = *set.BarSeries4;
    ASSERT_EQ(s.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(s.XValue(i), i);
        EXPECT_EQ(s.Label(i), shutter[i].label);
        EXPECT_EQ(s.YValue(i), shutter[i].count);
    }
    const auto labels = set.Chart8->CurrentLayout().labels;
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_LT(labels[0].x, labels[1].x);
    const CategoryCount again[] = {{"1/8", 4}};
    set.Fill(3, again);  // a new run replaces, never appends
    EXPECT_EQ(s.Count(), 1);
    EXPECT_EQ(set.BarSeries1->Count(), 0);
    set.Fill(0, again);
    set.ClearAll();
    EXPECT_EQ(set.BarSeries1->Count() + set.BarSeries4->Count(), 0);
}

}  // namespace
}  // namespace quorvela::charts
