#include "charts/engine/bar_series.h"

#include <algorithm>
#include <cmath>

namespace quorvela::charts {

void TBarSeries::Clear() {
    values_.clear();
    labels_.clear();
    total_ = 0;
    max_ = 0;
    integers_ = true;
    Changed();
}

int TBarSeries::Add(double value, std::string label) {
    const int x = Count();
    values_.push_back(value);
    labels_.push_back(std::move(label));
    if (std::isfinite(value)) {
        total_ += value;
        max_ = std::max(max_, value);
        integers_ = integers_ && value == std::floor(value);
    }
    Changed();
    return x;
}

void TBarSeries::SetSeriesColor(Rgb color) {
    color_ = color;
    Changed();
}

void TBarSeries::SetTitle(std::string title) {
    title_ = std::move(title);
    Changed();
}

void TBarSeries::SetShowInLegend(bool show) {
    showInLegend_ = show;
    Changed();
}

void TBarSeries::SetValueFormat(std::string format) {
    valueFormat_ = std::move(format);
    Changed();
}

void TBarSeries::SetMarksVisible(bool visible) {
    marks_.Visible = visible;
    Changed();
}

void TBarSeries::SetMarksStyle(MarkStyle style) {
    marks_.Style = style;
    Changed();
}

void TBarSeries::SetPercentFormat(std::string format) {
    marks_.PercentFormat = std::move(format);
    Changed();
}

void TBarSeries::SetArrowLength(int pixels) {
    marks_.ArrowLength = std::max(0, pixels);
    Changed();
}

std::string TBarSeries::MarkTextOf(int index, const NumberSeparators& separators) const {
    return MarkText(marks_.Style, YValue(index), total_, Label(index),
                    MarkFormats{valueFormat_, marks_.PercentFormat, separators});
}

}  // namespace quorvela::charts
