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
// X value of a point is its sequence number. A point may set apart a part of its value, drawn
// hatched at the top of its bar and told in its mark and in a key line over the plot. A point
// without a value is a gap: an empty slot that sets groups of bars apart. Plain data; the chart
// that owns it is told of every change through `SetChangeListener`.
class TBarSeries {
  public:
    void Clear();
    // Adds a point and returns its X value (its sequence number). `part` of `value` (clamped
    // to 0..value) is the part set apart.
    int Add(double value, std::string label, double part = 0);
    // Adds a gap: no bar, no label, no mark, and nothing a click or the keys can select.
    int AddGap();
    [[nodiscard]] bool IsGap(int index) const;

    [[nodiscard]] int Count() const { return static_cast<int>(values_.size()); }
    [[nodiscard]] double YValue(int index) const { return values_.at(static_cast<std::size_t>(index)); }
    [[nodiscard]] double XValue(int index) const { return index; }
    [[nodiscard]] const std::string& Label(int index) const { return labels_.at(static_cast<std::size_t>(index)); }
    [[nodiscard]] const std::vector<double>& Values() const { return values_; }
    [[nodiscard]] const std::vector<std::string>& Labels() const { return labels_; }
    // The part of point `index`'s value set apart; 0 for most points.
    [[nodiscard]] double Part(int index) const { return parts_.at(static_cast<std::size_t>(index)); }
    // Whether any point has a part set apart.
    [[nodiscard]] bool HasParts() const { return partPoints_ > 0; }

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

    // How the parts set apart are told: the key line over the plot ("Hatched: estimated") and
    // the word after a part's value in a mark ("12 (5 estimated)"). Empty texts tell nothing.
    [[nodiscard]] const std::string& PartKey() const { return partKey_; }
    [[nodiscard]] const std::string& PartWord() const { return partWord_; }
    void SetPartTexts(std::string key, std::string word);

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
    std::vector<double> parts_;
    int partPoints_ = 0;
    double total_ = 0;
    double max_ = 0;
    bool integers_ = true;
    Rgb color_{0, 0, 255};
    std::string title_;
    bool showInLegend_ = true;
    std::string valueFormat_{kDefaultValueFormat};
    std::string partKey_;
    std::string partWord_;
    SeriesMarks marks_;
    std::function<void()> changed_;
};

}  // namespace quorvela::charts
