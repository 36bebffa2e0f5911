// Axis scales, paging, zoom and pan of the chart engine, without any widget.
#include <gtest/gtest.h>

#include <cmath>

#include "charts/engine/axis_scale.h"
#include "charts/engine/chart_view.h"

namespace quorvela::charts {
namespace {

TEST(AxisScale, NiceStepKeepsTicksApartAndRound) {
    struct Case {
        double span, pixels, minPixels, minStep, expected;
    };
    constexpr Case cases[] = {
        {500, 300, 30, 1, 50},      // at most 10 ticks: 50
        {500, 100, 30, 1, 200},     // 3 ticks: 166 -> 200
        {2000, 330, 33, 1, 200},    // 10 ticks
        {3, 300, 30, 1, 1},         // counts never step below 1
        {3, 300, 30, 0, 0.5},       // other values may
        {0.8, 200, 40, 0, 0.2},     //
        {1e6, 250, 25, 1, 100000},  //
        {0, 300, 30, 1, 1},         // empty range
        {100, 0, 30, 1, 1},         // no room
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.span << " over " << c.pixels);
        EXPECT_DOUBLE_EQ(NiceStep(c.span, c.pixels, c.minPixels, c.minStep), c.expected);
    }
}

TEST(AxisScale, TicksAreTheStepMultiplesInsideTheRange) {
    EXPECT_EQ(TickValues({0, 500}, 100), (std::vector<double>{0, 100, 200, 300, 400, 500}));
    EXPECT_EQ(TickValues({-0.5, 2.5}, 1), (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(TickValues({0.1, 0.3}, 0.1).size(), 3u);  // 0.1 + 0.2 rounding keeps both ends
    EXPECT_TRUE(TickValues({5, 1}, 1).empty());
    EXPECT_TRUE(TickValues({0, 1e12}, 1).empty());  // refuses to allocate a runaway list
}

TEST(AxisScale, NiceCeilingLeavesRoomAboveTheTallestBar) {
    struct Case {
        double max, minStep, expected;
    };
    constexpr Case cases[] = {{37, 1, 40}, {420, 1, 500}, {1810, 1, 2000}, {2000, 1, 2000},
                              {3, 1, 3},   {1, 1, 1},     {0, 1, 1},       {0.37, 0, 0.4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.max);
        EXPECT_DOUBLE_EQ(NiceCeiling(c.max, c.minStep), c.expected);
    }
}

ChartView ViewOf(int points, double maxValue, int perPage = 0) {
    ChartView v;
    v.SetMaxPointsPerPage(perPage);
    v.SetData(points, maxValue, true);
    return v;
}

TEST(ChartView, AutomaticScalesShowEveryPointFromZero) {
    const ChartView v = ViewOf(183, 420);
    EXPECT_EQ(v.Current().bottom, (Range{-0.5, 182.5}));
    EXPECT_EQ(v.Current().left, (Range{0, 500}));
    EXPECT_DOUBLE_EQ(v.BottomMinimum(), 0);
    EXPECT_DOUBLE_EQ(v.BottomMaximum(), 182);
    EXPECT_DOUBLE_EQ(v.LeftMinimum(), 0);
    EXPECT_FALSE(v.Zoomed());
}

TEST(ChartView, MaxPointsPerPageShowsAtMostThatMany) {
    struct Case {
        int points, perPage;
        double maximum;
    };
    constexpr Case cases[] = {{300, 10, 9}, {300, 100, 99}, {5, 100, 4}, {300, 0, 299}, {0, 10, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.points << " points, " << c.perPage << " per page");
        const ChartView v = ViewOf(c.points, 10, c.perPage);
        EXPECT_DOUBLE_EQ(v.BottomMinimum(), 0);
        EXPECT_DOUBLE_EQ(v.BottomMaximum(), c.maximum);
    }
}

TEST(ChartView, PanningMovesThroughThePagesAndStopsAtTheData) {
    ChartView v = ViewOf(50, 10, 10);
    EXPECT_TRUE(v.Pan(10, 0));
    EXPECT_DOUBLE_EQ(v.BottomMinimum(), 10);
    EXPECT_FALSE(v.Zoomed());  // panning is not zooming
    EXPECT_TRUE(v.UserRanges());
    v.Pan(1000, 0);  // far past the end: the last point stays in view
    EXPECT_DOUBLE_EQ(v.Current().bottom.lo, 48.5);
    v.Pan(-1000, 0);  // and before the start: the first one does
    EXPECT_DOUBLE_EQ(v.Current().bottom.hi, 0.5);
    EXPECT_DOUBLE_EQ(v.Current().bottom.Width(), 10);  // panning never stretches
}

TEST(ChartView, PagesFollowTheViewAndCanBeShownInTurn) {
    struct Case {
        int points, perPage;
        double pan;  // point positions panned right before asking
        int pages, page;
    };
    constexpr Case cases[] = {
        {83, 20, 0, 5, 0},   {83, 20, 20, 5, 1}, {83, 20, 9, 5, 0}, {83, 20, 11, 5, 1},
        {83, 20, 200, 5, 4}, {20, 20, 0, 1, 0},  {83, 0, 0, 1, 0},  {100, 10, 44, 10, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.points << " points, " << c.perPage << " a page, panned " << c.pan);
        ChartView v;
        v.SetMaxPointsPerPage(c.perPage);
        v.SetData(c.points, 50, true);
        v.Pan(c.pan, 0);
        EXPECT_EQ(v.PageCount(), c.pages);
        EXPECT_EQ(v.Page(), c.page);
    }
    ChartView v;
    v.SetMaxPointsPerPage(20);
    v.SetData(83, 50, true);
    const Range values = v.Current().left;
    EXPECT_TRUE(v.ShowPage(2));
    EXPECT_EQ(v.Current().bottom, (Range{39.5, 59.5}));
    EXPECT_EQ(v.Current().left, values);
    EXPECT_EQ(v.Page(), 2);
    EXPECT_TRUE(v.UserRanges());
    EXPECT_FALSE(v.ShowPage(2));  // already there
    EXPECT_TRUE(v.ShowPage(9));   // kept to the last page
    EXPECT_EQ(v.Page(), 4);
    EXPECT_EQ(v.Current().bottom, (Range{79.5, 99.5}));
    EXPECT_TRUE(v.ShowPage(-1));
    EXPECT_EQ(v.Page(), 0);
    v.SetMaxPointsPerPage(0);
    EXPECT_FALSE(v.ShowPage(1));  // one page only
}

TEST(ChartView, PanningUpAndDownKeepsBarsInSight) {
    ChartView v = ViewOf(10, 400);  // left range 0..400
    EXPECT_TRUE(v.Pan(0, 100));
    EXPECT_DOUBLE_EQ(v.LeftMinimum(), 100);
    v.Pan(0, 1e6);
    EXPECT_LE(v.LeftMinimum(), 400 - 0.1 * 400);
    v.Pan(0, -1e6);
    EXPECT_GE(v.Current().left.hi, 0.1 * 400 - 1e-9);
    ChartView empty = ViewOf(0, 0);
    EXPECT_FALSE(empty.Pan(5, 0));
}

TEST(ChartView, ZoomAndRestoreKeepTheZoomedFlagForTheCaller) {
    ChartView v = ViewOf(100, 50);
    EXPECT_FALSE(v.Zoom({{10, 5}, {0, 10}}));  // inverted
    EXPECT_FALSE(v.Zoom({{10, 20}, {3, 3}}));  // empty
    EXPECT_FALSE(v.Zoomed());
    ASSERT_TRUE(v.Zoom({{9.5, 19.5}, {0, 25}}));
    EXPECT_TRUE(v.Zoomed());
    EXPECT_DOUBLE_EQ(v.BottomMinimum(), 10);
    v.Restore();
    EXPECT_TRUE(v.Zoomed());  // cleared separately, after the undo listeners ran
    EXPECT_EQ(v.Current(), v.Automatic());
    v.ClearZoomed();
    EXPECT_FALSE(v.Zoomed());
}

TEST(ChartView, NewDataMovesAutomaticScalesButNotTheUsersView) {
    ChartView v = ViewOf(10, 5);
    v.SetData(20, 90, true);
    EXPECT_EQ(v.Current().bottom, (Range{-0.5, 19.5}));
    EXPECT_EQ(v.Current().left, (Range{0, 100}));
    v.Pan(3, 0);
    const ViewRanges panned = v.Current();
    v.SetData(40, 300, true);
    v.SetMaxPointsPerPage(10);
    EXPECT_EQ(v.Current(), panned);
    v.Restore();
    EXPECT_EQ(v.Current().bottom, (Range{-0.5, 9.5}));
    EXPECT_EQ(v.Current().left, (Range{0, 300}));
}

TEST(ChartView, NonIntegerValuesAllowFinerValueSteps) {
    ChartView v;
    v.SetData(3, 0.37, false);
    EXPECT_DOUBLE_EQ(v.ValueStep(), 0);
    EXPECT_DOUBLE_EQ(v.Current().left.hi, 0.4);
}

}  // namespace
}  // namespace quorvela::charts
