#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/quantity.h"
#include "library/collation.h"

namespace quorvela::analysis {

// Shutter order, longest exposure first, in the fraction or the decimal format.
bool ShutterBefore(std::string_view a, std::string_view b, bool fractionFormat, char decimalSeparator);
void SortShutterCategories(std::vector<std::string>& categories, bool fractionFormat, char decimalSeparator);

// The chart label of a category: focal lengths as the number of their digits ("___50" ->
// "50", "-1" when none), a lens as its text, the others with every "_" removed.
std::string ChartLabel(Quantity quantity, std::string_view category);

// Counts an already sorted run list: one row per distinct text, in order of first appearance,
// each with the number of entries of the whole list equal to it.
CategoryTable CountCategories(const std::vector<std::string>& sorted, Quantity quantity);

// The categories of one quantity as a run counts them. For a quantity in collation order it
// keeps each distinct text once with its count, in order of first appearance, which is all its
// table needs; shutter speeds, whose order is not one of keys, are kept entry by entry.
class CategoryCounter {
  public:
    explicit CategoryCounter(Quantity quantity) : quantity_(quantity) {}
    // Moved, never copied: distinct_ points into index_.
    CategoryCounter(CategoryCounter&&) noexcept = default;
    CategoryCounter& operator=(CategoryCounter&&) noexcept = default;
    CategoryCounter(const CategoryCounter&) = delete;
    CategoryCounter& operator=(const CategoryCounter&) = delete;
    ~CategoryCounter() = default;
    // `estimated`: the entry's photo was charted with a guessed factor (never for shutter speeds).
    void Add(std::string text, bool estimated = false);
    // Entries added.
    [[nodiscard]] std::size_t Size() const { return size_; }
    // The distinct texts added, in order of first appearance (none for shutter speeds).
    [[nodiscard]] std::vector<std::string> Distinct() const;
    // Counts the entries of each text of `names` under the text it maps to.
    void Rename(const std::unordered_map<std::string, std::string>& names);
    // The table TallyCategories gives for the list of every entry added; empties the counter.
    CategoryTable Tally(const library::Collation& collation, bool fractionFormat, char decimalSeparator);

  private:
    void AddCount(std::string text, int count, int estimated);

    Quantity quantity_;
    std::size_t size_ = 0;
    std::unordered_map<std::string, std::size_t> index_;  // a text's place in distinct_
    std::vector<const std::string*> distinct_;            // the keys of index_, by first appearance
    std::vector<int> counts_;
    std::vector<int> estimated_;        // of counts_, the estimated entries
    std::vector<std::string> entries_;  // shutter speeds
};

// Sorts the categories of a run in its quantity's order (collation, or shutter order) and counts it.
// Lenses come named first, then built-in and unknown ones, each most used first and those
// used equally often in collation order.
CategoryTable TallyCategories(std::vector<std::string> list, Quantity quantity, const library::Collation& collation,
                              bool fractionFormat, char decimalSeparator);

}  // namespace quorvela::analysis
