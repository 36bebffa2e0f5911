// How long one paint of a crowded chart takes: 2,000 points (an ISO chart of a phone, a
// focal-length chart without steps, times a few) painted into an image, flat and in 3D, with
// and without marks, at the size of an overview quadrant and of a whole tab.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <string>

#include "charts/chart_set.h"
#include "charts/engine/tchart.h"

namespace {

using quorvela::charts::TBarSeries;
using quorvela::charts::TChart;

void Fill(TBarSeries& s, int points) {
    for (int i = 0; i < points; ++i) s.Add(1 + (i * 7919) % 613, std::to_string(10 + i));
}

// Arguments: points, width, 3D (0/1), marks (0/1).
struct Setup {
    explicit Setup(const benchmark::State& state)
        : size(static_cast<int>(state.range(1)), static_cast<int>(state.range(1)) * 5 / 8) {
        chart.resize(size);
        chart.SetTitle("focal length usage (mm)");
        chart.SetLeftAxisTitle("times used");
        chart.SetGradient(QColor(192, 192, 192), Qt::white, quorvela::charts::GradientDirection::TopBottom);
        chart.SetLegendVisible(false);
        chart.SetView3D(state.range(2) != 0);
        chart.SetChart3DPercent(20);
        TBarSeries& series = chart.AddBarSeries();
        Fill(series, static_cast<int>(state.range(0)));
        series.SetMarksVisible(state.range(3) != 0);
        series.SetMarksStyle(quorvela::charts::MarkStyle::PercentTotal);
    }
    QSize size;
    TChart chart;
};

// A whole paint: layout and drawing, as a repaint of the widget does.
void BM_PaintChart(benchmark::State& state) {
    Setup setup(state);
    QImage image(setup.size, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        setup.chart.Draw(painter, setup.size);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The geometry alone.
void BM_LayoutChart(benchmark::State& state) {
    Setup setup(state);
    for (auto _ : state) benchmark::DoNotOptimize(setup.chart.CurrentLayout());
}

void Cases(benchmark::internal::Benchmark* b) {
    b->ArgNames({"points", "width", "3d", "marks"})
        ->Args({2000, 640, 0, 0})
        ->Args({2000, 1280, 0, 0})
        ->Args({2000, 1280, 1, 0})
        ->Args({2000, 1280, 0, 1})
        ->Args({2000, 1280, 1, 1})
        ->Args({300, 640, 0, 0})
        ->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_PaintChart)->Apply(Cases);
BENCHMARK(BM_LayoutChart)->Apply(Cases);

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
