#include "charts/engine/chart_layout.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>
#include <utility>
#include <vector>

namespace quorvela::charts {
namespace {

constexpr double kPad = 6;            // inside the border
constexpr double kTickLength = 4;     // axis tick marks
constexpr double kLabelGap = 6;       // space kept between neighbouring bottom labels
constexpr double kBarFraction = 0.7;  // share of a point position that its bars fill
constexpr double kMarkPadX = 3;
constexpr double kMarkPadY = 1;
constexpr double kMinHitHeight = 8;  // a bar of a few pixels is still a target for the mouse

double WidestLabel(const TBarSeries& s, const TextMeasure& m) {
    double w = 0;
    for (const auto& label : s.Labels()) w = std::max(w, m.Width(FontRole::Axis, label));
    return w;
}

std::vector<ValueTick> Ticks(const Range& r, double step, const AxisMap& map, const std::string& format,
                             const NumberSeparators& seps) {
    std::vector<ValueTick> ticks;
    for (const double v : TickValues(r, step))
        ticks.push_back({v, std::round(map.ToPixel(v)), FormatFloat(format, v, seps)});
    return ticks;
}

// The bottom-axis labels of the points in view, every `labelStep`-th, and the gaps among them.
void PlaceLabels(const LayoutInput& in, const TextMeasure& m, const TBarSeries* labelSource, int first, int last,
                 ChartLayout& out) {
    if (!labelSource) return;
    const Range& xr = in.ranges.bottom;
    const int n = labelSource->Count();
    const double uprightRoom = in.height - 2 - out.labelTop;
    for (int i = std::max(first, 0); i <= std::min(last, n - 1); ++i) {
        if (i < xr.lo || i > xr.hi) continue;
        const double cx = std::round(out.x.ToPixel(i));
        if (labelSource->IsGap(i)) {
            out.gaps.push_back(cx);
            continue;
        }
        if (i % out.labelStep != 0) continue;
        const std::string& label = labelSource->Label(i);
        if (!out.labelsRotated) {
            // Keep the text inside the chart: the outermost label may be wider than its slot.
            const double half = m.Width(FontRole::Axis, label) / 2;
            if (cx - half < kPad || cx + half > in.width - kPad) continue;
            out.labels.push_back({i, cx, {}});
            continue;
        }
        std::string cut;
        if (m.Width(FontRole::Axis, label) > uprightRoom) cut = CutToFit(label, uprightRoom, m, FontRole::Axis);
        out.labels.push_back({i, cx, std::move(cut)});
    }
}

// The part set apart at the top of each bar of a positive value: from the value down to the
// value less the part. A bar standing for several points shows the drawn point's part.
void PlaceParts(const LayoutInput& in, ChartLayout& out) {
    for (BarGeom& bar : out.bars) {
        const TBarSeries& series = *in.series[static_cast<std::size_t>(bar.series)];
        const double part = series.Part(bar.index);
        if (part <= 0) continue;
        const double value = series.YValue(bar.index);
        const double valueY = std::round(out.y.ToPixel(value));
        const double top = std::clamp(valueY, bar.front.top, bar.front.bottom);
        double bottom = std::clamp(std::round(out.y.ToPixel(value - part)), bar.front.top, bar.front.bottom);
        // A part of less than a pixel still shows as one while the bar's top is in view: the
        // part must not vanish from the bar.
        if (bottom - top < 1 && valueY == top && bar.front.bottom - top >= 1) bottom = top + 1;
        if (bottom - top >= 1) bar.part = RectF{bar.front.left, top, bar.front.right, bottom};
    }
}

// The bars of points first..last, side by side when there are several series, cut to the
// plot, in left-to-right order.
void PlaceBars(const LayoutInput& in, int first, int last, ChartLayout& out) {
    const double slot = out.plot.Width() / std::max(in.ranges.bottom.Width(), 1e-9);
    int withPoints = 0;
    for (const auto* s : in.series) withPoints += s->Count() > 0 ? 1 : 0;
    const double group = slot * kBarFraction;
    const double sub = group / std::max(withPoints, 1);
    const double zeroY = out.y.ToPixel(0);
    int k = 0;
    for (std::size_t s = 0; s < in.series.size(); ++s) {
        const TBarSeries& series = *in.series[s];
        if (series.Count() == 0) continue;
        const double offset = (k++ - (withPoints - 1) / 2.0) * sub;
        for (int i = first; i <= std::min(last, series.Count() - 1); ++i) {
            const double v = series.YValue(i);
            if (!std::isfinite(v)) continue;
            const double cx = out.x.ToPixel(i) + offset;
            double fullLeft = std::round(cx - sub / 2);
            double fullRight = std::max(fullLeft + 1, std::round(cx + sub / 2));
            if (fullRight - fullLeft <= 1 && cx >= out.plot.left && cx <= out.plot.right) {
                // A one-pixel bar whose point lies in view stays in view, whatever the rounding.
                fullLeft = std::clamp(fullLeft, out.plot.left, out.plot.right - 1);
                fullRight = fullLeft + 1;
            }
            // Bars are cut to the plot before they are given depth, so a bar at the edge of a
            // zoomed or panned view ends at the side wall instead of reaching past it.
            const double l = std::max(fullLeft, out.plot.left);
            const double r = std::min(fullRight, out.plot.right);
            if (r - l < 1) continue;
            const double vy = std::round(out.y.ToPixel(v));
            const double zy = std::round(zeroY);
            const RectF front{l, std::max(std::min(vy, zy), out.plot.top), r,
                              std::min(std::max(vy, zy), out.plot.bottom)};
            if (front.bottom < front.top) continue;  // entirely above or below the value range
            // More points than pixel columns: bars that land on the same columns are drawn
            // once, as the tallest of them, which is all the eye could see anyway.
            if (!out.bars.empty()) {
                BarGeom& prev = out.bars.back();
                if (prev.series == static_cast<int>(s) && prev.front.left == l && prev.front.right == r) {
                    if (std::fabs(v) > std::fabs(series.YValue(prev.index))) prev.index = i;
                    prev.front.top = std::min(prev.front.top, front.top);
                    prev.front.bottom = std::max(prev.front.bottom, front.bottom);
                    prev.last = i;
                    continue;
                }
            }
            out.bars.push_back({static_cast<int>(s), i, i, i, front, l != fullLeft || r != fullRight, std::nullopt});
        }
    }

    // Painted left to right: in 3D each bar hides the side of the one to its left.
    std::stable_sort(out.bars.begin(), out.bars.end(),
                     [](const BarGeom& a, const BarGeom& b) { return a.front.left < b.front.left; });
    PlaceParts(in, out);
}

// The bars in whose way a mark box stands: any but its own whose front (and in 3D its top
// face and side, `depth` to the right and up) meets the box.
bool CoversABar(const std::vector<BarGeom>& bars, const RectF& box, const BarGeom& own, double depth) {
    auto it = std::lower_bound(bars.begin(), bars.end(), box.left - depth,
                               [](const BarGeom& bar, double x) { return bar.front.right <= x; });
    for (; it != bars.end() && it->front.left < box.right; ++it) {
        if (&*it == &own) continue;
        const RectF body{it->front.left, it->front.top - depth, it->front.right + depth, it->front.bottom};
        if (body.Intersects(box)) return true;
    }
    return false;
}

// Marks are thinned as the axis labels are: the largest values are labelled first, and a mark
// that would overlap one already placed, cover another bar or leave the mark area in each of
// its places is left out (and counted, so the chart can say so).
void PlaceMarks(const LayoutInput& in, const TextMeasure& m, ChartLayout& out) {
    const double D = out.depth;
    const RectF& area = out.markArea;
    std::vector<std::size_t> order(out.bars.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const auto& ba = out.bars[a];
        const auto& bb = out.bars[b];
        return in.series[ba.series]->YValue(ba.index) > in.series[bb.series]->YValue(bb.index);
    });
    const double markH = m.Height(FontRole::Mark) + 2 * kMarkPadY;
    std::vector<RectF> taken;
    for (const std::size_t b : order) {
        const BarGeom& bar = out.bars[b];
        const TBarSeries& series = *in.series[bar.series];
        if (!series.Marks().Visible) continue;
        if (bar.cut) continue;  // its centre may lie outside: no mark for a bar half out of view
        const double cx = (bar.front.left + bar.front.right) / 2;
        const double barTop = series.YValue(bar.index) >= 0 ? bar.front.top : bar.front.bottom;
        PointF anchor{cx + D / 2, std::clamp(barTop, out.plot.top, out.plot.bottom) - D / 2};
        PointF end{anchor.x, anchor.y - series.Marks().ArrowLength};
        // Most candidates fall where a mark already stands: rule them out before formatting.
        const RectF least{anchor.x - kMarkPadX, end.y - markH, anchor.x + kMarkPadX, end.y};
        if (std::any_of(taken.begin(), taken.end(), [&](const RectF& t) { return t.Intersects(least); })) {
            ++out.marksLeftOut;
            continue;
        }
        std::string text = series.MarkTextOf(bar.index, in.separators);
        const double w = m.Width(FontRole::Mark, text) + 2 * kMarkPadX;
        const auto fits = [&](const RectF& box) {
            const RectF padded{box.left - 2, box.top - 1, box.right + 2, box.bottom + 1};
            return area.Contains(box) && box.left > area.left &&
                   std::none_of(taken.begin(), taken.end(), [&](const RectF& t) { return t.Intersects(padded); }) &&
                   !CoversABar(out.bars, box, bar, D);
        };
        // Centred over the bar, or else hung by one end, away from a taller neighbour; slid into
        // the mark area. The leader line meets the box in each case.
        const double reach = w / 2 - kMarkPadX;
        std::optional<RectF> placed;
        for (const double offset : {0.0, -reach, reach}) {
            RectF box{end.x + offset - w / 2, end.y - markH, end.x + offset + w / 2, end.y};
            box = box.Shifted(std::max(area.left + 1 - box.left, std::min(0.0, area.right - box.right)), 0);
            if (box.left <= end.x && end.x <= box.right && fits(box)) {
                placed = box;
                break;
            }
        }
        if (!placed) {
            ++out.marksLeftOut;
            continue;
        }
        taken.push_back(*placed);
        out.marks.push_back({bar.series, bar.index, anchor, end, *placed, std::move(text)});
    }
    std::sort(out.marks.begin(), out.marks.end(), [](const MarkGeom& a, const MarkGeom& b) {
        return a.series != b.series ? a.series < b.series : a.index < b.index;
    });
}

}  // namespace

