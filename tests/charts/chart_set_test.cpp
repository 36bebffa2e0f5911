// The four usage charts: their fixed look and how tallies become points.
#include "charts/chart_set.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "charts/engine/tchart.h"
#include "qt_test_app.h"

namespace quorvela::charts {
namespace {

// The engine's chart behind a chart of the set: the chart tests look inside it.
TChart& ChartOf(const ChartSet& set, Quantity index) {
    auto* chart = dynamic_cast<TChart*>(set.Widget(index));
    if (chart == nullptr) throw std::logic_error("not a TChart");
    return *chart;
}

TBarSeries& SeriesOf(const ChartSet& set, Quantity index) {
    return ChartOf(set, index).Series(0);
}

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
        {"Chart5", "focal length usage (mm)", QColor(0, 0, 255), GradientDirection::TopBottom, 20, "##0.0 %"},
        {"Chart6", "iso", QColor(255, 0, 0), GradientDirection::BottomTop, 8, "##0.0 %"},
        {"Chart7", "aperture", QColor(255, 128, 64), GradientDirection::TopBottom, 8, "##0.0 %"},
        {"Chart8", "shutter speed (sec)", QColor(0, 128, 128), GradientDirection::TopBottom, 8, "##0.0 %"},
        {"ChartLens", "lens usage", QColor(128, 64, 160), GradientDirection::TopBottom, 8, "##0.0 %"},
        {"ChartRating", "rating", QColor(218, 165, 32), GradientDirection::TopBottom, 8, "##0.0 %"},
    };
    static_assert(std::size(expected) == kQuantityCount);
    for (const Quantity k : kQuantities) {
        const Expected& e = expected[IndexOf(k)];
        SCOPED_TRACE(e.name);
        TChart& chart = ChartOf(set, k);
        const TBarSeries& series = SeriesOf(set, k);
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
    EXPECT_FALSE(ChartOf(set, Quantity::FocalLength).LegendVisible());
    EXPECT_FALSE(ChartOf(set, Quantity::Iso).LegendVisible());
    EXPECT_FALSE(SeriesOf(set, Quantity::Aperture).ShowInLegend());
    EXPECT_FALSE(SeriesOf(set, Quantity::Shutter).ShowInLegend());
    EXPECT_EQ(set.objectName(), "ChartSet");
    EXPECT_EQ(set.parent(), &parent);
}

TEST(ChartSet, PercentMarksHaveOneFormatInEveryChart) {
    testing::App();
    QWidget parent;
    ChartSet set(&parent);
    const CategoryCount tally[] = {{"a", "a", 3}, {"b", "b", 9}};
    for (const Quantity k : kQuantities) {
        set.Fill(k, tally);
        TBarSeries& s = SeriesOf(set, k);
        s.SetMarksStyle(MarkStyle::PercentTotal);
        EXPECT_EQ(s.MarkTextOf(0, {}), "25.0 % of 12");
    }
}

TEST(ChartSet, TalliesBecomePointsInTheirOrder) {
    testing::App();
    QWidget parent;
    ChartSet set(&parent);
    const CategoryCount shutter[] = {{"2", "2", 1}, {"1/60", "1/60", 2}, {"1/125", "1/125", 1}};
    set.Fill(Quantity::Shutter, shutter);
    set.Widget(Quantity::Shutter)->resize(640, 400);
    const TBarSeries& s = SeriesOf(set, Quantity::Shutter);
    ASSERT_EQ(s.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(s.XValue(i), i);
        EXPECT_EQ(s.Label(i), shutter[i].Label);
        EXPECT_EQ(s.YValue(i), shutter[i].Count);
    }
    const auto labels = ChartOf(set, Quantity::Shutter).CurrentLayout().labels;
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_LT(labels[0].x, labels[1].x);
    const CategoryCount again[] = {{"1/8", "1/8", 4}};
    set.Fill(Quantity::Shutter, again);  // a new run replaces, never appends
    EXPECT_EQ(s.Count(), 1);
    EXPECT_EQ(SeriesOf(set, Quantity::FocalLength).Count(), 0);
    set.Fill(Quantity::FocalLength, again);
    set.Clear();
    EXPECT_EQ(SeriesOf(set, Quantity::FocalLength).Count() + SeriesOf(set, Quantity::Shutter).Count(), 0);
    set.AddPoint(Quantity::Iso, "ISO 100", 7);  // a run adds its points one by one
    set.AddPoint(Quantity::Iso, "ISO 200", 2);
    EXPECT_EQ(SeriesOf(set, Quantity::Iso).Count(), 2);
    EXPECT_EQ(SeriesOf(set, Quantity::Iso).Label(1), "ISO 200");
    EXPECT_EQ(SeriesOf(set, Quantity::Iso).YValue(0), 7);
    set.Clear(Quantity::Iso);
    EXPECT_EQ(SeriesOf(set, Quantity::Iso).Count(), 0);
}

// The middle column of a bar's front, top to bottom, without its outline: whether each pixel is
// the series' own solid colour.
std::vector<bool> SolidDownTheBar(const QImage& image, const QRect& bar, QColor solid) {
    std::vector<bool> column;
    for (int y = bar.top() + 1; y < bar.bottom(); ++y) column.push_back(image.pixelColor(bar.center().x(), y) == solid);
    return column;
}

// A bar's estimated photos are drawn apart at its top, under a key line; the rest of the bar and
// a chart without estimates look as they always did.
TEST(ChartSet, EstimatedPartOfABarIsDrawnApart) {
    testing::App();
    QWidget parent;
    ChartSet set(&parent);
    set.Widget(Quantity::FocalLength)->resize(480, 320);
    const QColor blue(0, 0, 255);
    set.AddPoint(Quantity::FocalLength, "35", 10);
    set.AddPoint(Quantity::FocalLength, "50", 10);
    const QImage plain = ChartOf(set, Quantity::FocalLength).RenderImage();
    for (const bool solid : SolidDownTheBar(plain, set.PointRect(Quantity::FocalLength, 1), blue)) ASSERT_TRUE(solid);
    EXPECT_FALSE(ChartOf(set, Quantity::FocalLength).CurrentLayout().partKey.has_value());

    for (const bool view3D : {false, true}) {
        SCOPED_TRACE(view3D ? "3D" : "flat");
        set.Set3D(view3D);
        set.Clear(Quantity::FocalLength);
        set.AddPoint(Quantity::FocalLength, "35", 10);
        set.AddPoint(Quantity::FocalLength, "50", 10, 4);
        const QImage estimated = ChartOf(set, Quantity::FocalLength).RenderImage();
        const std::vector<bool> mixed = SolidDownTheBar(estimated, set.PointRect(Quantity::FocalLength, 1), blue);
        // How many pixels of a stretch of the column, given in tenths of the bar, are solid.
        const auto solidIn = [&](std::size_t fromTenth, std::size_t toTenth) {
            return std::count(mixed.begin() + static_cast<std::ptrdiff_t>(mixed.size() * fromTenth / 10),
                              mixed.begin() + static_cast<std::ptrdiff_t>(mixed.size() * toTenth / 10), true);
        };
        EXPECT_EQ(solidIn(0, 3), 0);  // within the top four tenths: the estimate
        EXPECT_EQ(solidIn(5, 10),
                  static_cast<std::ptrdiff_t>(mixed.size() - mixed.size() * 5 / 10));  // the lower half: known
        for (const bool solid : SolidDownTheBar(estimated, set.PointRect(Quantity::FocalLength, 0), blue))
            ASSERT_TRUE(solid);
        ASSERT_TRUE(ChartOf(set, Quantity::FocalLength).CurrentLayout().partKey.has_value());
        EXPECT_EQ(SeriesOf(set, Quantity::FocalLength).PartKey(), ChartSet::kEstimateKey);
    }

    // A run without estimates after one with them: the chart is as it was, key and all.
    set.Set3D(false);
    set.Clear(Quantity::FocalLength);
    set.AddPoint(Quantity::FocalLength, "35", 10);
    set.AddPoint(Quantity::FocalLength, "50", 10, 0);
    EXPECT_EQ(ChartOf(set, Quantity::FocalLength).RenderImage(), plain);
}

// The marks of the statistics modes that count photos tell the estimated ones among them.
TEST(ChartSet, MarksTellTheEstimatedPhotos) {
    testing::App();
    QWidget parent;
    ChartSet set(&parent);
    set.AddPoint(Quantity::FocalLength, "35", 10);
    set.AddPoint(Quantity::FocalLength, "50", 10, 4);
    const std::pair<Statistics, const char*> expected[] = {
        {Statistics::PlottedValues, "50"},
        {Statistics::TimesUsed, "10 (4 estimated)"},
        {Statistics::PercentUsed, "50.0 % (20.0 % estimated)"},
        {Statistics::PercentAndTotal, "50.0 % of 20 (4 estimated)"},
    };
    for (const auto& [mode, text] : expected) {
        set.SetStatistics(mode);
        EXPECT_EQ(set.MarkText(Quantity::FocalLength, 1), text);
        EXPECT_EQ(set.MarkText(Quantity::FocalLength, 0).find("estimated"), std::string::npos);
    }
}

TEST(ChartSet, StatisticsModesSetTheMarksOfEveryChart) {
    testing::App();
    QWidget parent;
    ChartSet set(&parent);
    const std::pair<Statistics, MarkStyle> modes[] = {
        {Statistics::PlottedValues, MarkStyle::Label},       {Statistics::TimesUsed, MarkStyle::Value},
        {Statistics::PercentUsed, MarkStyle::Percent},       {Statistics::PercentAndTotal, MarkStyle::PercentTotal},
        {Statistics::ShowAll, MarkStyle::LabelPercentTotal},
    };
    for (const auto& [mode, style] : modes) {
        set.SetStatistics(mode);
        for (const Quantity k : kQuantities) {
            EXPECT_TRUE(SeriesOf(set, k).Marks().Visible);
            EXPECT_EQ(SeriesOf(set, k).Marks().Style, style);
        }
        set.SetStatistics(Statistics::Off);   // hides the marks, keeps their style
        set.SetStatistics(Statistics::None);  // no entry: the marks stay as they are
        for (const Quantity k : kQuantities) {
            EXPECT_FALSE(SeriesOf(set, k).Marks().Visible);
            EXPECT_EQ(SeriesOf(set, k).Marks().Style, style);
            EXPECT_FALSE(set.ShownBy(k).MarksVisible);
        }
    }
    EXPECT_EQ(set.ShownBy(Quantity::FocalLength).MarksStyle, "LabelPercentTotal");
}

TEST(ChartSet, OptionsReachEveryChartAndEventsNameTheirChart) {
    testing::App();
    QWidget parent;
    ChartSet set(&parent);
    set.Set3D(true);
    set.SetPointsPerPage(30);
    set.AllowZoom(false);
    for (const Quantity k : kQuantities) {
        EXPECT_TRUE(ChartOf(set, k).View3D());
        EXPECT_EQ(ChartOf(set, k).MaxPointsPerPage(), 30);
        EXPECT_FALSE(ChartOf(set, k).AllowZoom());
        EXPECT_TRUE(set.ShownBy(k).View3D);
        EXPECT_EQ(set.ShownBy(k).PointsPerPage, 30);
    }
    set.SetPointsPerPage(0);
    std::vector<std::string> events;
    set.OnZoomed = [&](Quantity k) { events.push_back("zoomed " + std::to_string(IndexOf(k))); };
    set.OnZoomUndone = [&](Quantity k) { events.push_back("undone " + std::to_string(IndexOf(k))); };
    std::vector<CategoryCount> tally;
    for (int i = 0; i < 12; ++i) tally.push_back({"v" + std::to_string(i), "v" + std::to_string(i), 1 + i % 5});
    set.Fill(Quantity::Aperture, tally);
    set.Widget(Quantity::Aperture)->resize(640, 400);
    EXPECT_TRUE(set.ZoomTo(Quantity::Aperture, QRect(QPoint(100, 40), QPoint(300, 200))));
    EXPECT_TRUE(set.View(Quantity::Aperture).Zoomed);
    EXPECT_TRUE(set.View(Quantity::Aperture).UserRanges);
    EXPECT_FALSE(set.View(Quantity::Iso).Zoomed);
    set.UndoZoom(Quantity::Aperture);
    EXPECT_FALSE(set.View(Quantity::Aperture).Zoomed);
    EXPECT_EQ(events, (std::vector<std::string>{"zoomed 2", "undone 2"}));
}

}  // namespace
}  // namespace quorvela::charts
