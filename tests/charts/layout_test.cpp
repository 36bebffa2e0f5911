// Geometry of a whole chart: labels under their bars and never on top of each other, marks
// that never overlap, paging, 3D offsets, ticks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

#include "charts/engine/chart_layout.h"

namespace quorvela::charts {
namespace {

// Fixed-pitch text: 7 pixels per byte, 13 high (title 15).
class FixedMeasure final : public TextMeasure {
  public:
    double Width(FontRole role, std::string_view text) const override {
        return static_cast<double>(text.size()) * (role == FontRole::Title ? 8 : 7);
    }
    double Height(FontRole role) const override { return role == FontRole::Title ? 15 : 13; }
};

TBarSeries Series(int points, const std::string& prefix = "") {
    TBarSeries s;
    for (int i = 0; i < points; ++i) s.Add(1 + (i * 37) % 97, prefix + std::to_string(18 + i));
    return s;
}

LayoutInput Input(double w, double h, const TBarSeries& s) {
    LayoutInput in;
    in.width = w;
    in.height = h;
    in.title = "focal length usage (mm)";
    in.titleAlign = HAlign::Right;
    in.leftAxisTitle = "times used";
    in.legendVisible = false;
    in.series = {&s};
    ChartView v;
    v.SetData(s.Count(), s.MaxValue(), true);
    in.ranges = v.Current();
    return in;
}

const FixedMeasure kMeasure;

// The horizontal extent a label takes along the axis.
std::pair<double, double> LabelSpan(const ChartLayout& L, const TBarSeries& s, const BottomLabel& l) {
    const double half =
        L.labelsRotated ? kMeasure.Height(FontRole::Axis) / 2 : kMeasure.Width(FontRole::Axis, s.Label(l.index)) / 2;
    return {l.x - half, l.x + half};
}

TEST(ChartLayout, LabelsSitUnderTheirBarsAndNeverOverlap) {
    struct Case {
        int points;
        double width, height;
        const char* prefix;
    };
    constexpr Case cases[] = {
        {5, 320, 156, "F"},  {19, 640, 400, "ISO "}, {46, 640, 400, "1/"},   {183, 640, 400, ""}, {183, 1280, 800, ""},
        {300, 320, 156, ""}, {500, 1280, 800, ""},   {2000, 640, 400, "1/"}, {23, 320, 156, "F"}, {60, 1280, 800, "1/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.points << " points in " << c.width << "x" << c.height);
        const TBarSeries s = Series(c.points, c.prefix);
        const ChartLayout L = ComputeLayout(Input(c.width, c.height, s), kMeasure);
        ASSERT_FALSE(L.labels.empty());
        EXPECT_EQ(L.labels.front().index, 0);
        // Every point has its bar, alone or sharing pixel columns with its neighbours.
        std::map<int, const BarGeom*> bars;
        for (const auto& b : L.bars) {
            EXPECT_TRUE(b.first <= b.index && b.index <= b.last);
            for (int i = b.first; i <= b.last; ++i)
                EXPECT_TRUE(bars.emplace(i, &b).second) << "point " << i << " twice";
        }
        EXPECT_EQ(static_cast<int>(bars.size()), c.points);
        for (std::size_t k = 0; k < L.labels.size(); ++k) {
            const auto& l = L.labels[k];
            EXPECT_EQ(l.index % L.labelStep, 0);
            ASSERT_TRUE(bars.count(l.index));
            const RectF& f = bars[l.index]->front;
            if (bars[l.index]->first == bars[l.index]->last) {
                EXPECT_LE(std::abs((f.left + f.right) / 2 - l.x), 1.0) << "label " << l.index << " is off its bar";
            } else {
                EXPECT_TRUE(f.left - 1 <= l.x && l.x <= f.right + 1) << "label " << l.index << " is off its bar";
            }
            if (k > 0) {
                EXPECT_LT(LabelSpan(L, s, L.labels[k - 1]).second, LabelSpan(L, s, l).first)
                    << "labels " << L.labels[k - 1].index << " and " << l.index << " overlap";
            }
            if (!L.labelsRotated) {
                EXPECT_GE(LabelSpan(L, s, l).first, 0);
                EXPECT_LE(LabelSpan(L, s, l).second, c.width);
            }
        }
        // Bars stand inside the plot, in order, left to right.
        for (std::size_t k = 1; k < L.bars.size(); ++k) EXPECT_GE(L.bars[k].front.left, L.bars[k - 1].front.left);
        for (const auto& b : L.bars) {
            EXPECT_GE(b.front.left, L.plot.left - 1);
            EXPECT_LE(b.front.right, L.plot.right + 1);
            EXPECT_EQ(b.front.bottom, L.plot.bottom);
        }
        // The rotated label band stays below the plot and inside the chart.
        EXPECT_LT(L.plot.bottom, L.labelTop);
        EXPECT_LE(L.plot.bottom, c.height);
    }
}

TEST(ChartLayout, PointsSharingPixelColumnsDrawAsTheTallest) {
    TBarSeries s;
    for (int i = 0; i < 2000; ++i) s.Add(i == 1234 ? 500 : 1 + i % 50, std::to_string(i));
    const ChartLayout L = ComputeLayout(Input(640, 400, s), kMeasure);
    EXPECT_LT(L.bars.size(), 700u);  // one bar per pixel column at most
    const auto tall =
        std::find_if(L.bars.begin(), L.bars.end(), [](const BarGeom& b) { return b.first <= 1234 && 1234 <= b.last; });
    ASSERT_NE(tall, L.bars.end());
    EXPECT_EQ(tall->index, 1234);
    EXPECT_EQ(tall->front.top, std::round(L.y.ToPixel(500)));
}

TEST(ChartLayout, FewShortLabelsStayHorizontalAndUnthinned) {
    const TBarSeries s = Series(19);
    const ChartLayout L = ComputeLayout(Input(1280, 800, s), kMeasure);
    EXPECT_FALSE(L.labelsRotated);
    EXPECT_EQ(L.labelStep, 1);
    EXPECT_EQ(L.labels.size(), 19u);
}

TEST(ChartLayout, OneWideLabelAmongShortOnesThinsNone) {
    TBarSeries s;
    for (const char* label : {"a", "b", "c", "wwwwww", "d", "e", "f", "g"}) s.Add(5, label);
    // About 35 px a point: the wide label needs 48 px beside another wide one, 31 beside a short one.
    const ChartLayout L = ComputeLayout(Input(330, 300, s), kMeasure);
    EXPECT_FALSE(L.labelsRotated);
    EXPECT_EQ(L.labelStep, 1);
    EXPECT_EQ(L.labels.size(), 8u);
}

TEST(ChartLayout, CrowdedLabelsTurnUprightBeforeTheyThin) {
    const TBarSeries s = Series(46, "1/");  // "1/18" … "1/63": 28 px each
    const ChartLayout L = ComputeLayout(Input(640, 400, s), kMeasure);
    EXPECT_TRUE(L.labelsRotated);
    EXPECT_EQ(L.labelStep, 2);  // 46 upright labels of 13 px do not fit in ~550 px either
}

TEST(ChartLayout, PagingShowsOnlyThePagesPoints) {
    const TBarSeries s = Series(300);
    LayoutInput in = Input(640, 400, s);
    ChartView v;
    v.SetMaxPointsPerPage(10);
    v.SetData(s.Count(), s.MaxValue(), true);
    in.ranges = v.Current();
    ChartLayout L = ComputeLayout(in, kMeasure);
    ASSERT_EQ(L.bars.size(), 10u);
    EXPECT_EQ(L.bars.front().index, 0);
    EXPECT_EQ(L.bars.back().index, 9);
    EXPECT_EQ(L.labelStep, 1);  // ten points have room for every label

    v.Pan(25, 0);  // half-way into the third page: bars cut at the edges are still listed
    in.ranges = v.Current();
    L = ComputeLayout(in, kMeasure);
    EXPECT_EQ(L.bars.front().index, 25);
    EXPECT_EQ(L.bars.back().index, 34);
    for (const auto& l : L.labels) {
        EXPECT_GE(l.index, 25);
        EXPECT_LE(l.index, 34);
    }
}

TEST(ChartLayout, BarsAtTheEdgeOfAZoomedViewAreCutToThePlot) {
    TBarSeries s;
    for (int i = 0; i < 20; ++i) s.Add(i % 2 == 0 ? 100 : 20, std::to_string(i));
    s.SetMarksVisible(true);
    s.SetMarksStyle(MarkStyle::Value);
    LayoutInput in = Input(640, 400, s);
    in.view3D = true;
    in.chart3DPercent = 20;
    in.ranges = {{0, 10}, {50, 120}};  // half of bars 0 and 10 in view; the short bars below it
    const ChartLayout L = ComputeLayout(in, kMeasure);
    std::vector<int> shown;
    for (const auto& b : L.bars) {
        shown.push_back(b.index);
        EXPECT_TRUE(L.plot.Contains(b.front)) << b.index;
        EXPECT_EQ(b.cut, b.index == 0 || b.index == 10) << b.index;
        EXPECT_EQ(b.front.bottom, L.plot.bottom);  // their feet lie below the value range
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 2, 4, 6, 8, 10}));
    for (const auto& m : L.marks) EXPECT_TRUE(m.index != 0 && m.index != 10) << "mark on a cut bar";
    EXPECT_FALSE(L.marks.empty());
}

TEST(ChartLayout, ThreeDShiftsTheBackWallByTheDepth) {
    const TBarSeries s = Series(20);
    LayoutInput in = Input(640, 400, s);
    const ChartLayout flat = ComputeLayout(in, kMeasure);
    in.view3D = true;
    in.chart3DPercent = 20;
    const ChartLayout deep = ComputeLayout(in, kMeasure);
    EXPECT_EQ(flat.depth, 0);
    EXPECT_GT(deep.depth, 20);
    EXPECT_LT(deep.depth, 60);
    EXPECT_EQ(deep.BackWall().left, deep.plot.left + deep.depth);
    EXPECT_EQ(deep.BackWall().top, deep.plot.top - deep.depth);
    // The back wall keeps to the room the flat plot had.
    EXPECT_LE(deep.BackWall().right, flat.plot.right + 1);
    EXPECT_GE(deep.BackWall().top, flat.plot.top - 1);
    in.chart3DPercent = 0;
    EXPECT_EQ(ComputeLayout(in, kMeasure).depth, 0);
    EXPECT_EQ(DepthPixels(20, 500, 300), 30);
    EXPECT_EQ(DepthPixels(150, 500, 300), 150);  // clamped to 100 %
}

TEST(ChartLayout, MarksNeverOverlapAndHangOnTheirArrows) {
    for (const bool view3D : {false, true}) {
        for (const MarkStyle style : {MarkStyle::Value, MarkStyle::LabelPercentTotal}) {
            SCOPED_TRACE(testing::Message() << "3D " << view3D << ", style " << static_cast<int>(style));
            TBarSeries s = Series(183);
            s.SetMarksVisible(true);
            s.SetMarksStyle(style);
            s.SetArrowLength(20);
            LayoutInput in = Input(640, 400, s);
            in.view3D = view3D;
            in.chart3DPercent = 20;
            const ChartLayout L = ComputeLayout(in, kMeasure);
            ASSERT_FALSE(L.marks.empty());
            for (std::size_t a = 0; a < L.marks.size(); ++a) {
                const MarkGeom& m = L.marks[a];
                EXPECT_EQ(m.text, s.MarkTextOf(m.index, {}));
                EXPECT_DOUBLE_EQ(m.anchor.y - m.arrowEnd.y, 20);
                EXPECT_DOUBLE_EQ(m.box.bottom, m.arrowEnd.y);
                EXPECT_TRUE(m.box.left <= m.arrowEnd.x && m.arrowEnd.x <= m.box.right) << "arrow misses its box";
                EXPECT_TRUE(L.bounds.Contains(m.box));
                EXPECT_GT(m.box.left, L.plot.left) << "mark covers the value axis texts";
                EXPECT_FALSE(m.box.Intersects(L.titleBox));
                for (std::size_t b = a + 1; b < L.marks.size(); ++b) {
                    EXPECT_FALSE(m.box.Intersects(L.marks[b].box)) << m.index << " overlaps " << L.marks[b].index;
                }
                for (const auto& bar : L.bars) {
                    const bool under = bar.front.left < m.box.right && bar.front.right > m.box.left;
                    const bool neighbour = bar.last >= m.index - 1 && bar.first <= m.index + 1;
                    if (neighbour || !under) continue;
                    EXPECT_FALSE(bar.front.top >= m.box.top && bar.front.top <= m.box.bottom)
                        << "mark of " << m.index << " hides the top of bar " << bar.index;
                }
            }
            // The tallest bar always gets its mark.
            const auto tallest = std::max_element(s.Values().begin(), s.Values().end()) - s.Values().begin();
            EXPECT_TRUE(
                std::any_of(L.marks.begin(), L.marks.end(), [&](const MarkGeom& m) { return m.index == tallest; }));
        }
    }
}

// Percent and statistics texts are wider than the bars of a crowded chart: the marks are thinned
// like the axis labels, largest values first, and keep to the plot and off every other bar.
TEST(ChartLayout, DenseMarksAreThinnedLargestFirstInsideThePlot) {
    struct Case {
        int points;
        MarkStyle style;
        bool view3D;
        bool legend;
        double width, height;
    };
    constexpr Case cases[] = {
        {80, MarkStyle::LabelPercentTotal, false, true, 640, 400},  // the rightmost marks ran over the legend
        {40, MarkStyle::PercentTotal, true, false, 640, 400},       // 3D: marks over a neighbour's top face
        {183, MarkStyle::Value, false, false, 1280, 800},           // marks on the next bar's body
        {12, MarkStyle::LabelPercentTotal, false, true, 330, 230},  // texts wider than two bars
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.points << " points, style " << static_cast<int>(c.style) << ", 3D "
                                        << c.view3D << ", legend " << c.legend << ", " << c.width);
        TBarSeries s = Series(c.points);
        s.SetMarksVisible(true);
        s.SetMarksStyle(c.style);
        s.SetArrowLength(8);
        s.SetTitle("aperture");
        LayoutInput in = Input(c.width, c.height, s);
        in.view3D = c.view3D;
        in.chart3DPercent = 20;
        in.legendVisible = c.legend;
        const ChartLayout L = ComputeLayout(in, kMeasure);
        ASSERT_FALSE(L.marks.empty());
        // The plot's columns, the back wall's in 3D, between the title band and the plot's bottom.
        const RectF area{L.plot.left, L.titleBox.bottom, L.plot.right + L.depth, L.plot.bottom};
        std::map<int, const MarkGeom*> marked;
        for (const auto& m : L.marks) {
            marked[m.index] = &m;
            EXPECT_TRUE(area.Contains(m.box)) << "mark of " << m.index << " leaves the plot";
            for (const auto& o : L.marks) {
                EXPECT_TRUE(&o == &m || !o.box.Intersects(m.box)) << m.index << " overlaps " << o.index;
            }
            for (const auto& bar : L.bars) {
                if (bar.index == m.index) continue;
                const RectF body{bar.front.left, bar.front.top - L.depth, bar.front.right + L.depth, bar.front.bottom};
                EXPECT_FALSE(body.Intersects(m.box)) << "mark of " << m.index << " sits on bar " << bar.index;
            }
        }
        // A bar without a mark gave way to a value at least as large close by: a mark placed
        // before it, or a taller bar its mark would have covered.
        int leftOut = 0;
        for (const auto& u : L.bars) {
            if (u.cut || marked.count(u.index) != 0) continue;
            ++leftOut;
            const double v = s.YValue(u.index);
            const double cx = (u.front.left + u.front.right) / 2;
            const double reach = kMeasure.Width(FontRole::Mark, s.MarkTextOf(u.index, {})) + L.depth + 12;
            const auto near = [&](const RectF& r) { return r.right > cx - reach && r.left < cx + reach; };
            const bool gaveWay =
                std::any_of(L.marks.begin(), L.marks.end(),
                            [&](const MarkGeom& m) { return s.YValue(m.index) >= v && near(m.box); }) ||
                std::any_of(L.bars.begin(), L.bars.end(), [&](const BarGeom& b) {
                    return b.index != u.index && s.YValue(b.index) > v && near(b.front);
                });
            EXPECT_TRUE(gaveWay) << "bar " << u.index << " (" << v << ") has no mark and no larger value near it";
        }
        EXPECT_EQ(L.marksLeftOut, leftOut) << "bars without a mark are counted for the chart to tell";
    }
}

