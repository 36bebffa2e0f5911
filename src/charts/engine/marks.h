#pragma once

#include <string>
#include <string_view>

#include "charts/engine/number_format.h"

namespace quorvela::charts {

// What the small text above each bar shows.
enum class MarkStyle {
    Value,              // the point's value in the value format
    Percent,            // value as a share of the series total, in the percent format
    Label,              // the point's label
    PercentTotal,       // "25 % of 12"
    LabelPercentTotal,  // "F5.6 25 % of 12"
};

inline constexpr std::string_view kDefaultValueFormat = "#,##0.###";
inline constexpr std::string_view kDefaultPercentFormat = "##0.## %";
inline constexpr std::string_view kPercentTotalFormat = "%s of %s";

struct MarkFormats {
    std::string ValueFormat{kDefaultValueFormat};
    std::string PercentFormat{kDefaultPercentFormat};
    NumberSeparators Separators;
};

// Replaces the "%s" placeholders of `format` in turn by `first` and `second`.
std::string JoinPercentTotal(std::string_view format, std::string_view first, std::string_view second);

// The text of one mark. A series total of zero gives a share of 0 rather than a division by zero.
std::string MarkText(MarkStyle style, double value, double total, std::string_view label, const MarkFormats& formats);

}  // namespace quorvela::charts
