#include "charts/chart_set.h"

#include <QWidget>

namespace quorvela::charts {
namespace {

QColor ToQt(Rgb c) {
    return {c.r, c.g, c.b};
}

TChart* MakeChart(QWidget* parent, const ChartAppearance& look, TBarSeries*& series) {
    auto* chart = new TChart(parent);
    chart->setObjectName(QString::fromUtf8(look.chart.data(), static_cast<qsizetype>(look.chart.size())));
    chart->SetTitle(QString::fromUtf8(look.title.data(), static_cast<qsizetype>(look.title.size())));
    chart->SetTitleAlignment(HAlign::Right);
    chart->SetLeftAxisTitle(QString::fromUtf8(kLeftAxisTitle.data(), static_cast<qsizetype>(kLeftAxisTitle.size())));
    chart->SetGradient(ToQt(kGradientStart), ToQt(kGradientEnd), look.gradient);
    chart->SetWallColor(std::nullopt);
    chart->SetBorderVisible(true);
    chart->SetLegendVisible(look.legendVisible);
    chart->SetView3D(false);
    chart->SetChart3DPercent(kChart3DPercent);
    chart->SetAnimatedZoom(true);

    series = &chart->AddBarSeries();
    series->SetTitle(std::string(look.title));
    series->SetSeriesColor(look.seriesColor);
    series->SetShowInLegend(look.seriesInLegend);
    series->SetMarksVisible(false);
    series->SetArrowLength(look.arrowLength);
    series->SetPercentFormat(std::string(look.percentFormat));
    series->SetValueFormat(std::string(kDefaultValueFormat));
    return chart;
}

}  // namespace

ChartSet::ChartSet(QWidget* parent)
    : Chart5(MakeChart(parent, kChartAppearance[0], BarSeries1)),
      Chart6(MakeChart(parent, kChartAppearance[1], BarSeries2)),
      Chart7(MakeChart(parent, kChartAppearance[2], BarSeries3)),
      Chart8(MakeChart(parent, kChartAppearance[3], BarSeries4)) {}

void ChartSet::Fill(int index, std::span<const CategoryCount> categories) {
    TBarSeries* series = Series().at(static_cast<std::size_t>(index));
    series->Clear();
    for (const auto& c : categories) series->Add(c.count, c.label);
}

void ChartSet::ClearAll() {
    for (TBarSeries* s : Series()) s->Clear();
}

}  // namespace quorvela::charts
