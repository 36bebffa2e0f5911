#pragma once

#include "charts/engine/axis_scale.h"

namespace quorvela::charts {

// The visible part of the data: the horizontal span in point positions (point i is centred
// on i, so an automatic span of n points is [-0.5, n - 0.5]) and the value range.
struct ViewRanges {
    Range bottom{-0.5, 0.5};
    Range left{0, 1};
    bool operator==(const ViewRanges&) const = default;
};

ViewRanges Blend(const ViewRanges& from, const ViewRanges& to, double t);

// Zoom, pan and paging of one chart, without any drawing. While the user has not zoomed or
// panned, the ranges follow the data (automatic scales); afterwards they stay where the user
// put them until Restore().
class ChartView {
  public:
    // The number of points (the widest series) and the largest value; `integerValues` keeps
    // the value axis to whole steps.
    void SetData(int pointCount, double maxValue, bool integerValues);
    // 0 shows every point; n > 0 shows the first n and leaves the rest to panning.
    void SetMaxPointsPerPage(int n);
    [[nodiscard]] int MaxPointsPerPage() const { return perPage_; }
    // With points per page set and more points than one page holds: how many pages the points
    // fill (1 otherwise) and the page the view stands on, 0-based: the one holding the view's middle.
    [[nodiscard]] int PageCount() const;
    [[nodiscard]] int Page() const;
    // Shows page `page` (kept to the pages there are) at the value range shown; false when
    // nothing moved. The ranges become the user's, as after panning.
    bool ShowPage(int page);

    [[nodiscard]] const ViewRanges& Current() const { return current_; }
    [[nodiscard]] ViewRanges Automatic() const;
    [[nodiscard]] bool Zoomed() const { return zoomed_; }
    // True while the ranges are the user's rather than the automatic ones.
    [[nodiscard]] bool UserRanges() const { return user_; }
    [[nodiscard]] double ValueStep() const { return integer_ ? 1.0 : 0.0; }

    // The first point position that the horizontal axis shows: 0 for an unpanned chart.
    [[nodiscard]] double BottomMinimum() const { return current_.bottom.lo + 0.5; }
    [[nodiscard]] double BottomMaximum() const { return current_.bottom.hi - 0.5; }
    [[nodiscard]] double LeftMinimum() const { return current_.left.lo; }
    [[nodiscard]] double LeftMaximum() const { return current_.left.hi; }

    // Shows `target` and marks the chart zoomed. Refused (false) for empty or inverted ranges.
    bool Zoom(const ViewRanges& target);
    // Moves the view by the given amounts of axis units, keeping some data in sight. Returns
    // whether anything moved.
    bool Pan(double bottomDelta, double leftDelta);
    // Back to the automatic scales. The zoomed flag is left alone: the caller clears it once
    // its listeners have seen the chart still zoomed.
    void Restore();
    void ClearZoomed() { zoomed_ = false; }

  private:
    int count_ = 0;
    double max_ = 0;
    bool integer_ = true;
    int perPage_ = 0;
    bool zoomed_ = false;
    bool user_ = false;
    ViewRanges current_;
};

}  // namespace quorvela::charts
