#include "charts/engine/axis_scale.h"

#include <algorithm>
#include <cmath>

namespace quorvela::charts {
namespace {

// The smallest 1/2/5 × 10^k that is >= raw.
double NiceAtLeast(double raw) {
    if (!(raw > 0) || !std::isfinite(raw)) return 1;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * magnitude >= raw * (1 - 1e-9)) return factor * magnitude;
    }
    return 10 * magnitude;
}

}  // namespace

Range Blend(const Range& from, const Range& to, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {from.lo + (to.lo - from.lo) * t, from.hi + (to.hi - from.hi) * t};
}

double AxisMap::ToPixel(double value) const {
    const double w = range.Width();
    if (w == 0) return p0;
    return p0 + (value - range.lo) / w * (p1 - p0);
}

double AxisMap::ToValue(double pixel) const {
    if (p1 == p0) return range.lo;
    return range.lo + (pixel - p0) / (p1 - p0) * range.Width();
}

double AxisMap::PixelsPerUnit() const {
    const double w = range.Width();
    return w == 0 ? 0 : std::fabs(p1 - p0) / w;
}

double NiceStep(double span, double pixels, double minPixels, double minStep) {
    span = std::fabs(span);
    if (span == 0 || pixels <= 0) return std::max(minStep, 1.0);
    const double maxTicks = std::max(1.0, std::floor(pixels / std::max(minPixels, 1.0)));
    return std::max(NiceAtLeast(span / maxTicks), minStep > 0 ? NiceAtLeast(minStep) : 0.0);
}

std::vector<double> TickValues(const Range& range, double step) {
    std::vector<double> ticks;
    if (!(step > 0) || range.hi < range.lo) return ticks;
    const double tolerance = step * 1e-9;
    const double first = std::ceil((range.lo - tolerance) / step);
    const double last = std::floor((range.hi + tolerance) / step);
    if (last - first > 10000) return ticks;  // a degenerate range must not allocate without bound
    for (double k = first; k <= last; ++k) ticks.push_back(k * step == 0 ? 0 : k * step);
    return ticks;
}

double NiceCeiling(double maxValue, double minStep) {
    if (!(maxValue > 0)) return std::max(minStep, 1.0);
    const double step = std::max(NiceAtLeast(maxValue / 5), minStep);
    return std::ceil(maxValue / step - 1e-9) * step;
}

}  // namespace quorvela::charts
