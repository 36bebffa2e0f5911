#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "ui/control_rules.h"
#include "ui/window_layout.h"

namespace quorvela::charts {
class ChartSet;
}

namespace quorvela::ui {

// The status bar's help while the mouse is over a chart.
inline constexpr const char* kZoomHelp =
    "Left mouse drag (Up/Down) = zoom. Right mouse drag = pan. Invert Zoom rectangle = reset.";

// The usage charts in the window: their places (the overview's in a 2 x 2 grid on the overview,
// or each on its own tab; the lens chart always on its own), the display options of the top bar (statistics, 3D, points
// per page), the zoom bookkeeping behind the reset buttons, and saving a chart as a picture. It listens to the controls
// of its own: the options, the reset, fit and save buttons and the charts.
class ChartPanel final : public QObject {
  public:
    // The save-file dialog for a chart: the chosen file, or empty when cancelled.
    using AskSaveFile = std::function<QString(const QString& proposedPath, const QString& filter)>;
    // A file name placed in the folder the save dialog opens in.
    using InSaveFolder = std::function<QString(const QString& fileName)>;

    // `askSaveFile` empty gives the platform's dialog over `window`.
    ChartPanel(QWidget* window, const WindowWidgets& widgets, char decimalSeparator, AskSaveFile askSaveFile,
               InSaveFolder inSaveFolder);
    ~ChartPanel() override;

    // Placement.
    // To the overview grid when that tab shows and `toOverview`, else each to its own tab.
    void Distribute(bool toOverview);
    // The overview grid over the overview panel's current size.
    void LayOutOverview();
    // A double-click on a chart: to its own tab, or back to the overview from there.
    void ToggleOwnTab(Quantity quantity);
    // The overview tab chosen by the program (not the user), the charts on it.
    void ShowOverview();
    // Chart `quantity`'s own tab chosen by the program, the chart on it.
    void ShowOwnTab(Quantity quantity);

    // Display options, as the top bar's controls hold them.
    void ApplyStatistics();
    void Apply3D();
    void ApplyPointsPerPage();  // wraps the box at its ends and undoes every zoom
    // The mouse is over a chart: zooming allowed, its help in the status bar.
    void MouseOverChart();

    // Zoom, reset and export.
    void UndoAllZooms();
    void ResetOverview();               // "Reset overview zooms and scrolls"
    void FitChart(Quantity quantity);   // "Fit graph"
    void SaveChart(Quantity quantity);  // "Save graph as picture": PNG, SVG or BMP, captioned
    void EnableSaving(bool enabled);

    // The points.
    void Clear();  // the points of every chart, and their zooms
    // `estimated` of `count`: photos whose category is an estimate, drawn apart in the bar.
    void AddPoint(Quantity quantity, const std::string& label, int count, int estimated = 0);
    // The charts themselves, for the parts that read or mark their points.
    [[nodiscard]] charts::ChartSet& Charts() const;

    // A bar was clicked, or Enter pressed on one: the chart and the point's index.
    std::function<void(Quantity quantity, int point)> OnPointChosen;
    // A chart's selection moved: the chart and the point's index, -1 for none.
    std::function<void(Quantity quantity, int point)> OnPointSelected;
    // The line under a saved chart; none without it.
    std::function<QString()> Caption;

  private:
    void Connect();
    void ToOwnTab(Quantity quantity);
    [[nodiscard]] ViewStates CurrentViewStates() const;
    void ZoomUndone(Quantity quantity);
    void ApplyResetButtons(const ResetButtons& buttons);
    [[nodiscard]] QString AskSaveFileName(Quantity quantity) const;

    QWidget* window_;
    const WindowWidgets& w_;
    AskSaveFile askSaveFile_;
    InSaveFolder inSaveFolder_;
    std::unique_ptr<charts::ChartSet> charts_;
};

}  // namespace quorvela::ui
