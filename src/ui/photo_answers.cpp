#include "ui/photo_answers.h"

#include <charconv>
#include <unordered_map>

#include "analysis/lens_label.h"
#include "analysis/lens_use.h"
#include "common/number_format.h"

namespace quorvela::ui {

namespace {

// How each chart words its bars: the text before and after the label, and for a bar of photos
// that lack the value, what they lack.
struct Wording {
    std::string_view before;
    std::string_view after;
    std::string_view missing;
};

constexpr PerQuantity<Wording> kWordings{{{
    {"at ", " mm", "a focal length"},
    {"at ISO ", "", "an ISO value"},
    {"at ", "", "an aperture"},
    {"at ", " s", "a shutter speed"},
    {"with ", "", "a lens name"},
    {"rated ", "", "a rating"},
}}};

// The labels the run gives a bar of photos without the value.
bool MissingValue(Quantity quantity, std::string_view label) {
    if (label.empty() || label == "n/a" || label == "-1") return true;
    return quantity == Quantity::Iso && label == "0";
}

}  // namespace

std::string BarPhotosHeading(Quantity quantity, std::string_view label, std::size_t count) {
    const Wording& wording = kWordings[quantity];
    std::string heading =
        common::GroupThousands(static_cast<std::int64_t>(count)) + (count == 1 ? " photo " : " photos ");
    if (MissingValue(quantity, label)) return heading + "without " + std::string(wording.missing);
    heading += wording.before;
    // Apertures are labelled as the camera wrote them, with or without the "F".
    if (quantity == Quantity::Aperture && label.front() != 'F' && label.front() != 'f') heading += 'F';
    return heading + std::string(label) + std::string(wording.after);
}

std::vector<std::size_t> PhotosInCategory(const std::vector<analysis::PhotoRecord>& records, Quantity quantity,
                                          std::string_view category) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].Categories[quantity] == category) found.push_back(i);
    }
    return found;
}

std::optional<PointRun> CoveredPoints(const std::vector<std::string>& labels, const analysis::CoverageRange& range) {
    std::optional<PointRun> run;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const std::string& label = labels[i];
        std::int64_t mm = -1;
        const auto [end, ec] = std::from_chars(label.data(), label.data() + label.size(), mm);
        if (ec != std::errc{} || end != label.data() + label.size() || mm < 0) continue;
        if (!analysis::Covers(range, mm)) continue;
        const int point = static_cast<int>(i);
        if (!run) run = PointRun{point, point};
        run->Last = point;
    }
    return run;
}

std::vector<std::optional<std::size_t>> LensBars(const std::vector<std::string>& categories, bool withOthers) {
    std::vector<std::optional<std::size_t>> named;
    std::vector<std::optional<std::size_t>> others;
    for (std::size_t i = 0; i < categories.size(); ++i) {
        (analysis::NamesLens(categories[i]) ? named : others).emplace_back(i);
    }
    if (!withOthers || others.empty()) return named;
    if (!named.empty()) named.emplace_back(std::nullopt);
    named.insert(named.end(), others.begin(), others.end());
    return named;
}

CategoryTable BarsOfPhotos(const std::vector<analysis::PhotoRecord>& records, const std::vector<std::size_t>& chosen,
                           Quantity quantity, const std::vector<std::string>& categories,
                           const std::vector<std::string>& labels) {
    std::unordered_map<std::string_view, int> counts;
    for (const std::size_t i : chosen) ++counts[records[i].Categories[quantity]];
    CategoryTable bars;
    for (std::size_t point = 0; point < categories.size() && point < labels.size(); ++point) {
        const auto found = counts.find(categories[point]);
        if (found == counts.end()) continue;
        bars.push_back({categories[point], labels[point], found->second, 0});
    }
    return bars;
}

std::string LensUseText(const std::vector<analysis::PhotoRecord>& records, const std::vector<std::size_t>& chosen,
                        const std::string& label) {
    analysis::LensUseCounter counter;
    for (const std::size_t i : chosen) counter.Add(label, records[i].LensRange, records[i].RealFocal);
    return analysis::LensUseSentence(label, counter.Uses({})[label]);
}

}  // namespace quorvela::ui
