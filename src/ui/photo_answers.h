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

// The lens chart's bars for its rows' categories: the named lenses in their order, then, with
// `withOthers`, the built-in and unknown ones after an empty slot. Each bar is the index of its
// row; the slot is none. Either group alone needs no slot.
std::vector<std::optional<std::size_t>> LensBars(const std::vector<std::string>& categories, bool withOthers);

// The bars of a chart that the photos `chosen` fall in, each with how many, in the chart's
// order; the chart's points are given by their categories and labels. A photo in no bar (one
// without that value) is in none of them.
CategoryTable BarsOfPhotos(const std::vector<analysis::PhotoRecord>& records, const std::vector<std::size_t>& chosen,
                           Quantity quantity, const std::vector<std::string>& categories,
                           const std::vector<std::string>& labels);

// How the photos `chosen`, all of the lens `label`, used its range, as a sentence
// (analysis::LensUseSentence).
std::string LensUseText(const std::vector<analysis::PhotoRecord>& records, const std::vector<std::size_t>& chosen,
                        const std::string& label);

}  // namespace quorvela::ui
