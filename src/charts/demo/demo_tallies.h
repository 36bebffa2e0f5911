#pragma once

#include <array>
#include <vector>

#include "charts/chart_set.h"

namespace quorvela::charts {

// Fixed, plausible tallies of a few thousand photos (a zoom lens from 18 to 200 mm, ISO 100 to
// 6400, F1.8 to F22, 1/4000 to 30 s) in the order the analysis hands them over, for the demo.
std::array<std::vector<CategoryCount>, 4> DemoTallies();

}  // namespace quorvela::charts
