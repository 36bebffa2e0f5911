#include "charts/chart_set.h"

#include <QWidget>
#include <string_view>

#include "charts/engine/tchart.h"

namespace quorvela::charts {
namespace {

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
    bool selectionKept;   // its selection is shown beside it (TChart::SetSelectionKept)
};

constexpr std::string_view kLeftAxisTitle = "times used";
constexpr Rgb kGradientStart{192, 192, 192};
constexpr Rgb kGradientEnd{255, 255, 255};
constexpr int kChart3DPercent = 20;

// No legend is drawn: the focal-length, ISO, lens and rating charts switch theirs off, the aperture and
// shutter series stay out of theirs.
constexpr PerQuantity<ChartAppearance> kChartAppearance{{{
    {"Chart5", "focal length usage (mm)", {0, 0, 255}, GradientDirection::TopBottom, 20, "##0.0 %", false, true, false},
    {"Chart6", "iso", {255, 0, 0}, GradientDirection::BottomTop, 8, "##0.0 %", false, true, false},
    {"Chart7", "aperture", {255, 128, 64}, GradientDirection::TopBottom, 8, "##0.0 %", true, false, false},
    {"Chart8", "shutter speed (sec)", {0, 128, 128}, GradientDirection::TopBottom, 8, "##0.0 %", true, false, false},
    {"ChartLens", "lens usage", {128, 64, 160}, GradientDirection::TopBottom, 8, "##0.0 %", false, true, true},
    {"ChartRating", "rating", {218, 165, 32}, GradientDirection::TopBottom, 8, "##0.0 %", false, true, false},
}}};

// The focal lengths of one lens look as the focal-length chart does; the window gives the title.
constexpr ChartAppearance kLensFocalAppearance{
    "ChartLensFocal", "", {0, 0, 255}, GradientDirection::TopBottom, 20, "##0.0 %", false, true, false};

// The mark style of each statistics entry after "Statistics off".
constexpr std::array<MarkStyle, 5> kStatisticsStyles{MarkStyle::Label, MarkStyle::Value, MarkStyle::Percent,
                                                     MarkStyle::PercentTotal, MarkStyle::LabelPercentTotal};

QColor ToQt(Rgb c) {
    return {c.r, c.g, c.b};
}

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

TChart* MakeChart(QWidget* parent, const ChartAppearance& look, TBarSeries*& series) {
    auto* chart = new TChart(parent);
    chart->setObjectName(FromView(look.chart));
    chart->SetTitle(FromView(look.title));
    chart->SetTitleAlignment(HAlign::Right);
    chart->SetLeftAxisTitle(FromView(kLeftAxisTitle));
    chart->SetGradient(ToQt(kGradientStart), ToQt(kGradientEnd), look.gradient);
    chart->SetWallColor(std::nullopt);
    chart->SetBorderVisible(true);
    chart->SetLegendVisible(look.legendVisible);
    chart->SetView3D(false);
    chart->SetChart3DPercent(kChart3DPercent);
    chart->SetAnimatedZoom(true);
    chart->SetSelectionKept(look.selectionKept);

    series = &chart->AddBarSeries();
    series->SetTitle(std::string(look.title));
    series->SetSeriesColor(look.seriesColor);
    series->SetShowInLegend(look.seriesInLegend);
    series->SetMarksVisible(false);
    series->SetArrowLength(look.arrowLength);
    series->SetPercentFormat(std::string(look.percentFormat));
    series->SetValueFormat(std::string(kDefaultValueFormat));
    // Only the focal lengths are ever estimated; the key and the marks say so where it happens.
    series->SetPartTexts(std::string(ChartSet::kEstimateKey), "estimated");
    return chart;
}

const char* StyleName(MarkStyle style) {
    switch (style) {
        case MarkStyle::Value:
            return "Value";
        case MarkStyle::Percent:
            return "Percent";
        case MarkStyle::Label:
            return "Label";
        case MarkStyle::PercentTotal:
            return "PercentTotal";
        case MarkStyle::LabelPercentTotal:
            return "LabelPercentTotal";
    }
    return "";
}

}  // namespace

