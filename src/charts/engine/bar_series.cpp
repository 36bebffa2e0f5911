#include "charts/engine/bar_series.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorvela::charts {

void TBarSeries::Clear() {
    values_.clear();
    labels_.clear();
    parts_.clear();
    partPoints_ = 0;
    total_ = 0;
    max_ = 0;
    integers_ = true;
    Changed();
}

int TBarSeries::Add(double value, std::string label, double part) {
    const int x = Count();
    values_.push_back(value);
    labels_.push_back(std::move(label));
    // A part is a share of a bar: none of a bar that is not there, never more than the bar.
    const double kept = std::isfinite(value) && std::isfinite(part) && value > 0 ? std::clamp(part, 0.0, value) : 0.0;
    parts_.push_back(kept);
    if (kept > 0) ++partPoints_;
    if (std::isfinite(value)) {
        total_ += value;
        max_ = std::max(max_, value);
        integers_ = integers_ && value == std::floor(value);
    }
    Changed();
    return x;
}

int TBarSeries::AddGap() {
    return Add(std::numeric_limits<double>::quiet_NaN(), {});
}

bool TBarSeries::IsGap(int index) const {
    return !std::isfinite(YValue(index));
}

void TBarSeries::SetSeriesColor(Rgb color) {
    color_ = color;
    Changed();
}

void TBarSeries::SetTitle(std::string title) {
    title_ = std::move(title);
    Changed();
}

void TBarSeries::SetPartTexts(std::string key, std::string word) {
    partKey_ = std::move(key);
    partWord_ = std::move(word);
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
    const MarkFormats formats{valueFormat_, marks_.PercentFormat, separators};
    std::string text = MarkText(marks_.Style, YValue(index), total_, Label(index), formats);
    const double part = Part(index);
    // A label-only mark names the category; the hatching tells the part there.
    if (part <= 0 || partWord_.empty() || marks_.Style == MarkStyle::Label) return text;
    const MarkStyle partStyle = marks_.Style == MarkStyle::Percent ? MarkStyle::Percent : MarkStyle::Value;
    return text + " (" + MarkText(partStyle, part, total_, {}, formats) + " " + partWord_ + ")";
}

}  // namespace quorvela::charts
