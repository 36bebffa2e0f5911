#include "cli/chart_export.h"

#include <QApplication>
#include <QDate>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include "analysis/coverage.h"
#include "charts/chart_set.h"
#include "ui/chart_caption.h"

namespace quorvela::cli {

namespace {

// The names the command line gives the charts, as --path-list does.
constexpr PerQuantity<std::string_view> kChartNames{{"focal", "iso", "aperture", "shutter", "lens", "rating"}};
static_assert(EveryQuantity(kChartNames));
// The size of a saved chart: a page's width of readable bars.
constexpr int kImageWidth = 1200;
constexpr int kImageHeight = 700;

struct ChartRequest {
    Quantity Chart = Quantity::FocalLength;
    std::string File;
};

std::optional<ChartRequest> ReadRequest(std::string_view request) {
    const std::size_t equals = request.find('=');
    if (equals == std::string_view::npos || equals + 1 == request.size()) return std::nullopt;
    for (const Quantity q : kQuantities) {
        if (!kChartNames[q].empty() && kChartNames[q] == request.substr(0, equals)) {
            return ChartRequest{q, std::string(request.substr(equals + 1))};
        }
    }
    return std::nullopt;
}

std::string Names() {
    std::string names;
    for (const std::string_view name : kChartNames) {
        if (name.empty()) continue;
        if (!names.empty()) names.append(", ");
        names.append(name);
    }
    return names;
}

// Qt's widgets need an application; a command line without a display draws offscreen.
class DrawingApplication {
  public:
    DrawingApplication() {
        if (QCoreApplication::instance() != nullptr) return;
        if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr &&
            std::getenv("WAYLAND_DISPLAY") == nullptr) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        own_ = std::make_unique<QApplication>(argc_, argv_.data());
    }
    // False when an application without widgets is running already.
    [[nodiscard]] static bool CanDraw() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

  private:
    int argc_ = 1;
    std::array<char, 13> name_{"quorvela-cli"};
    std::array<char*, 2> argv_{name_.data(), nullptr};
    std::unique_ptr<QApplication> own_;
};

std::string Caption(const analysis::AnalysisSettings& settings, const analysis::AnalysisResult& result) {
    std::string coverage;
    if (settings.Coverage && result.Coverage)
        coverage = analysis::CoverageSentence(*settings.Coverage, *result.Coverage);
    return ui::ChartCaption(settings, result.FilesAnalysed, coverage,
                            QDate::currentDate().toString(Qt::ISODate).toStdString());
}

}  // namespace

std::string CheckChartRequests(const std::vector<std::string>& requests) {
    for (const std::string& request : requests) {
        if (!ReadRequest(request)) {
            std::string problem("--chart needs QUANTITY=FILE, QUANTITY one of ");
            return problem.append(Names()).append(", such as focal=focal.png: ").append(request);
        }
    }
    return {};
}

std::string WriteChartImages(const analysis::AnalysisSettings& settings, const analysis::AnalysisResult& result,
                             const std::vector<std::string>& requests) {
    if (requests.empty()) return {};
    if (std::string problem = CheckChartRequests(requests); !problem.empty()) return problem;
    const DrawingApplication application;
    if (!DrawingApplication::CanDraw()) return "charts cannot be drawn without Qt's widgets";
    QWidget host;
    charts::ChartSet charts(&host);
    const QString caption = QString::fromStdString(Caption(settings, result));
    std::string problems;
    for (const std::string& request : requests) {
        const ChartRequest chosen = *ReadRequest(request);
        charts.Fill(chosen.Chart, result.Tables[chosen.Chart]);
        charts.Widget(chosen.Chart)->resize(kImageWidth, kImageHeight);
        const QString file = QString::fromStdString(chosen.File);
        if (!charts.SaveImage(chosen.Chart, file, caption)) {
            problems.append("the chart could not be written: ").append(chosen.File).append("\n");
        }
    }
    if (!problems.empty()) problems.pop_back();
    return problems;
}

}  // namespace quorvela::cli