ChartSet::ChartSet(QWidget* parent) : QObject(parent) {
    setObjectName("ChartSet");
    for (const Quantity quantity : kQuantities) {
        charts_[quantity] = MakeChart(parent, kChartAppearance[quantity], series_[quantity]);
        Connect(quantity);
        // A chart goes with the widget it was placed on, which need not outlive the set.
        connect(charts_[quantity], &QObject::destroyed, this, [this, quantity] {
            charts_[quantity] = nullptr;
            series_[quantity] = nullptr;
        });
    }
    lensFocal_ = MakeChart(parent, kLensFocalAppearance, lensFocalSeries_);
    lensFocal_->SetAllowZoom(false);
    connect(lensFocal_, &QObject::destroyed, this, [this] {
        lensFocal_ = nullptr;
        lensFocalSeries_ = nullptr;
    });
}

ChartSet::~ChartSet() {
    // The charts may outlive the set (they belong to their parent widget): they report to it no more.
    for (TChart* chart : charts_) {
        if (chart == nullptr) continue;
        chart->OnZoom = nullptr;
        chart->OnUndoZoom = nullptr;
        chart->OnScroll = nullptr;
        chart->OnDblClick = nullptr;
        chart->OnMouseMove = nullptr;
        chart->OnPointChosen = nullptr;
        chart->OnPointSelected = nullptr;
    }
}

void ChartSet::Connect(Quantity quantity) {
    TChart& chart = Chart(quantity);
    const auto raise = [this, quantity](const std::function<void(Quantity)> ChartSet::*event) {
        return [this, quantity, event](TChart&) {
            if (this->*event) (this->*event)(quantity);
        };
    };
    chart.OnZoom = raise(&ChartSet::OnZoomed);
    chart.OnUndoZoom = raise(&ChartSet::OnZoomUndone);
    chart.OnScroll = raise(&ChartSet::OnScrolled);
    chart.OnDblClick = raise(&ChartSet::OnDoubleClicked);
    chart.OnMouseMove = [this, quantity](TChart&, int, int) {
        if (OnMouseMove) OnMouseMove(quantity);
    };
    chart.OnPointChosen = [this, quantity](TChart&, int point) {
        if (OnPointChosen) OnPointChosen(quantity, point);
    };
    chart.OnPointSelected = [this, quantity](TChart&, int point) {
        if (OnPointSelected) OnPointSelected(quantity, point);
    };
}

std::vector<TChart*> ChartSet::AllCharts() const {
    std::vector<TChart*> all(charts_.begin(), charts_.end());
    all.push_back(lensFocal_);
    std::erase(all, nullptr);
    return all;
}

TChart& ChartSet::Chart(Quantity quantity) const {
    return *charts_[quantity];
}

TBarSeries& ChartSet::Series(Quantity quantity) const {
    return *series_[quantity];
}

QWidget* ChartSet::Widget(Quantity quantity) const {
    return &Chart(quantity);
}

void ChartSet::SetStatistics(Statistics mode) {
    // The focal-length series takes the mode; the others follow it.
    TBarSeries& first = Series(Quantity::FocalLength);
    const int entry = static_cast<int>(mode);
    if (mode == Statistics::Off) {
        first.SetMarksVisible(false);
    } else if (entry >= 1 && entry <= 5) {
        first.SetMarksStyle(kStatisticsStyles[static_cast<std::size_t>(entry - 1)]);
        first.SetMarksVisible(true);
    }
    for (TChart* chart : AllCharts()) {
        TBarSeries& series = chart->Series(0);
        if (&series == &first) continue;
        series.SetMarksVisible(first.Marks().Visible);
        series.SetMarksStyle(first.Marks().Style);
    }
}

void ChartSet::Set3D(bool on) {
    for (TChart* chart : AllCharts()) chart->SetView3D(on);
}

void ChartSet::SetPointsPerPage(int points) {
    for (TChart* chart : AllCharts()) chart->SetMaxPointsPerPage(points);
}

void ChartSet::SetNumberSeparators(char decimal, const std::string& thousands) {
    for (TChart* chart : AllCharts()) chart->SetNumberSeparators({decimal, thousands});
}

void ChartSet::AllowZoom(bool allow) {
    for (TChart* chart : charts_) chart->SetAllowZoom(allow);
}

void ChartSet::UndoZoom(Quantity quantity) {
    Chart(quantity).UndoZoom();
}

void ChartSet::UndoAllZooms() {
    for (TChart* chart : charts_) chart->UndoZoom();
}

ChartViewState ChartSet::View(Quantity quantity) const {
    const TChart& chart = Chart(quantity);
    return {chart.Zoomed(), chart.View().UserRanges(), chart.BottomAxis().Minimum};
}

