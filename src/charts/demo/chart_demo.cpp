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
#include <array>
#include <cstdio>
#include <exception>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "charts/chart_set.h"
#include "charts/demo/demo_tallies.h"
#include "charts/engine/tchart.h"

using quorvela::charts::ChartSet;
using quorvela::charts::Statistics;
using quorvela::charts::TChart;

namespace {

struct Options {
    QString screenshot;
    bool view3D = false;
    int marks = 0;
    int page = 0;
    int single = -1;
    int dense = 0;
    QString talliesFile;
    bool zoom = false;
    QSize size{1280, 800};
};

// False (with a message) for an unknown or incomplete option.
bool ParseOptions(const QStringList& args, Options& o) {
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--screenshot" && hasValue) {
            o.screenshot = args[++i];
        } else if (a == "--3d") {
            o.view3D = true;
        } else if (a == "--marks" && hasValue) {
            o.marks = args[++i].toInt();
        } else if (a == "--page" && hasValue) {
            o.page = args[++i].toInt();
        } else if (a == "--zoom") {
            o.zoom = true;
        } else if (a == "--tallies" && hasValue) {
            o.talliesFile = args[++i];
        } else if (a == "--dense" && hasValue) {
            o.dense = args[++i].toInt();
        } else if (a == "--single" && hasValue) {
            o.single = args[++i].toInt();
        } else if (a == "--size" && hasValue) {
            const QStringList wh = args[++i].split('x');
            if (wh.size() == 2) o.size = QSize(wh[0].toInt(), wh[1].toInt());
        } else {
            std::fprintf(stderr, "unknown or incomplete option: %s\n", qPrintable(a));
            return false;
        }
    }
    return true;
}

using Tallies = quorvela::PerQuantity<quorvela::CategoryTable>;

// The fixed tallies, or those of a `quorvela-cli analyse --json` file; false when that file is
// no JSON object.
bool LoadTallies(const Options& o, Tallies& tallies) {
    tallies = quorvela::charts::DemoTallies();
    if (!o.talliesFile.isEmpty()) {
        std::ifstream in(o.talliesFile.toStdString());
        const auto json = nlohmann::json::parse(in, nullptr, false);
        if (json.is_discarded() || !json.is_object()) {
            std::fprintf(stderr, "not a JSON object: %s\n", qPrintable(o.talliesFile));
            return false;
        }
        constexpr quorvela::PerQuantity<const char*> kKeys{{"focal", "iso", "aperture", "shutter", "lens", "rating"}};
        for (const quorvela::Quantity q : quorvela::kQuantities) {
            tallies[q].clear();
            for (const auto& row : json.value(kKeys[q], nlohmann::json::array())) {
                const std::string label = row.value("label", std::string());
                tallies[q].push_back({label, label, row.value("count", 0)});
            }
        }
    }
    if (o.dense > 0) {
        auto& focal = tallies[quorvela::Quantity::FocalLength];
        focal.clear();
        for (int i = 0; i < o.dense; ++i) {
            const std::string label = std::to_string(10 + i);
            focal.push_back({label, label, 1 + (i * 7919) % 613});
        }
    }
    return true;
}

void ShowCharts(ChartSet& charts, QGridLayout* grid, const Options& o, const Tallies& tallies) {
    charts.Set3D(o.view3D);
    charts.SetPointsPerPage(o.page);
    // The statistics box's entries after "Statistics off" are the mark styles 1 to 5.
    if (o.marks >= 1 && o.marks <= 5) charts.SetStatistics(static_cast<Statistics>(o.marks));
    for (const quorvela::Quantity q : quorvela::kQuantities) {
        const int k = static_cast<int>(quorvela::IndexOf(q));
        charts.Fill(q, tallies[q]);
        QWidget* chart = charts.Widget(q);
        if (o.single < 0) {
            grid->addWidget(chart, k / 2, k % 2);
        } else if (o.single == k) {
            grid->addWidget(chart, 0, 0);
        } else {
            chart->hide();
        }
    }
}

// Every chart zoomed into the middle of its plot, as a drag would.
void ZoomIntoTheMiddle(ChartSet& charts) {
    for (const quorvela::Quantity q : quorvela::kQuantities) {
        // The demo is chart code: it reads the engine's layout to find the plot.
        auto* chart = dynamic_cast<TChart*>(charts.Widget(q));
        const auto plot = chart->CurrentLayout().plot;
        const QPoint from(static_cast<int>(plot.left + 0.35 * plot.Width()), static_cast<int>(plot.top));
        const QPoint to(static_cast<int>(plot.left + 0.62 * plot.Width()), static_cast<int>(plot.bottom - 5));
        charts.ZoomTo(q, QRect(from, to));
    }
}

int RunDemo(int argc, char** argv) {
    QApplication app(argc, argv);
    Options o;
    if (!ParseOptions(app.arguments(), o)) return 2;

    QWidget window;
    window.setWindowTitle("Quorvela charts");
    auto* grid = new QGridLayout(&window);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    ChartSet charts(&window);
    Tallies tallies;
    if (!LoadTallies(o, tallies)) return 2;
    ShowCharts(charts, grid, o, tallies);
    window.resize(o.size);
    window.show();

    if (o.zoom) QTimer::singleShot(100, &app, [&] { ZoomIntoTheMiddle(charts); });
    if (!o.screenshot.isEmpty()) {
        QTimer::singleShot(o.zoom ? 800 : 300, &app, [&] {
            const bool ok = window.grab().save(o.screenshot, "PNG");
            app.exit(ok ? 0 : 1);
        });
    }
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return RunDemo(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorvela-chart-demo: %s\n", e.what());
        return 1;
    }
}
