#include "ui/control_rules.h"

#include <algorithm>

namespace quorvela::ui {

ModeDisplay DisplayFor(const LensMode& mode) {
    if (mode.RealLength) return {kModeRealLength, false};
    return {mode.AlwaysCalculate ? kModeCalculate : kMode35mm, true};
}

std::optional<LensMode> NextMode(std::string_view caption) {
    if (caption == kMode35mm) return LensMode{true, false};
    if (caption == kModeRealLength) return LensMode{false, true};
    if (caption == kModeCalculate) return LensMode{false, false};
    return std::nullopt;
}

bool KeepDecimalKey(char32_t key, char decimalSeparator) {
    if (decimalSeparator == '.' && key == U',') return false;
    if (decimalSeparator == ',' && key == U'.') return false;
    return true;
}

std::optional<int> WrappedPointsPerPage(int value) {
    if (value == -10) return 100;
    if (value == 110) return 0;
    return std::nullopt;
}

std::array<GridCell, 4> OverviewGrid(int panelWidth, int panelHeight) {
    const int w = panelWidth / 2;
    const int h = panelHeight / 2;
    return {{{0, 0, w, h}, {w, 0, w, h}, {0, h, w, h}, {w, h, w, h}}};
}

Bounds FitOnDesktop(const Bounds& saved, const Bounds& desktop, int minimumWidth, int minimumHeight) {
    // The part of the window that must stay on the desktop to be reached with the mouse.
    constexpr int kGrip = 40;
    Bounds fit = saved;
    fit.Width = std::max(std::min(saved.Width, desktop.Width), minimumWidth);
    fit.Height = std::max(std::min(saved.Height, desktop.Height), minimumHeight);
    const bool reachable = fit.Left + fit.Width >= desktop.Left + kGrip &&
                           fit.Left <= desktop.Left + desktop.Width - kGrip && fit.Top >= desktop.Top &&
                           fit.Top <= desktop.Top + desktop.Height - kGrip;
    if (!reachable) {
        fit.Left = desktop.Left + (desktop.Width - fit.Width) / 2;
        fit.Top = desktop.Top + (desktop.Height - fit.Height) / 2;
    }
    return fit;
}

namespace {

// A chart counts as moved while the user's zoom or pan is showing. The engine's zoomed flag
// alone misses a chart that was only panned, whose "Fit graph" must still bring it back.
bool Moved(const ChartViewState& view) {
    return view.Zoomed || view.UserRanges;
}

}  // namespace

ResetButtons AfterZoom(const ViewStates& views) {
    ResetButtons buttons{true, {}};
    for (const Quantity q : kQuantities) buttons.Fit[q] = Moved(views[q]);
    return buttons;
}

ResetButtons AfterUndoZoom(const ViewStates& views) {
    ResetButtons buttons;
    for (const Quantity q : kQuantities) {
        buttons.Fit[q] = Moved(views[q]);
        // The overview's reset serves the charts it shows.
        buttons.Overview = buttons.Overview || (OnOverview(q) && buttons.Fit[q]);
    }
    return buttons;
}

ResetButtons AfterScroll(const ViewStates& views) {
    ResetButtons buttons{true, {}};
    for (const Quantity q : kQuantities) buttons.Fit[q] = views[q].FirstShown != 0 || views[q].UserRanges;
    return buttons;
}

}  // namespace quorvela::ui
