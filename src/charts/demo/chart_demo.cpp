// quorvela-chart-demo: the four usage charts filled with fixed tallies, for looking at them
// and for screenshots.
//   --screenshot FILE   save the window as PNG and quit
//   --3d                draw in 3D
//   --marks N           mark style as the statistics box numbers them (1 label, 2 value,
//                       3 percent, 4 percent and total, 5 everything)
//   --page N            at most N points at a time
//   --single K          show only chart K (0..3) filling the window, as on its own tab
//   --size WxH          window size (default 1280x800)
//   --dense N           replace the focal-length tally by N made-up categories
//   --zoom              zoom every chart into the middle of its plot, as a drag would
//   --tallies FILE      the tallies of `quorvela-cli analyse DIR --json` instead of the fixed ones
#include <QApplication>
#include <QGridLayout>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "charts/chart_set.h"
#include "charts/demo/demo_tallies.h"
#include "charts/engine/tchart.h"

using quorvela::charts::ChartSet;
using quorvela::charts::Statistics;
using quorvela::charts::TChart;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString screenshot;
    bool view3D = false;
    int marks = 0;
    int page = 0;
    int single = -1;
    int dense = 0;
    QString talliesFile;
    bool zoom = false;
    QSize size(1280, 800);
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--screenshot" && hasValue) {
            screenshot = args[++i];
        } else if (a == "--3d") {
            view3D = true;
        } else if (a == "--marks" && hasValue) {
            marks = args[++i].toInt();
        } else if (a == "--page" && hasValue) {
            page = args[++i].toInt();
        } else if (a == "--zoom") {
            zoom = true;
        } else if (a == "--tallies" && hasValue) {
            talliesFile = args[++i];
        } else if (a == "--dense" && hasValue) {
            dense = args[++i].toInt();
        } else if (a == "--single" && hasValue) {
            single = args[++i].toInt();
        } else if (a == "--size" && hasValue) {
            const QStringList wh = args[++i].split('x');
            if (wh.size() == 2) size = QSize(wh[0].toInt(), wh[1].toInt());
        } else {
            std::fprintf(stderr, "unknown or incomplete option: %s\n", qPrintable(a));
            return 2;
        }
    }

    QWidget window;
    window.setWindowTitle("Quorvela charts");
    auto* grid = new QGridLayout(&window);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    ChartSet charts(&window);
    auto tallies = quorvela::charts::DemoTallies();
    if (!talliesFile.isEmpty()) {
        std::ifstream in(talliesFile.toStdString());
        const auto json = nlohmann::json::parse(in, nullptr, false);
        if (json.is_discarded() || !json.is_object()) {
            std::fprintf(stderr, "not a JSON object: %s\n", qPrintable(talliesFile));
            return 2;
        }
        constexpr const char* kKeys[] = {"focal", "iso", "aperture", "shutter"};
        for (std::size_t k = 0; k < 4; ++k) {
            tallies[k].clear();
            for (const auto& row : json.value(kKeys[k], nlohmann::json::array())) {
                tallies[k].push_back({row.value("label", std::string()), row.value("count", 0)});
            }
        }
    }
    if (dense > 0) {
        tallies[0].clear();
        for (int i = 0; i < dense; ++i) tallies[0].push_back({std::to_string(10 + i), 1 + (i * 7919) % 613});
    }
    charts.Set3D(view3D);
    charts.SetPointsPerPage(page);
    // The statistics box's entries after "Statistics off" are the mark styles 1 to 5.
    if (marks >= 1 && marks <= 5) charts.SetStatistics(static_cast<Statistics>(marks));
    for (int k = 0; k < ChartSet::kCount; ++k) {
        charts.Fill(k, tallies[static_cast<std::size_t>(k)]);
        QWidget* chart = charts.Widget(k);
        if (single < 0) {
            grid->addWidget(chart, k / 2, k % 2);
        } else if (single == k) {
            grid->addWidget(chart, 0, 0);
        } else {
            chart->hide();
        }
    }
    window.resize(size);
    window.show();

    if (zoom) {
        QTimer::singleShot(100, &app, [&] {
            for (int k = 0; k < ChartSet::kCount; ++k) {
                // The demo is chart code: it reads the engine's layout to find the plot.
                auto* chart = dynamic_cast<TChart*>(charts.Widget(k));
                const auto plot = chart->CurrentLayout().plot;
                const QPoint from(static_cast<int>(plot.left + 0.35 * plot.Width()), static_cast<int>(plot.top));
                const QPoint to(static_cast<int>(plot.left + 0.62 * plot.Width()), static_cast<int>(plot.bottom - 5));
                charts.ZoomTo(k, QRect(from, to));
            }
        });
    }
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(zoom ? 800 : 300, &app, [&] {
            const bool ok = window.grab().save(screenshot, "PNG");
            app.exit(ok ? 0 : 1);
        });
    }
    return app.exec();
}
