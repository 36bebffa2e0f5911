#pragma once

#include <QFont>
#include <QFontMetricsF>

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

class QtTextMeasure final : public TextMeasure {
  public:
    explicit QtTextMeasure(const ChartFonts& fonts);
    [[nodiscard]] double Width(FontRole role, std::string_view text) const override;
    [[nodiscard]] double Height(FontRole role) const override;

  private:
    [[nodiscard]] const QFontMetricsF& Metrics(FontRole role) const;
    QFontMetricsF title_;
    QFontMetricsF axis_;
    QFontMetricsF axisTitle_;
    QFontMetricsF mark_;
};

}  // namespace quorvela::charts
