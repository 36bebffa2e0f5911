#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "charts/engine/tchart.h"

class QWidget;

namespace quorvela::charts {

// One category of a tally as the analysis hands it over: the axis label and how many files.
struct CategoryCount {
    std::string label;
    int count = 0;
};

// The fixed look of each usage chart, one row per chart.
struct ChartAppearance {
    std::string_view chart;
    std::string_view title;
    Rgb seriesColor;
    GradientDirection gradient;
    int arrowLength;
    std::string_view percentFormat;
    bool legendVisible;   // the chart's own legend switch
    bool seriesInLegend;  // the series' "show in legend" flag
};

inline constexpr std::string_view kLeftAxisTitle = "times used";
inline constexpr Rgb kGradientStart{192, 192, 192};
inline constexpr Rgb kGradientEnd{255, 255, 255};
inline constexpr int kChart3DPercent = 20;

// Neither legend is drawn: Chart5 and Chart6 switch theirs off, BarSeries3 and BarSeries4 stay
// out of theirs.
inline constexpr std::array<ChartAppearance, 4> kChartAppearance{{
    {"Chart5", "focal length usage (mm)", {0, 0, 255}, GradientDirection::TopBottom, 20, "##0.##%", false, true},
    {"Chart6", "iso", {255, 0, 0}, GradientDirection::BottomTop, 8, "##0.## %", false, true},
    {"Chart7", "aperture", {255, 128, 64}, GradientDirection::TopBottom, 8, "##0.## %", true, false},
    {"Chart8", "shutter speed (sec)", {0, 128, 128}, GradientDirection::TopBottom, 8, "##0.## %", true, false},
}};

// The four usage charts (focal length, ISO, aperture, shutter speed), each with its one bar
// series, created with the look they keep for the program's lifetime. The charts are children
// of `parent`; placing them is the window's business.
class ChartSet {
  public:
    explicit ChartSet(QWidget* parent);

    TChart* Chart5;
    TChart* Chart6;
    TChart* Chart7;
    TChart* Chart8;
    TBarSeries* BarSeries1;
    TBarSeries* BarSeries2;
    TBarSeries* BarSeries3;
    TBarSeries* BarSeries4;

    [[nodiscard]] std::array<TChart*, 4> Charts() const { return {Chart5, Chart6, Chart7, Chart8}; }
    [[nodiscard]] std::array<TBarSeries*, 4> Series() const { return {BarSeries1, BarSeries2, BarSeries3, BarSeries4}; }

    // Replaces the points of chart `index` (0 = focal length … 3 = shutter speed) with one
    // point per category, in the given order.
    void Fill(int index, std::span<const CategoryCount> categories);
    void ClearAll();
};

}  // namespace quorvela::charts
