#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "charts/engine/axis_scale.h"
#include "charts/engine/bar_series.h"
#include "charts/engine/chart_view.h"

namespace quorvela::charts {

enum class FontRole { Title, Axis, AxisTitle, Mark, Legend };

// Text sizes in pixels; the widget answers from its fonts, tests from a fixed-pitch model.
class TextMeasure {
  public:
    virtual ~TextMeasure() = default;
    [[nodiscard]] virtual double Width(FontRole role, std::string_view text) const = 0;
    [[nodiscard]] virtual double Height(FontRole role) const = 0;
};

struct PointF {
    double x = 0;
    double y = 0;
};

struct RectF {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    [[nodiscard]] double Width() const { return right - left; }
    [[nodiscard]] double Height() const { return bottom - top; }
    [[nodiscard]] bool Intersects(const RectF& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    [[nodiscard]] bool Contains(const RectF& o) const {
        return o.left >= left && o.right <= right && o.top >= top && o.bottom <= bottom;
    }
    [[nodiscard]] RectF Shifted(double dx, double dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
};

enum class HAlign { Left, Center, Right };

// A run of points, first to last (0-based, both included).
struct PointSpan {
    int first = 0;
    int last = 0;
    bool operator==(const PointSpan&) const = default;
};

struct LayoutInput {
    double width = 0;
    double height = 0;
    std::string title;
    HAlign titleAlign = HAlign::Center;
    std::string leftAxisTitle;
    bool view3D = false;
    int chart3DPercent = 15;
    bool legendVisible = true;
    std::vector<const TBarSeries*> series;
    ViewRanges ranges;
    double valueStep = 1;  // smallest step between value ticks; 0 for none
    NumberSeparators separators;
    double maxLabelWidth = -1;      // widest bottom-axis label when known; measured when negative
    std::optional<PointSpan> band;  // points shaded behind their bars
};

struct BarGeom {
    int series = 0;
    int index = 0;  // the point drawn (the tallest of first..last)
    int first = 0;  // the points this bar stands for: one, unless they share pixel columns
    int last = 0;
    RectF front;       // the face towards the viewer, in whole pixels, cut to the plot
    bool cut = false;  // part of the bar lies left or right of the plot
    // The top of the front that the drawn point's part set apart fills (see TBarSeries::Part),
    // in whole pixels; none when the point has no part or it lies out of view.
    std::optional<RectF> part;
};

struct ValueTick {
    double value = 0;
    double y = 0;
    std::string text;
};

struct BottomLabel {
    int index = 0;  // the point whose label this is
    double x = 0;   // centre of the point's bar group
    // An upright label longer than the room under the axis, cut at its end with "…"; empty
    // when the label is drawn whole. A name keeps its beginning, where it is told apart.
    std::string cut;
};

struct MarkGeom {
    int series = 0;
    int index = 0;
    PointF anchor;    // top of the bar (top face centre in 3D)
    PointF arrowEnd;  // where the leader line meets the box
    RectF box;
    std::string text;
};

struct LegendItem {
    int series = 0;
    RectF swatch;
    PointF textOrigin;  // left end of the text's baseline box (top-left)
};

struct ChartLayout {
    RectF bounds;
    RectF titleBox;
    RectF leftTitleBox;  // the box the vertical axis title is centred in
    RectF plot;          // front plane of the plotting area
    double depth = 0;    // 3D offset in pixels, to the right and upwards
    AxisMap x;
    AxisMap y;
    std::vector<ValueTick> ticks;
    bool labelsRotated = false;
    int labelStep = 1;
    double labelTop = 0;
    std::vector<BottomLabel> labels;
    int labelSeries = -1;  // the series whose labels the bottom axis shows
    std::vector<BarGeom> bars;
    std::vector<MarkGeom> marks;
    // The room marks may take: the plot's columns (with the back wall's in 3D) from below the
    // title down to the plot's bottom, so no mark covers the title, the axes or the legend.
    RectF markArea;
    int marksLeftOut = 0;  // bars whose mark found no room: too close to a taller bar's mark
    // The free part of the title band left of the title, for a line about paging and marks.
    RectF statusBox;
    RectF legendBox;
    std::vector<LegendItem> legendItems;
    // The key line telling what the hatched parts of the bars are: one for the first series
    // whose points have parts and that names them; it takes a row under the title.
    std::optional<LegendItem> partKey;
    // The centres of the gaps in view (TBarSeries::AddGap), where a line sets the groups apart.
    std::vector<double> gaps;
    // The shaded band on the front plane: the slots of the band's points in view, the plot's
    // full height; none when no band is set or none of its points is in view.
    std::optional<RectF> band;

    [[nodiscard]] RectF BackWall() const { return plot.Shifted(depth, -depth); }
};

// Places everything a chart draws. Pure function of its inputs; the widget paints the result.
ChartLayout ComputeLayout(const LayoutInput& in, const TextMeasure& measure);

// The point whose bar is at `at` (a bar's front, its 3D faces, or a few pixels above a short
// bar, so that a bar of one file can still be hit); -1 when no bar is there.
int PointAt(const ChartLayout& layout, PointF at);

// 3D depth in pixels for a depth percentage and the room the plot has.
double DepthPixels(int percent, double width, double height);

// `text` as it fits `room` pixels: whole, or cut at a character's end with "…" after it (only
// "…" when not even one character fits).
std::string CutToFit(std::string_view text, double room, const TextMeasure& measure, FontRole role);

// The label-thinning step that keeps labels of `labelExtent` pixels (plus a gap) apart when
// point positions are `slot` pixels apart: 1, 2, 5, 10, 20, ...
int LabelStep(double labelExtent, double slot);

}  // namespace quorvela::charts
