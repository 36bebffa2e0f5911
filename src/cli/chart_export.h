#pragma once

#include <string>
#include <vector>

#include "analysis/analysis_run.h"

namespace quorvela::cli {

// The charts "analyse --chart QUANTITY=FILE" saves: QUANTITY is focal, iso, aperture, shutter,
// lens or rating, FILE's ending (.png, .svg, .bmp; PNG for any other) the format.
// Why `requests` cannot be saved, naming the first that is wrong; empty when all can be tried.
std::string CheckChartRequests(const std::vector<std::string>& requests);

// Draws each chart `requests` asks for from the run's counts, as the window draws it, with the
// window's caption under it (folder, mode, filter and period, coverage, photos, today), and
// writes it. Needs no display: without one, Qt draws offscreen. Why a chart was not written,
// naming it, one line each; empty when every chart was written.
std::string WriteChartImages(const analysis::AnalysisSettings& settings, const analysis::AnalysisResult& result,
                             const std::vector<std::string>& requests);

}  // namespace quorvela::cli
