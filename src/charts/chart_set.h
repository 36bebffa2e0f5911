#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/quantity.h"

class QWidget;

namespace quorvela::charts {

class TChart;
class TBarSeries;

// What the marks above the bars show, in the order of the window's "Statistics" box; None is
// no entry chosen and leaves the marks as they are.
enum class Statistics { None = -1, Off, PlottedValues, TimesUsed, PercentUsed, PercentAndTotal, ShowAll };

// The usage charts, one per quantity, each with its one bar series, created with the look they
// keep for the program's lifetime, and everything the program does with them; beside them, the
// focal lengths of one lens. The charts are children of `parent`; placing them is the caller's
// business. The set itself is a child of `parent` too, named "ChartSet".
class ChartSet final : public QObject {
  public:
    // A run of categories, first to last point (0-based, both included).
    struct Span {
        int First = 0;
        int Last = 0;
        bool operator==(const Span&) const = default;
    };

    explicit ChartSet(QWidget* parent);
    ~ChartSet() override;
    ChartSet(const ChartSet&) = delete;
    ChartSet& operator=(const ChartSet&) = delete;

    // The widget of chart `quantity`, to be placed in a layout or on a tab.
    [[nodiscard]] QWidget* Widget(Quantity quantity) const;

    // Display options, for every chart.
    void SetStatistics(Statistics mode);
    void Set3D(bool on);
    void SetPointsPerPage(int points);  // 0 shows every point at once
    // How numbers are written on the axes and in the marks.
    void SetNumberSeparators(char decimal, const std::string& thousands);
    // Whether a left drag zooms.
    void AllowZoom(bool allow);

    // Zoom and pan.
    void UndoZoom(Quantity quantity);  // back to the automatic scales
    void UndoAllZooms();
    // A chart's view as the window's reset buttons see it.
    [[nodiscard]] ChartViewState View(Quantity quantity) const;
    // Zooms into a rectangle in the widget's pixels, as a left drag over it does; false when
    // the rectangle is refused.
    bool ZoomTo(Quantity quantity, const QRect& pixels);
    // Paging, with points per page set: the page a chart shows (0-based) of how many, and
    // moving to another page, as the chart's own arrow buttons do; false when nothing moved.
    struct PageState {
        int Page = 0;
        int Pages = 1;
    };
    [[nodiscard]] PageState Pages(Quantity quantity) const;
    bool ShowPage(Quantity quantity, int page);

    // Points.
    void Clear();  // every chart
    void Clear(Quantity quantity);
    // `estimated` of `count` are photos whose category is an estimate: that part of the bar is
    // drawn hatched, and the chart's key line says what the hatching means.
    void AddPoint(Quantity quantity, const std::string& label, int count, int estimated = 0);
    // Replaces the points of a chart with one point per category, in the given order.
    void Fill(Quantity quantity, std::span<const CategoryCount> categories);
    // An empty slot after the points so far, with a dashed line in it: it sets groups of bars
    // apart. It has no bar to click or select with the keys.
    void AddGap(Quantity quantity);

    // A band shaded behind the bars of chart `quantity` over the points of `span`; none clears it.
    void Shade(Quantity quantity, std::optional<Span> span);
    [[nodiscard]] std::optional<Span> Shaded(Quantity quantity) const;
    // The point chosen with the keys (-1 for none), and selecting one as the keys do. The lens
    // chart keeps its selection in sight: a click there selects a bar, and a double-click or
    // Enter chooses it.
    [[nodiscard]] int SelectedPoint(Quantity quantity) const;
    void SelectPoint(Quantity quantity, int point);
    // Where the bar of a point is drawn, in the chart's pixels; empty when it is not in view.
    [[nodiscard]] QRect PointRect(Quantity quantity, int point) const;

    // The focal lengths of the photos of one lens ("ChartLensFocal"), drawn as the focal-length
    // chart is and following the same display options; it does not zoom.
    [[nodiscard]] QWidget* LensFocalWidget() const;
    // Its title and points, at its automatic scales; no points leave it empty.
    void FillLensFocal(const std::string& title, std::span<const CategoryCount> categories);

    // Writes chart `quantity` as shown, with `caption` wrapped under it, in the format its name
    // ends in (ImageFormatOf); false when the file could not be written.
    [[nodiscard]] bool SaveImage(Quantity quantity, const QString& fileName, const QString& caption = {}) const;
    // The image format a file name asks for by its ending, any case: "svg", "bmp", else "png".
    [[nodiscard]] static const char* ImageFormatOf(const QString& fileName);

    // Raised with the chart's index after the change they report.
    std::function<void(Quantity quantity)> OnZoomed;
    std::function<void(Quantity quantity)> OnZoomUndone;
    std::function<void(Quantity quantity)> OnScrolled;
    std::function<void(Quantity quantity)> OnDoubleClicked;
    std::function<void(Quantity quantity)> OnMouseMove;
    // A click on a bar, or Enter on the selected one: the point's index in its chart.
    std::function<void(Quantity quantity, int point)> OnPointChosen;
    // The selection of a chart moved, by the mouse, the keys or SelectPoint: the point, -1 for none.
    std::function<void(Quantity quantity, int point)> OnPointSelected;

    // What a chart shows, for tests and tools.
    struct Shown {
        std::string Title;
        bool View3D = false;
        bool ZoomAllowed = false;
        int PointsPerPage = 0;
        bool MarksVisible = false;
        // The marks' style: "Label", "Value", "Percent", "PercentTotal" or "LabelPercentTotal".
        std::string MarksStyle;
        // Label and value, in order; a gap is an empty label without a value (NaN).
        std::vector<std::pair<std::string, double>> Points;
        std::vector<double> Estimated;  // of each point's value, the estimated part
    };
    [[nodiscard]] Shown ShownBy(Quantity quantity) const;
    [[nodiscard]] Shown LensFocalShown() const;
    // The text of a point's mark in the marks' current style.
    [[nodiscard]] std::string MarkText(Quantity quantity, int point) const;
    // The key line over a chart with estimated points, as it reads.
    static constexpr std::string_view kEstimateKey = "Hatched: estimated with the manual factor";

  private:
    [[nodiscard]] TChart& Chart(Quantity quantity) const;
    [[nodiscard]] TBarSeries& Series(Quantity quantity) const;
    void Connect(Quantity quantity);
    [[nodiscard]] static Shown ShownOf(const TChart& chart, const TBarSeries& series);
    // Every chart that is still there, the lens's focal lengths included.
    [[nodiscard]] std::vector<TChart*> AllCharts() const;

    PerQuantity<TChart*> charts_{};
    PerQuantity<TBarSeries*> series_{};
    TChart* lensFocal_ = nullptr;
    TBarSeries* lensFocalSeries_ = nullptr;
};

}  // namespace quorvela::charts
