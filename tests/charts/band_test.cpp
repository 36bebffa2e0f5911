// The shaded band behind a run of points and the point under the mouse: both must agree with
// where the bars are drawn, whatever the paging or 3D depth.
#include <gtest/gtest.h>

#include <string>

#include "charts/engine/chart_layout.h"

namespace quorvela::charts {
namespace {

class FixedMeasure final : public TextMeasure {
  public:
    double Width(FontRole /*role*/, std::string_view text) const override {
        return static_cast<double>(text.size()) * 7;
    }
    double Height(FontRole /*role*/) const override { return 13; }
};
const FixedMeasure kMeasure;

// 30 points; point 4 is a bar of one photo among tall ones.
ChartLayout Layout(const TBarSeries& s, int perPage, int page, bool view3D, std::optional<PointSpan> band) {
    LayoutInput in;
    in.width = 640;
    in.height = 400;
    in.legendVisible = false;
    in.view3D = view3D;
    in.chart3DPercent = 20;
    in.series = {&s};
    ChartView v;
    v.SetData(s.Count(), s.MaxValue(), true);
    v.SetMaxPointsPerPage(perPage);
    v.ShowPage(page);
    in.ranges = v.Current();
    in.band = band;
    return ComputeLayout(in, kMeasure);
}

TBarSeries Series() {
    TBarSeries s;
    for (int i = 0; i < 30; ++i) s.Add(i == 4 ? 1 : 10 + (i * 37) % 90, std::to_string(18 + i));
    return s;
}

TEST(ChartBand, CoversTheBarsOfItsPointsAndNoOthers) {
    struct Case {
        const char* name;
        int perPage, page;
        bool view3D;
        PointSpan band;
        bool shown;
    };
    const Case cases[] = {
        {"flat", 0, 0, false, {3, 6}, true},
        {"3D, one point", 0, 0, true, {5, 5}, true},
        {"second page, band from the first", 10, 1, false, {7, 12}, true},
        {"second page, 3D", 10, 1, true, {12, 14}, true},
        {"inverted", 0, 0, false, {6, 5}, false},
        {"on an earlier page", 10, 1, false, {2, 8}, false},
        {"on a later page", 10, 0, false, {25, 29}, false},
    };
    const TBarSeries s = Series();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ChartLayout L = Layout(s, c.perPage, c.page, c.view3D, c.band);
        ASSERT_EQ(L.band.has_value(), c.shown);
        if (!L.band) continue;
        EXPECT_EQ(L.band->top, L.plot.top);
        EXPECT_EQ(L.band->bottom, L.plot.bottom);
        for (const BarGeom& bar : L.bars) {
            const bool own = bar.index >= c.band.first && bar.index <= c.band.last;
            const bool within = bar.front.left >= L.band->left && bar.front.right <= L.band->right;
            const bool apart = bar.front.right <= L.band->left || bar.front.left >= L.band->right;
            EXPECT_TRUE(own ? within : apart) << "bar " << bar.index;
        }
    }
}

TEST(PointAt, FindsEachBarWhereItIsDrawnAndAShortOneJustAboveIt) {
    const TBarSeries s = Series();
    for (const bool view3D : {false, true}) {
        SCOPED_TRACE(view3D ? "3D" : "flat");
        const ChartLayout L = Layout(s, 12, 0, view3D, std::nullopt);
        ASSERT_EQ(L.bars.size(), 12u);
        for (const BarGeom& bar : L.bars) {
            const RectF& f = bar.front;
            // Its bottom-left pixel, beside the neighbour's faces in 3D; the gap before it is no bar.
            EXPECT_EQ(PointAt(L, {f.left, f.bottom}), bar.index);
            EXPECT_EQ(PointAt(L, {f.left - 1, f.bottom - 1}), -1);
        }
        const RectF& low = L.bars[4].front;
        EXPECT_EQ(PointAt(L, {low.left + 1, low.bottom - 7}), 4);
        // Well above it is the plot, or in 3D the side of its taller left neighbour.
        EXPECT_EQ(PointAt(L, {low.left + 1, low.bottom - 20}), view3D ? 3 : -1);
    }
}

}  // namespace
}  // namespace quorvela::charts