double DepthPixels(int percent, double width, double height) {
    const double p = std::clamp(percent, 0, 100) / 100.0;
    return std::round(p * std::max(0.0, std::min(width, height)) * 0.5);
}

std::string CutToFit(std::string_view text, double room, const TextMeasure& measure, FontRole role) {
    static constexpr std::string_view kEllipsis = "\xE2\x80\xA6";
    if (measure.Width(role, text) <= room) return std::string(text);
    std::size_t end = text.size();
    while (end > 0) {
        // Back to the start of the last character: UTF-8 continuation bytes are 10xxxxxx.
        do {
            --end;
        } while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0U) == 0x80U);
        std::string_view kept = text.substr(0, end);
        while (!kept.empty() && kept.back() == ' ') kept.remove_suffix(1);
        std::string shown(kept);
        shown.append(kEllipsis);
        if (!kept.empty() && measure.Width(role, shown) <= room) return shown;
    }
    return std::string(kEllipsis);
}

int LabelStep(double labelExtent, double slot) {
    if (!(slot > 0)) return 1;
    const double raw = (labelExtent + kLabelGap) / slot;
    if (raw <= 1) return 1;
    // 1, 2, 5, 10, 20, 50, ... so the labelled positions are easy to count along.
    double magnitude = 1;
    while (true) {
        for (const double f : {1.0, 2.0, 5.0}) {
            if (f * magnitude >= raw) return static_cast<int>(f * magnitude);
        }
        magnitude *= 10;
        if (magnitude > 1e8) return static_cast<int>(magnitude);
    }
}

