#pragma once

#include <vector>

namespace quorvela::charts {

// A closed interval of axis values.
struct Range {
    double lo = 0;
    double hi = 1;
    [[nodiscard]] double Width() const { return hi - lo; }
    bool operator==(const Range&) const = default;
};

// The straight-line blend of two ranges, t in [0, 1]; drives the zoom animation.
Range Blend(const Range& from, const Range& to, double t);

// Maps axis values to pixels along one direction; p0 is where `range.lo` lands.
struct AxisMap {
    Range range;
    double p0 = 0;
    double p1 = 1;
    [[nodiscard]] double ToPixel(double value) const;
    [[nodiscard]] double ToValue(double pixel) const;
    [[nodiscard]] double PixelsPerUnit() const;
};

// The step between ticks: 1, 2 or 5 times a power of ten, the smallest that keeps ticks at
// least `minPixels` apart on an axis of `pixels` length, and never below `minStep` (1 for
// counts, so "times used" never shows 2.5).
double NiceStep(double span, double pixels, double minPixels, double minStep);

// The multiples of `step` inside `range` (a tolerance keeps the ends that rounding nudges out).
std::vector<double> TickValues(const Range& range, double step);

// The top of an automatic value axis: `maxValue` rounded up to the next multiple of a nice
// step of about a fifth of it, so the tallest bar ends below or at the top gridline.
double NiceCeiling(double maxValue, double minStep);

}  // namespace quorvela::charts
