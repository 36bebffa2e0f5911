#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The rules by which the window's controls change together, as plain values and functions so
// that tests drive them without a window. The window applies what they return.
#include "common/quantity.h"

namespace quorvela::ui {

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const Rgb&) const = default;
};

// The three looks of the re-analysis indicator.
struct IndicatorLook {
    Rgb Background;
    Rgb Text;
    bool operator==(const IndicatorLook&) const = default;
};
inline constexpr IndicatorLook kIndicatorStart{{192, 220, 192}, {128, 128, 128}};
inline constexpr IndicatorLook kIndicatorNeeded{{237, 220, 203}, {255, 0, 0}};
inline constexpr IndicatorLook kIndicatorCurrent{{192, 220, 192}, {0, 0, 0}};

// The status line beside the red indicator when a setting that changes the charts has changed.
inline constexpr const char* kSettingsChanged = "Settings changed \u2014 Start analyzing to update the charts";

inline constexpr std::string_view kMode35mm = "35mm equivalent";
inline constexpr std::string_view kModeRealLength = "Real lens length";
inline constexpr std::string_view kModeCalculate = "Calculate 35mm";

// The focal-length mode as two controls hold it: the real-length toggle and "Always calculate".
struct LensMode {
    bool RealLength = false;
    bool AlwaysCalculate = false;
    bool operator==(const LensMode&) const = default;
};

// What setButtonstate shows for a mode: the indicator caption and whether the manual-factor
// panel is visible.
struct ModeDisplay {
    std::string_view Caption;
    bool ManualFactorVisible = true;
};
ModeDisplay DisplayFor(const LensMode& mode);

// The mode a double-click on the indicator switches to, read from its caption; nullopt for a
// caption that is none of the three (exact, case-sensitive).
std::optional<LensMode> NextMode(std::string_view caption);

// Whether a key typed into the manual-factor fields is kept: the decimal mark that is not the
// locale's is dropped.
bool KeepDecimalKey(char32_t key, char decimalSeparator);

// The points-per-page box steps by 10 between -10 and 110 and wraps at both ends; the value it
// must be set to instead, or nullopt when the value stands.
std::optional<int> WrappedPointsPerPage(int value);

// Statistics entries, in the order of the drop-down box.
inline constexpr std::array<std::string_view, 6> kStatisticsModes{
    "Statistics off", "Plotted values", "Times used", "Percent used", "Percent and total", "Show all statistics"};

// One chart's place in the overview grid.
struct GridCell {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const GridCell&) const = default;
};
// The 2 x 2 grid over an overview panel of the given size, in chart order (focal length top
// left, ISO top right, aperture bottom left, shutter speed bottom right).
std::array<GridCell, 4> OverviewGrid(int panelWidth, int panelHeight);

inline constexpr int kMinimumTreeWidth = 35;

struct Bounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const Bounds&) const = default;
};
// Saved window bounds made showable on the desktop: the size kept between the minimum and the
// desktop's size, and a window that would lie (almost) wholly off the desktop, as after a
// monitor was unplugged, centred on it instead.
Bounds FitOnDesktop(const Bounds& saved, const Bounds& desktop, int minimumWidth, int minimumHeight);

// What the chart reset buttons show: the overview's "reset all" and each chart's "Fit graph".
struct ResetButtons {
    bool Overview = false;
    PerQuantity<bool> Fit{};
    bool operator==(const ResetButtons&) const = default;
};
using ViewStates = PerQuantity<ChartViewState>;
ResetButtons AfterZoom(const ViewStates& views);
ResetButtons AfterUndoZoom(const ViewStates& views);
ResetButtons AfterScroll(const ViewStates& views);

}  // namespace quorvela::ui
