#pragma once

#include <string>
#include <string_view>

#include "analysis/analysis_settings.h"

namespace quorvela::ui {

// The line under a saved chart, so that two saved charts can be told apart: the folder, whether
// focal lengths were counted as 35 mm equivalents or real lengths, the filter fields that are
// set and the period, the coverage sentence when there is one, the photos charted and the day,
// joined by " · ". UTF-8; the settings' texts are Windows-1252, as a run takes them.
std::string ChartCaption(const analysis::AnalysisSettings& settings, int photos, std::string_view coverage,
                         std::string_view day);

// The filter fields that are set, "make Canon, lens 24-70, period 2024-01-01 to 2024-06-30, at
// least 3 stars, no rejected photos, label Red";
// empty when the filter is off or every field is empty. UTF-8.
std::string FilterWords(const analysis::AnalysisSettings& settings);

}  // namespace quorvela::ui
