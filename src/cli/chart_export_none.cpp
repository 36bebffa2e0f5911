// A build without the window draws no charts: --chart is refused before the run.
#include "cli/chart_export.h"

namespace quorvela::cli {

std::string CheckChartRequests(const std::vector<std::string>& requests) {
    return requests.empty() ? std::string() : std::string("--chart needs a build with Qt's widgets");
}

std::string WriteChartImages(const analysis::AnalysisSettings& /*settings*/, const analysis::AnalysisResult& /*result*/,
                             const std::vector<std::string>& requests) {
    return CheckChartRequests(requests);
}

}  // namespace quorvela::cli
