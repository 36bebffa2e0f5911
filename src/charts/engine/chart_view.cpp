#include "charts/engine/chart_view.h"

#include <algorithm>
#include <cmath>

namespace quorvela::charts {

ViewRanges Blend(const ViewRanges& from, const ViewRanges& to, double t) {
    return {Blend(from.bottom, to.bottom, t), Blend(from.left, to.left, t)};
}

void ChartView::SetData(int pointCount, double maxValue, bool integerValues) {
    count_ = std::max(0, pointCount);
    max_ = std::isfinite(maxValue) ? maxValue : 0;
    integer_ = integerValues;
    if (!user_) current_ = Automatic();
}

void ChartView::SetMaxPointsPerPage(int n) {
    perPage_ = std::max(0, n);
    if (!user_) current_ = Automatic();
}

int ChartView::PageCount() const {
    if (perPage_ <= 0 || count_ <= perPage_) return 1;
    return (count_ + perPage_ - 1) / perPage_;
}

int ChartView::Page() const {
    const int pages = PageCount();
    if (pages <= 1) return 0;
    const double middle = (current_.bottom.lo + current_.bottom.hi) / 2 + 0.5;
    return std::clamp(static_cast<int>(std::floor(middle / perPage_)), 0, pages - 1);
}

bool ChartView::ShowPage(int page) {
    if (PageCount() <= 1) return false;
    const int first = std::clamp(page, 0, PageCount() - 1) * perPage_;
    const Range bottom{first - 0.5, first + perPage_ - 0.5};
    if (bottom == current_.bottom) return false;
    current_.bottom = bottom;
    user_ = true;
    return true;
}

ViewRanges ChartView::Automatic() const {
    ViewRanges r;
    const int shown = perPage_ > 0 ? std::min(perPage_, count_) : count_;
    r.bottom = {-0.5, std::max(shown, 1) - 0.5};
    r.left = {0, NiceCeiling(max_, ValueStep())};
    return r;
}

bool ChartView::Zoom(const ViewRanges& target) {
    const auto valid = [](const Range& r) { return std::isfinite(r.lo) && std::isfinite(r.hi) && r.hi > r.lo; };
    if (!valid(target.bottom) || !valid(target.left)) return false;
    current_ = target;
    zoomed_ = true;
    user_ = true;
    return true;
}

bool ChartView::Pan(double bottomDelta, double leftDelta) {
    ViewRanges next = current_;
    if (count_ > 0 && std::isfinite(bottomDelta)) {
        // At least one point position stays inside the view at either end of the data.
        const double w = next.bottom.Width();
        const double lo = std::clamp(next.bottom.lo + bottomDelta, std::min({-0.5, 0.5 - w, current_.bottom.lo}),
                                     std::max({-0.5, count_ - 1.5, current_.bottom.lo}));
        next.bottom = {lo, lo + w};
    }
    if (std::isfinite(leftDelta)) {
        // A tenth of the view keeps showing the range between zero and the tallest bar.
        const double w = next.left.Width();
        const double top = std::max(max_, 0.0);
        const double lo = std::clamp(next.left.lo + leftDelta, std::min(current_.left.lo, -0.9 * w),
                                     std::max(current_.left.lo, top - 0.1 * w));
        next.left = {lo, lo + w};
    }
    if (next == current_) return false;
    current_ = next;
    user_ = true;
    return true;
}

void ChartView::Restore() {
    user_ = false;
    current_ = Automatic();
}

}  // namespace quorvela::charts