TEST(ChartLayout, HiddenMarksLeaveNoMarksAndNoRoomForThem) {
    TBarSeries s = Series(10);
    const ChartLayout without = ComputeLayout(Input(640, 400, s), kMeasure);
    s.SetMarksVisible(true);
    const ChartLayout with = ComputeLayout(Input(640, 400, s), kMeasure);
    EXPECT_TRUE(without.marks.empty());
    EXPECT_EQ(with.marks.size(), 10u);
    EXPECT_GT(with.plot.top, without.plot.top);  // room above the tallest bar for its mark
}

TEST(ChartLayout, ValueTicksAreWholeCountsSpacedForReading) {
    TBarSeries s;
    s.Add(3, "a");
    s.Add(1, "b");
    const ChartLayout small = ComputeLayout(Input(640, 400, s), kMeasure);
    std::vector<std::string> texts;
    for (const auto& t : small.ticks) texts.push_back(t.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"0", "1", "2", "3"}));

    const TBarSeries big = Series(40);
    TBarSeries thousands;
    thousands.Add(1810, "100");
    const ChartLayout L = ComputeLayout(Input(320, 156, thousands), kMeasure);
    EXPECT_EQ(L.ticks.back().text, "2,000");
    for (std::size_t k = 1; k < L.ticks.size(); ++k) EXPECT_GE(L.ticks[k - 1].y - L.ticks[k].y, 2.5 * 13 - 1);
    EXPECT_EQ(L.ticks.front().y, L.plot.bottom);
    EXPECT_EQ(L.ticks.back().y, L.plot.top);
    // The widest tick text fits left of the axis, right of the axis title.
    EXPECT_GE(L.plot.left - 4 - 7 * 5, L.leftTitleBox.right);
}