bool ChartSet::ZoomTo(Quantity quantity, const QRect& pixels) {
    return Chart(quantity).ZoomRect(pixels);
}

ChartSet::PageState ChartSet::Pages(Quantity quantity) const {
    const TChart& chart = Chart(quantity);
    return {chart.Page(), chart.PageCount()};
}

bool ChartSet::ShowPage(Quantity quantity, int page) {
    return Chart(quantity).ShowPage(page);
}

void ChartSet::Clear() {
    for (TChart* chart : AllCharts()) chart->Series(0).Clear();
}

void ChartSet::Clear(Quantity quantity) {
    Series(quantity).Clear();
}

void ChartSet::AddPoint(Quantity quantity, const std::string& label, int count, int estimated) {
    Series(quantity).Add(count, label, estimated);
}

void ChartSet::Fill(Quantity quantity, std::span<const CategoryCount> categories) {
    TBarSeries& series = Series(quantity);
    series.Clear();
    for (const auto& c : categories) series.Add(c.Count, c.Label, c.Estimated);
}

void ChartSet::AddGap(Quantity quantity) {
    Series(quantity).AddGap();
}

void ChartSet::Shade(Quantity quantity, std::optional<Span> span) {
    if (!span) {
        Chart(quantity).SetBand(std::nullopt);
        return;
    }
    Chart(quantity).SetBand(PointSpan{span->First, span->Last});
}

std::optional<ChartSet::Span> ChartSet::Shaded(Quantity quantity) const {
    const std::optional<PointSpan>& band = Chart(quantity).Band();
    if (!band) return std::nullopt;
    return Span{band->first, band->last};
}

int ChartSet::SelectedPoint(Quantity quantity) const {
    return Chart(quantity).SelectedPoint();
}

void ChartSet::SelectPoint(Quantity quantity, int point) {
    Chart(quantity).SelectPoint(point);
}

QRect ChartSet::PointRect(Quantity quantity, int point) const {
    for (const BarGeom& bar : Chart(quantity).CurrentLayout().bars) {
        if (point < bar.first || point > bar.last) continue;
        const RectF& f = bar.front;
        return {QPoint(static_cast<int>(f.left), static_cast<int>(f.top)),
                QPoint(static_cast<int>(f.right) - 1, static_cast<int>(f.bottom) - 1)};
    }
    return {};
}

QWidget* ChartSet::LensFocalWidget() const {
    return lensFocal_;
}

void ChartSet::FillLensFocal(const std::string& title, std::span<const CategoryCount> categories) {
    lensFocal_->SetTitle(QString::fromStdString(title));
    lensFocalSeries_->Clear();
    for (const auto& c : categories) lensFocalSeries_->Add(c.Count, c.Label, c.Estimated);
    // Each lens is first seen whole, whatever the last one was panned to.
    lensFocal_->UndoZoom();
}

bool ChartSet::SaveImage(Quantity quantity, const QString& fileName, const QString& caption) const {
    return Chart(quantity).SaveImage(fileName, ImageFormatOf(fileName), caption);
}

const char* ChartSet::ImageFormatOf(const QString& fileName) {
    if (fileName.endsWith(".svg", Qt::CaseInsensitive)) return "svg";
    if (fileName.endsWith(".bmp", Qt::CaseInsensitive)) return "bmp";
    return "png";
}

ChartSet::Shown ChartSet::ShownBy(Quantity quantity) const {
    return ShownOf(Chart(quantity), Series(quantity));
}

ChartSet::Shown ChartSet::LensFocalShown() const {
    return ShownOf(*lensFocal_, *lensFocalSeries_);
}

ChartSet::Shown ChartSet::ShownOf(const TChart& chart, const TBarSeries& series) {
    Shown shown{chart.Title().toStdString(),
                chart.View3D(),
                chart.AllowZoom(),
                chart.MaxPointsPerPage(),
                series.Marks().Visible,
                StyleName(series.Marks().Style),
                {},
                {}};
    for (int i = 0; i < series.Count(); ++i) {
        shown.Points.emplace_back(series.Label(i), series.YValue(i));
        shown.Estimated.push_back(series.Part(i));
    }
    return shown;
}

std::string ChartSet::MarkText(Quantity quantity, int point) const {
    return Series(quantity).MarkTextOf(point, {});
}

}  // namespace quorvela::charts
