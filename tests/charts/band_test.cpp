// The shaded band behind a run of points and finding the point under the mouse: both must agree
// with where the bars are drawn, whatever the paging, zoom or 3D depth.
#include <gtest/gtest.h>

#include <algorithm>
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

TBarSeries Series(int points) {
    TBarSeries s;
    for (int i = 0; i < points; ++i) s.Add(i == 4 ? 1 : 10 + (i * 37) % 90, std::to_string(18 + i));
    return s;
}

struct View {
    int perPage = 0;  // 0: every point
    int page = 0;
    bool view3D = false;
};

LayoutInput Input(const TBarSeries& s, const View& view, std::optional<PointSpan> band) {
    LayoutInput in;
    in.width = 640;
    in.height = 400;
    in.legendVisible = false;
    in.view3D = view.view3D;
    in.chart3DPercent = 20;
    in.series = {&s};
    ChartView v;
    v.SetData(s.Count(), s.MaxValue(), true);
    v.SetMaxPointsPerPage(view.perPage);
    v.ShowPage(view.page);
    in.ranges = v.Current();
    in.band = band;
    return in;
}

TEST(ChartBand, CoversTheBarsOfItsPointsAndNoOthers) {
    struct Case {
        const char* name;
        View view;
        PointSpan band;
    };
    const Case cases[] = {
        {"flat, middle", {}, {3, 6}},
        {"3D, one point", {0, 0, true}, {5, 5}},
        {"first point", {}, {0, 2}},
        {"second page, band from the first", {10, 1, false}, {7, 12}},
        {"second page, 3D", {10, 1, true}, {12, 14}},
    };
    const TBarSeries s = Series(30);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ChartLayout L = ComputeLayout(Input(s, c.view, c.band), kMeasure);
        ASSERT_TRUE(L.band.has_value());
        EXPECT_EQ(L.band->top, L.plot.top);
        EXPECT_EQ(L.band->bottom, L.plot.bottom);
        EXPECT_GE(L.band->left, L.plot.left);
        EXPECT_LE(L.band->right, L.plot.right);
        int inside = 0;
        for (const BarGeom& bar : L.bars) {
            const bool own = bar.index >= c.band.first && bar.index <= c.band.last;
            const bool within = bar.front.left >= L.band->left && bar.front.right <= L.band->right;
            const bool apart = bar.front.right <= L.band->left || bar.front.left >= L.band->right;
            EXPECT_TRUE(own ? within : apart) << "bar " << bar.index;
            inside += own ? 1 : 0;
        }
        EXPECT_GT(inside, 0);
    }
}

TEST(ChartBand, NoneWhenUnsetEmptyOrOutOfView) {
    const TBarSeries s = Series(30);
    EXPECT_FALSE(ComputeLayout(Input(s, {}, std::nullopt), kMeasure).band.has_value());
    EXPECT_FALSE(ComputeLayout(Input(s, {}, PointSpan{6, 5}), kMeasure).band.has_value());
    // Points 0 to 9 stand on the first page; the second shows 10 to 19.
    EXPECT_FALSE(ComputeLayout(Input(s, {10, 1, false}, PointSpan{2, 8}), kMeasure).band.has_value());
    EXPECT_FALSE(ComputeLayout(Input(s, {10, 0, false}, PointSpan{25, 29}), kMeasure).band.has_value());
}

TEST(PointAt, FindsEachBarWhereItIsDrawn) {
    const TBarSeries s = Series(12);
    for (const bool view3D : {false, true}) {
        SCOPED_TRACE(view3D ? "3D" : "flat");
        const ChartLayout L = ComputeLayout(Input(s, {0, 0, view3D}, std::nullopt), kMeasure);
        ASSERT_EQ(L.bars.size(), 12u);
        for (const BarGeom& bar : L.bars) {
            const RectF& f = bar.front;
            // The middle of its face, and its bottom-left pixel next to the neighbour's faces in 3D.
            EXPECT_EQ(PointAt(L, {(f.left + f.right) / 2, (f.top + f.bottom) / 2}), bar.index);
            EXPECT_EQ(PointAt(L, {f.left, f.bottom}), bar.index);
            // The gap before it hits nothing; in 3D its top face and side are its own.
            EXPECT_EQ(PointAt(L, {f.left - 1, f.bottom - 1}), -1);
            // Its top face, unless a taller neighbour's front stands in front of it there.
            const PointF onTop{(f.left + f.right) / 2 + L.depth / 2, f.top - L.depth / 2};
            const bool hidden = std::any_of(L.bars.begin(), L.bars.end(), [&](const BarGeom& other) {
                return onTop.x >= other.front.left && onTop.x < other.front.right && onTop.y >= other.front.top;
            });
            if (view3D && !hidden) {
                EXPECT_EQ(PointAt(L, onTop), bar.index);
            }
        }
    }
}

TEST(PointAt, AShortBarIsHitJustAboveIt) {
    const TBarSeries s = Series(12);
    const ChartLayout L = ComputeLayout(Input(s, {}, std::nullopt), kMeasure);
    const BarGeom& low = L.bars[4];
    ASSERT_LT(low.front.Height(), 5);
    EXPECT_EQ(PointAt(L, {low.front.left + 1, low.front.bottom - 7}), 4);
    EXPECT_EQ(PointAt(L, {low.front.left + 1, low.front.bottom - 20}), -1);
}

}  // namespace
}  // namespace quorvela::charts