TEST(ChartLayout, AShortPlotStillLabelsTheTopOfTheScale) {
    TBarSeries s;
    s.Add(502, "1/60");  // automatic scale 0 to 600: no round step fits twice into 50 pixels
    const ChartLayout L = ComputeLayout(Input(320, 110, s), kMeasure);
    ASSERT_LT(L.plot.Height(), 2 * 2.5 * 13);
    std::vector<std::string> texts;
    for (const auto& t : L.ticks) texts.push_back(t.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"0", "600"}));
    EXPECT_EQ(L.ticks.back().y, L.plot.top);
}

TEST(ChartLayout, TitleAlignmentAndLegend) {
    TBarSeries s = Series(5);
    s.SetTitle("iso");
    LayoutInput in = Input(640, 400, s);
    ChartLayout L = ComputeLayout(in, kMeasure);
    EXPECT_DOUBLE_EQ(L.titleBox.right, 640 - 6);
    EXPECT_TRUE(L.legendItems.empty());
    in.titleAlign = HAlign::Left;
    in.legendVisible = true;
    L = ComputeLayout(in, kMeasure);
    EXPECT_DOUBLE_EQ(L.titleBox.left, 6);
    ASSERT_EQ(L.legendItems.size(), 1u);
    EXPECT_GT(L.legendBox.left, L.plot.right);
    s.SetShowInLegend(false);  // the only series stays out: no legend box at all
    L = ComputeLayout(in, kMeasure);
    EXPECT_TRUE(L.legendItems.empty());
    EXPECT_DOUBLE_EQ(L.legendBox.Width(), 0);
}