namespace {

// The first series with points labels the bottom axis; returns it (null when none has
// points) and the largest point count of all series.
const TBarSeries* LabelSource(const LayoutInput& in, ChartLayout& out, int& pointCount) {
    const TBarSeries* labelSource = nullptr;
    pointCount = 0;
    for (std::size_t s = 0; s < in.series.size(); ++s) {
        pointCount = std::max(pointCount, in.series[s]->Count());
        if (!labelSource && in.series[s]->Count() > 0) {
            labelSource = in.series[s];
            out.labelSeries = static_cast<int>(s);
        }
    }
    return labelSource;
}

// The title band at the top; returns the top of what lies below it.
double PlaceTitle(const LayoutInput& in, const TextMeasure& m, ChartLayout& out) {
    double top = kPad;
    if (in.title.empty()) return top;
    const double tw = m.Width(FontRole::Title, in.title);
    const double th = m.Height(FontRole::Title);
    double left = (in.width - tw) / 2;
    if (in.titleAlign == HAlign::Left) left = kPad;
    if (in.titleAlign == HAlign::Right) left = in.width - kPad - tw;
    out.titleBox = {std::max(kPad, left), top, std::max(kPad, left) + tw, top + th};
    return top + th + 4;
}

// The legend at the right; returns the right edge of what lies beside it.
double PlaceLegend(const LayoutInput& in, const TextMeasure& m, double top, ChartLayout& out) {
    double right = in.width - kPad;
    if (!in.legendVisible) return right;
    const double lh = m.Height(FontRole::Legend);
    std::vector<int> shown;
    double textW = 0;
    for (std::size_t s = 0; s < in.series.size(); ++s) {
        if (!in.series[s]->ShowInLegend()) continue;
        shown.push_back(static_cast<int>(s));
        textW = std::max(textW, m.Width(FontRole::Legend, in.series[s]->Title()));
    }
    if (shown.empty()) return right;
    const double w = 6 + 12 + 4 + textW + 6;
    const double h = 4 + static_cast<double>(shown.size()) * (lh + 4);
    const double legendTop = top + 4;
    out.legendBox = {right - w, legendTop, right, legendTop + h};
    for (std::size_t k = 0; k < shown.size(); ++k) {
        const double rowTop = legendTop + 4 + static_cast<double>(k) * (lh + 4);
        const double sy = rowTop + (lh - 10) / 2;
        out.legendItems.push_back({shown[k], {right - w + 6, sy, right - w + 18, sy + 10}, {right - w + 22, rowTop}});
    }
    return right - (w + 6);
}

// The key of the parts set apart, in a row of its own under the title, at the right as the
// legend is; returns the top of what lies below it.
double PlacePartKey(const LayoutInput& in, const TextMeasure& m, double top, ChartLayout& out) {
    for (std::size_t s = 0; s < in.series.size(); ++s) {
        const TBarSeries& series = *in.series[s];
        if (!series.HasParts() || series.PartKey().empty()) continue;
        const double lh = m.Height(FontRole::Legend);
        const double sy = top + (lh - 10) / 2;
        const double left = in.width - kPad - (12 + 4 + m.Width(FontRole::Legend, series.PartKey()));
        const double x = std::max(kPad, left);
        out.partKey = LegendItem{static_cast<int>(s), {x, sy, x + 12, sy + 10}, {x + 16, top}};
        return top + lh + 4;
    }
    return top;
}

// Room above the bars for the tallest bar's mark.
double MarkReserve(const LayoutInput& in, const TextMeasure& m) {
    double markReserve = 0;
    for (const auto* s : in.series) {
        if (s->Marks().Visible && s->Count() > 0) {
            markReserve = std::max(markReserve, s->Marks().ArrowLength + m.Height(FontRole::Mark) + 2 * kMarkPadY + 2);
        }
    }
    return markReserve;
}

// The edges of the area the plot, its axes and their labels share.
// The step after `step` in 1, 2, 5, 10, 20, 50, ...
int NextLabelStep(int step) {
    int magnitude = 1;
    while (step >= 10 * magnitude) magnitude *= 10;
    const int lead = step / magnitude;
    return (lead == 1 ? 2 : lead == 2 ? 5 : 10) * magnitude;
}

// The least step, below `widestStep` (the step the widest label needs), at which each label in
// view, at its own width, keeps clear of the next one labelled: one wide label no longer thins
// out all the others. Many points in view leave it at `widestStep`: they are thinned anyway.
// A label that would stand out of the chart (`room`: the plot's left, the chart's width) is not
// clear either.
int FlatLabelStep(const TBarSeries& labels, const Range& xr, double slot, std::pair<double, double> room,
                  const TextMeasure& m, int widestStep) {
    constexpr int kMeasuredPoints = 400;
    const int first = std::max(0, static_cast<int>(std::ceil(xr.lo)));
    const int last = std::min(labels.Count() - 1, static_cast<int>(std::floor(xr.hi)));
    if (widestStep <= 1 || last < first || last - first > kMeasuredPoints) return widestStep;
    std::vector<double> widths;
    widths.reserve(static_cast<std::size_t>(last) - static_cast<std::size_t>(first) + 1);
    for (int i = first; i <= last; ++i) widths.push_back(m.Width(FontRole::Axis, labels.Label(i)));
    for (int step = 1; step < widestStep; step = NextLabelStep(step)) {
        bool clear = true;
        int previous = -1;
        for (int i = first; i <= last && clear; ++i) {
            if (i % step != 0 || labels.IsGap(i)) continue;
            const auto at = [&](int point) { return widths[static_cast<std::size_t>(point - first)]; };
            const double x = room.first + (i - xr.lo) * slot;
            clear = x - at(i) / 2 >= kPad && x + at(i) / 2 <= room.second - kPad;
            if (previous >= 0) clear = clear && (at(previous) + at(i)) / 2 + kLabelGap <= (i - previous) * slot;
            previous = i;
        }
        if (clear) return step;
    }
    return widestStep;
}

struct PlotArea {
    double left;
    double top;
    double right;
    double bottom;
    double markReserve;
};

// The plot rectangle, the axis scales, the value ticks and how the bottom labels run.
void PlacePlot(const LayoutInput& in, const TextMeasure& m, const TBarSeries* labelSource, PlotArea area,
               ChartLayout& out) {
    const double axisH = m.Height(FontRole::Axis);
    const std::string valueFormat =
        in.series.empty() ? std::string(kDefaultValueFormat) : in.series.front()->ValueFormat();
    const double top = area.top;
    const double bottom = area.bottom;
    out.depth = in.view3D ? DepthPixels(in.chart3DPercent, area.right - area.left, bottom - top) : 0;
    const double D = out.depth;
    const double labelOffset = kTickLength + std::max(3.0, axisH / 2 - kTickLength + 1);
    const double flatBand = labelOffset + axisH;

    // Value ticks: a first estimate of the plot height gives the step, whose widest text
    // sets the width of the tick-label band.
    const Range& yr = in.ranges.left;
    const double guessH = bottom - flatBand - (top + area.markReserve + D);
    const double step1 = NiceStep(yr.Width(), guessH, 2.5 * axisH, in.valueStep);
    double tickW = 0;
    for (const double v : TickValues(yr, step1)) {
        tickW = std::max(tickW, m.Width(FontRole::Axis, FormatFloat(valueFormat, v, in.separators)));
    }
    tickW = std::max(tickW, m.Width(FontRole::Axis, FormatFloat(valueFormat, yr.hi, in.separators)));
    const double left = area.left + tickW + kTickLength + 3;

    out.plot.left = std::round(left);
    out.plot.right = std::round(std::max(out.plot.left + 1, area.right - D));
    const Range& xr = in.ranges.bottom;
    const double slot = out.plot.Width() / std::max(xr.Width(), 1e-9);

    // Bottom labels: horizontal when they fit, turned upright when that shows clearly more
    // of them, and thinned to every n-th otherwise. Never two on top of each other.
    const double maxLabelW =
        in.maxLabelWidth >= 0 ? in.maxLabelWidth : (labelSource ? WidestLabel(*labelSource, m) : 0);
    const int flatStep =
        labelSource ? FlatLabelStep(*labelSource, xr, slot, {out.plot.left, in.width}, m, LabelStep(maxLabelW, slot))
                    : LabelStep(maxLabelW, slot);
    const int uprightStep = LabelStep(axisH, slot);
    out.labelsRotated = maxLabelW > axisH && flatStep > 1 && (uprightStep == 1 || 2 * uprightStep <= flatStep);
    out.labelStep = out.labelsRotated ? uprightStep : flatStep;
    const double labelExtent = out.labelsRotated ? std::min(maxLabelW, 0.4 * in.height) : axisH;
    const double band = labelOffset + labelExtent;

    out.plot.bottom = std::round(std::max(top + 1, bottom - band));
    out.plot.top = std::round(std::min(out.plot.bottom - 1, top + area.markReserve + D));
    out.labelTop = out.plot.bottom + labelOffset;

    out.x = {xr, out.plot.left, out.plot.right};
    out.y = {yr, out.plot.bottom, out.plot.top};
    const double step2 = std::max(step1, NiceStep(yr.Width(), out.plot.Height(), 2.5 * axisH, in.valueStep));
    out.ticks = Ticks(yr, step2, out.y, valueFormat, in.separators);
    // A short plot has room for one interval only, which the round steps can miss (0 to 600 has
    // no tick at 1,000): then the top of the range is labelled itself.
    if (out.ticks.size() < 2 && yr.lo <= 0 && yr.hi > 0 && out.plot.Height() >= 2 * axisH) {
        if (out.ticks.empty() || out.ticks.back().value < yr.hi) {
            out.ticks.push_back({yr.hi, out.plot.top, FormatFloat(valueFormat, yr.hi, in.separators)});
        }
    }
}

// The band's slots, cut to the plot: each point owns the span from half a position left of it
// to half a position right of it.
std::optional<RectF> PlaceBand(const LayoutInput& in, const ChartLayout& out) {
    if (!in.band || in.band->last < in.band->first) return std::nullopt;
    const double l = std::max(std::round(out.x.ToPixel(in.band->first - 0.5)), out.plot.left);
    const double r = std::min(std::round(out.x.ToPixel(in.band->last + 0.5)), out.plot.right);
    if (r - l < 1) return std::nullopt;
    return RectF{l, out.plot.top, r, out.plot.bottom};
}

}  // namespace

