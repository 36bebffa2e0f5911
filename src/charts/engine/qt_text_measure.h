#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <array>

#include "charts/engine/chart_layout.h"

namespace quorvela::charts {

// The chart's fonts, derived from the widget font, and their sizes for the layout.
struct ChartFonts {
    explicit ChartFonts(const QFont& base);
    [[nodiscard]] const QFont& Of(FontRole role) const;
    QFont title;
    QFont axis;
    QFont axisTitle;
    QFont mark;
};

// Text sizes from the chart's fonts. Plain ASCII texts (all the chart's numbers and most
// labels) are summed from a per-character table, so measuring thousands of labels and marks
// costs no text shaping; anything else goes through the font metrics.
class QtTextMeasure final : public TextMeasure {
  public:
    explicit QtTextMeasure(const ChartFonts& fonts);
    [[nodiscard]] double Width(FontRole role, std::string_view text) const override;
    [[nodiscard]] double Height(FontRole role) const override;

  private:
    struct Face {
        explicit Face(const QFont& font) : metrics(font) { advances.fill(-1); }
        QFontMetricsF metrics;
        mutable std::array<double, 128> advances{};
    };
    [[nodiscard]] const Face& Of(FontRole role) const;
    Face title_;
    Face axis_;
    Face axisTitle_;
    Face mark_;
};

}  // namespace quorvela::charts