TEST(ChartLayout, SeveralSeriesStandSideBySide) {
    TBarSeries a = Series(4);
    TBarSeries b = Series(4);
    LayoutInput in = Input(640, 400, a);
    in.series = {&a, &b};
    const ChartLayout L = ComputeLayout(in, kMeasure);
    ASSERT_EQ(L.bars.size(), 8u);
    for (const auto& bar : L.bars) {
        if (bar.series != 0) continue;
        const auto other = std::find_if(L.bars.begin(), L.bars.end(),
                                        [&](const BarGeom& o) { return o.series == 1 && o.index == bar.index; });
        ASSERT_NE(other, L.bars.end());
        EXPECT_LE(bar.front.right, other->front.left + 1);
    }
}

TEST(ChartLayout, AGapHasALineButNoBarNorLabel) {
    TBarSeries s;
    for (const char* label : {"EF24-70mm", "EF50mm"}) s.Add(4, label);
    s.AddGap();
    s.Add(1, "unknown lens");
    const ChartLayout L = ComputeLayout(Input(320, 200, s), kMeasure);
    std::vector<int> bars;
    for (const BarGeom& b : L.bars) bars.push_back(b.index);
    EXPECT_EQ(bars, (std::vector<int>{0, 1, 3}));
    ASSERT_EQ(L.labels.size(), 3u);
    ASSERT_EQ(L.gaps.size(), 1u);
    EXPECT_NEAR(L.gaps.front(), (L.labels[1].x + L.labels[2].x) / 2, 1);
}