int PointAt(const ChartLayout& layout, PointF at) {
    // Fronts first: in 3D a bar's faces reach over its right neighbour's front.
    for (const BarGeom& bar : layout.bars) {
        const RectF& f = bar.front;
        if (at.x >= f.left && at.x < f.right && at.y >= f.top && at.y <= f.bottom) return bar.index;
    }
    // Then the faces: the front swept k pixels right and up, for k up to the depth. A short bar
    // counts as a few pixels high.
    for (const BarGeom& bar : layout.bars) {
        const RectF& f = bar.front;
        const double top = std::min(f.top, f.bottom - kMinHitHeight);
        // Half a pixel keeps the front's right edge outside, as it is in the first loop.
        const double lo = std::max({0.0, at.x - f.right + 0.5, top - at.y});
        const double hi = std::min({layout.depth, at.x - f.left, f.bottom - at.y});
        if (lo <= hi) return bar.index;
    }
    return -1;
}

ChartLayout ComputeLayout(const LayoutInput& in, const TextMeasure& m) {
    ChartLayout out;
    out.bounds = {0, 0, in.width, in.height};
    int pointCount = 0;
    const TBarSeries* labelSource = LabelSource(in, out, pointCount);

    PlotArea area{};
    area.top = PlaceTitle(in, m, out);
    const double titleBottom = area.top;
    area.top = PlacePartKey(in, m, area.top, out);
    area.right = PlaceLegend(in, m, area.top, out);
    // Vertical axis title at the left.
    area.left = kPad;
    if (!in.leftAxisTitle.empty()) {
        const double h = m.Height(FontRole::AxisTitle);
        out.leftTitleBox = {area.left, area.top, area.left + h, in.height - kPad};
        area.left += h + 4;
    }
    area.bottom = in.height - kPad;
    area.markReserve = MarkReserve(in, m);
    PlacePlot(in, m, labelSource, area, out);

    // Points whose bars can reach into the visible span.
    const Range& xr = in.ranges.bottom;
    const int first = std::max(0, static_cast<int>(std::floor(xr.lo)));
    const int last = std::min(pointCount - 1, static_cast<int>(std::ceil(xr.hi)));

    PlaceLabels(in, m, labelSource, first, last, out);
    PlaceBars(in, first, last, out);
    out.band = PlaceBand(in, out);
    out.markArea = {out.plot.left, area.top, out.plot.right + out.depth, out.plot.bottom};
    PlaceMarks(in, m, out);
    if (!in.title.empty()) out.statusBox = {kPad, kPad, std::max(kPad, out.titleBox.left - 2 * kPad), titleBottom};
    return out;
}

}  // namespace quorvela::charts
