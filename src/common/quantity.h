#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorvela {

// Which chart: the quantities a run counts, in the order of the charts, the lens and rating
// charts last. A quantity is added here and nowhere else is a count of them kept.
enum class Quantity { FocalLength, Iso, Aperture, Shutter, Lens, Rating };
inline constexpr std::size_t kQuantityCount = 6;
// The charts of the overview grid: the first ones, all but the lens and rating charts.
inline constexpr std::size_t kOverviewCount = 4;

constexpr std::size_t IndexOf(Quantity quantity) {
    return static_cast<std::size_t>(quantity);
}
constexpr bool OnOverview(Quantity quantity) {
    return IndexOf(quantity) < kOverviewCount;
}
// The quantity at `index` of the charts' order; nothing outside it (as -1, "none chosen").
constexpr std::optional<Quantity> QuantityAt(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= kQuantityCount) return std::nullopt;
    return static_cast<Quantity>(index);
}

// One value for each quantity, indexed by it.
template <typename T>
struct PerQuantity {
    std::array<T, kQuantityCount> Values{};

    // Each value made by `make(quantity)`, for a type without a default.
    template <typename Make>
    static PerQuantity Made(Make make) {
        return Made(make, std::make_index_sequence<kQuantityCount>());
    }

    constexpr T& operator[](Quantity quantity) { return Values[IndexOf(quantity)]; }
    constexpr const T& operator[](Quantity quantity) const { return Values[IndexOf(quantity)]; }
    auto begin() { return Values.begin(); }
    auto end() { return Values.end(); }
    [[nodiscard]] auto begin() const { return Values.begin(); }
    [[nodiscard]] auto end() const { return Values.end(); }
    bool operator==(const PerQuantity&) const = default;

  private:
    template <typename Make, std::size_t... I>
    static PerQuantity Made(Make make, std::index_sequence<I...> /*indexes*/) {
        return {{make(static_cast<Quantity>(I))...}};
    }
};

// Whether a table has a value for every quantity (none left at T{}): a table written for
// fewer charts than there are fails its static_assert.
template <typename T>
constexpr bool EveryQuantity(const PerQuantity<T>& table) {
    for (const T& value : table.Values) {
        if (value == T{}) return false;
    }
    return true;
}

// Every quantity, in the charts' order.
inline constexpr PerQuantity<Quantity> kQuantities = [] {
    PerQuantity<Quantity> all;
    for (std::size_t i = 0; i < kQuantityCount; ++i) all.Values[i] = static_cast<Quantity>(i);
    return all;
}();

// One bar of a chart: a distinct category of a run with its chart label and how many photos.
struct CategoryCount {
    std::string Category;
    std::string Label;
    int Count = 0;
    // Of Count, the photos whose 35mm equivalent is a guess from the manual factor (focal
    // lengths in the 35mm-equivalent mode only).
    int Estimated = 0;
};
using CategoryTable = std::vector<CategoryCount>;

// A chart's view as the window's reset buttons see it.
struct ChartViewState {
    bool Zoomed = false;      // zoomed in
    bool UserRanges = false;  // zoomed or panned away from the automatic scales
    double FirstShown = 0;    // the first point shown; 0 unless panned sideways
    bool operator==(const ChartViewState&) const = default;
};

}  // namespace quorvela