TEST(ChartLayout, TextsAreCutAtTheEndOfAWholeCharacter) {
    struct Case {
        const char* text;
        double room;  // 7 pixels a byte
        const char* shown;
    };
    constexpr Case cases[] = {
        {"EF50mm", 42, "EF50mm"},
        {"EF24-70mm f/2.8L", 70, "EF24-70\xE2\x80\xA6"},
        // A byte cut would end in the first byte of the dash; the space before it goes too.
        {"built-in lens \xE2\x80\x94 Canon", 126, "built-in lens\xE2\x80\xA6"},
        {"EF50mm", 14, "\xE2\x80\xA6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CutToFit(c.text, c.room, kMeasure, FontRole::Axis), c.shown);
    }
}

TEST(ChartLayout, EmptyAndTinyChartsDoNotBreak) {
    const TBarSeries empty;
    const ChartLayout L = ComputeLayout(Input(640, 400, empty), kMeasure);
    EXPECT_TRUE(L.bars.empty());
    EXPECT_TRUE(L.labels.empty());
    EXPECT_EQ(L.labelSeries, -1);
    const TBarSeries s = Series(300);
    for (const double size : {0.0, 1.0, 20.0, 60.0}) {
        const ChartLayout tiny = ComputeLayout(Input(size, size, s), kMeasure);
        EXPECT_LE(tiny.plot.top, tiny.plot.bottom);
        EXPECT_LE(tiny.plot.left, tiny.plot.right);
    }
}

}  // namespace
}  // namespace quorvela::charts
