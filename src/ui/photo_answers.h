#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/coverage.h"
#include "analysis/photo_record.h"
#include "common/quantity.h"

namespace quorvela::ui {

// The heading over the photos behind one bar, worded after the chart: "212 photos at 50 mm",
// "1 photo at ISO 100", "at F5.6", "at 1/125 s", "with EF24-70mm f/2.8L"; a bar of photos that
// lack the value says so ("3 photos without a focal length").
std::string BarPhotosHeading(Quantity quantity, std::string_view label, std::size_t count);

// The records whose category for `quantity` is `category`, in their order.
std::vector<std::size_t> PhotosInCategory(const std::vector<analysis::PhotoRecord>& records, Quantity quantity,
                                          std::string_view category);

// The focal-length chart's points inside `range`, first to last, read from their labels (whole
// millimetres); none when no label is covered.
struct PointRun {
    int First = 0;
    int Last = 0;
    bool operator==(const PointRun&) const = default;
};
std::optional<PointRun> CoveredPoints(const std::vector<std::string>& labels, const analysis::CoverageRange& range);

}  // namespace quorvela::ui
