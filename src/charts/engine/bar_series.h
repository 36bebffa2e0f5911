#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "charts/engine/marks.h"

namespace quorvela::charts {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

// The small value texts above the bars.
struct SeriesMarks {
    bool Visible = false;
    MarkStyle Style = MarkStyle::Label;
    std::string PercentFormat{kDefaultPercentFormat};
    int ArrowLength = 8;  // pixels of leader line between the bar and its mark
    bool operator==(const SeriesMarks&) const = default;
};

// One bar series: points in the order they were added, all drawn in the series colour. The
// X value of a point is its sequence number. Plain data; the chart that owns it is told of
// every change through `SetChangeListener`.
class TBarSeries {
  public:
    void Clear();
    // Adds a point and returns its X value (its sequence number).
    int Add(double value, std::string label);

    [[nodiscard]] int Count() const { return static_cast<int>(values_.size()); }
    [[nodiscard]] double YValue(int index) const { return values_.at(static_cast<std::size_t>(index)); }
    [[nodiscard]] double XValue(int index) const { return index; }
    [[nodiscard]] const std::string& Label(int index) const { return labels_.at(static_cast<std::size_t>(index)); }
    [[nodiscard]] const std::vector<double>& Values() const { return values_; }
    [[nodiscard]] const std::vector<std::string>& Labels() const { return labels_; }

    [[nodiscard]] double Total() const { return total_; }
    [[nodiscard]] double MaxValue() const { return max_; }
    [[nodiscard]] bool AllIntegers() const { return integers_; }

    [[nodiscard]] Rgb SeriesColor() const { return color_; }
    void SetSeriesColor(Rgb color);
    [[nodiscard]] const std::string& Title() const { return title_; }
    void SetTitle(std::string title);
    [[nodiscard]] bool ShowInLegend() const { return showInLegend_; }
    void SetShowInLegend(bool show);
    [[nodiscard]] const std::string& ValueFormat() const { return valueFormat_; }
    void SetValueFormat(std::string format);

    [[nodiscard]] const SeriesMarks& Marks() const { return marks_; }
    void SetMarksVisible(bool visible);
    void SetMarksStyle(MarkStyle style);
    void SetPercentFormat(std::string format);
    void SetArrowLength(int pixels);

    // The text of point `index`'s mark in the current style.
    [[nodiscard]] std::string MarkTextOf(int index, const NumberSeparators& separators) const;

    void SetChangeListener(std::function<void()> listener) { changed_ = std::move(listener); }

  private:
    void Changed() const {
        if (changed_) changed_();
    }

    std::vector<double> values_;
    std::vector<std::string> labels_;
    double total_ = 0;
    double max_ = 0;
    bool integers_ = true;
    Rgb color_{0, 0, 255};
    std::string title_;
    bool showInLegend_ = true;
    std::string valueFormat_{kDefaultValueFormat};
    SeriesMarks marks_;
    std::function<void()> changed_;
};

}  // namespace quorvela::charts
