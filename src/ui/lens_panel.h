#pragma once

#include <QObject>
#include <cstddef>
#include <optional>
#include <vector>

#include "common/quantity.h"
#include "ui/window_layout.h"

namespace quorvela::ui {

class AnswerPanel;
class ChartPanel;

// The hint beside the lens chart while no lens is selected.
inline constexpr const char* kLensFocalHint = "Select a lens to see the focal lengths it was used at.";

// The Lens tab: the lens chart with the named lenses first and the built-in and unknown ones after
// an empty slot (left out while "Include photos without a named lens" is off), and beside it the
// focal lengths of the selected lens's photos under a sentence on how its range was used, answered
// from the run's photos without another run.
class LensPanel final : public QObject {
  public:
    LensPanel(const WindowWidgets& widgets, ChartPanel& charts, AnswerPanel& answers);

    // The run has opened its folder: the earlier run's lenses and selection go.
    void Clear();
    // The next row of the lens chart, in the run's order.
    void AddRow(const CategoryCount& row);
    // The run's photos have arrived: the selected lens is answered from them.
    void PhotosChanged();
    // The lens chart's selection moved to `point` (-1 for none).
    void LensSelected(int point);

  private:
    // Lays the lens chart's bars out anew from the rows, the selected lens kept when it is shown.
    void Refill();
    void ShowSelected();

    const WindowWidgets& w_;
    ChartPanel& charts_;
    AnswerPanel& answers_;
    std::vector<CategoryCount> rows_;
    std::vector<std::optional<std::size_t>> bars_;  // the row of each point of the lens chart; none for the slot
    std::optional<std::size_t> selected_;           // the selected lens's row
    bool refilling_ = false;                        // the chart's selection moves as its bars are laid out
};

}  // namespace quorvela::ui
