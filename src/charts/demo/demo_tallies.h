#pragma once

#include "common/quantity.h"

namespace quorvela::charts {

// Fixed, plausible tallies of a few thousand photos (a zoom lens from 18 to 200 mm, ISO 100 to
// 6400, F1.8 to F22, 1/4000 to 30 s; no lens) in the order the analysis hands them over, for the
// demo.
PerQuantity<CategoryTable> DemoTallies();

}  // namespace quorvela::charts
