#include "tallies.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "common/ascii.h"
#include "equivalence/focal_length.h"
#include "lens_label.h"
#include "library/collation.h"
#include "metadata/value_render.h"

namespace quorvela::analysis {

namespace {

// A shutter category converted once for comparing: padded text and "/" in the fraction
// format, the number in the decimal format.
struct ShutterKey {
    std::string Padded;  // the text padded to 30 with "0"
    bool Fraction = false;
    std::optional<double> Value;
};

ShutterKey MakeShutterKey(std::string_view text, bool fractionFormat, char decimalSeparator) {
    ShutterKey key;
    if (fractionFormat) {
        key.Padded = std::string(text.size() < 30 ? 30 - text.size() : 0, '0') + std::string(text);
        key.Fraction = text.find('/') != std::string_view::npos;
    } else {
        key.Value = equivalence::ParseDecimal(text, decimalSeparator);
    }
    return key;
}

bool KeyBefore(const ShutterKey& a, const ShutterKey& b, bool fractionFormat) {
    if (fractionFormat) {
        // Whole seconds run from long to short; fractions sort as padded texts.
        return (a.Fraction || b.Fraction) ? a.Padded < b.Padded : b.Padded < a.Padded;
    }
    if (!a.Value || !b.Value) return false;  // a text that does not convert is equal to anything
    return *a.Value > *b.Value;
}

}  // namespace

bool ShutterBefore(std::string_view a, std::string_view b, bool fractionFormat, char decimalSeparator) {
    return KeyBefore(MakeShutterKey(a, fractionFormat, decimalSeparator),
                     MakeShutterKey(b, fractionFormat, decimalSeparator), fractionFormat);
}

void SortShutterCategories(std::vector<std::string>& categories, bool fractionFormat, char decimalSeparator) {
    // Merge sort: the order above need not be transitive for odd texts, and a merge stays
    // within bounds whatever the comparison answers. Each text is converted once.
    std::vector<std::pair<ShutterKey, std::size_t>> keyed;
    keyed.reserve(categories.size());
    for (std::size_t i = 0; i < categories.size(); ++i) {
        keyed.emplace_back(MakeShutterKey(categories[i], fractionFormat, decimalSeparator), i);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [&](const auto& a, const auto& b) { return KeyBefore(a.first, b.first, fractionFormat); });
    std::vector<std::size_t> order;
    order.reserve(keyed.size());
    for (const auto& entry : keyed) order.push_back(entry.second);
    library::ApplyOrder(order, categories);
}

std::string ChartLabel(Quantity quantity, std::string_view category) {
    if (quantity == Quantity::FocalLength) return std::to_string(metadata::LeadingDigits(category, ','));
    if (quantity == Quantity::Lens) return std::string(category);
    if (quantity == Quantity::Rating) {
        // Stars for the ones given, the words for the others.
        const int stars = category.size() == 1 && category[0] >= '1' && category[0] <= '5' ? category[0] - '0' : 0;
        if (stars == 0) return std::string(category);
        std::string label;
        for (int i = 0; i < stars; ++i) label.append("\xE2\x98\x85");
        return label;
    }
    return common::RemoveChar(category, '_');
}

CategoryTable CountCategories(const std::vector<std::string>& sorted, Quantity quantity) {
    std::unordered_map<std::string_view, int> counts;
    for (const std::string& text : sorted) ++counts[text];
    CategoryTable table;
    for (const std::string& text : sorted) {
        auto found = counts.find(text);
        if (found->second == 0) continue;  // already in the table
        table.push_back({text, ChartLabel(quantity, text), found->second});
        found->second = 0;
    }
    return table;
}

void CategoryCounter::Add(std::string text, bool estimated) {
    if (quantity_ == Quantity::Shutter) {
        ++size_;
        entries_.push_back(std::move(text));
        return;
    }
    AddCount(std::move(text), 1, estimated ? 1 : 0);
}

void CategoryCounter::AddCount(std::string text, int count, int estimated) {
    size_ += static_cast<std::size_t>(count);
    const auto [it, added] = index_.try_emplace(std::move(text), distinct_.size());
    if (added) {
        distinct_.push_back(&it->first);
        counts_.push_back(0);
        estimated_.push_back(0);
    }
    counts_[it->second] += count;
    estimated_[it->second] += estimated;
}

std::vector<std::string> CategoryCounter::Distinct() const {
    std::vector<std::string> texts;
    texts.reserve(distinct_.size());
    for (const std::string* text : distinct_) texts.push_back(*text);
    return texts;
}

void CategoryCounter::Rename(const std::unordered_map<std::string, std::string>& names) {
    if (names.empty() || quantity_ == Quantity::Shutter) return;
    CategoryCounter renamed(quantity_);
    for (std::size_t i = 0; i < distinct_.size(); ++i) {
        const auto it = names.find(*distinct_[i]);
        renamed.AddCount(it == names.end() ? *distinct_[i] : it->second, counts_[i], estimated_[i]);
    }
    *this = std::move(renamed);
}

CategoryTable CategoryCounter::Tally(const library::Collation& collation, bool fractionFormat, char decimalSeparator) {
    CategoryTable table;
    if (quantity_ == Quantity::Shutter) {
        SortShutterCategories(entries_, fractionFormat, decimalSeparator);
        table = CountCategories(entries_, quantity_);
    } else {
        // The rows of the whole sorted list, in order of first appearance, are its distinct
        // texts sorted stably in order of first appearance: only those few are sorted.
        std::vector<std::string> distinct;
        distinct.reserve(distinct_.size());
        for (const std::string* text : distinct_) distinct.push_back(*text);
        for (const std::size_t i : collation.SortOrder(distinct)) {
            table.push_back({distinct[i], ChartLabel(quantity_, distinct[i]), counts_[i], estimated_[i]});
        }
    }
    if (quantity_ == Quantity::Rating) {
        // Rejected, unrated, then from one star to five.
        const auto rank = [](const std::string& category) {
            return category == "rejected" ? -1 : category == "unrated" ? 0 : category[0] - '0';
        };
        std::stable_sort(table.begin(), table.end(), [&rank](const CategoryCount& a, const CategoryCount& b) {
            return rank(a.Category) < rank(b.Category);
        });
    }
    if (quantity_ == Quantity::Lens) {
        // Named lenses first, then the built-in and unknown ones, each most used first.
        std::stable_sort(table.begin(), table.end(), [](const CategoryCount& a, const CategoryCount& b) {
            const bool namedA = NamesLens(a.Category);
            const bool namedB = NamesLens(b.Category);
            return namedA != namedB ? namedA : a.Count > b.Count;
        });
    }
    *this = CategoryCounter(quantity_);
    return table;
}

CategoryTable TallyCategories(std::vector<std::string> list, Quantity quantity, const library::Collation& collation,
                              bool fractionFormat, char decimalSeparator) {
    CategoryCounter counted(quantity);
    for (std::string& text : list) counted.Add(std::move(text));
    return counted.Tally(collation, fractionFormat, decimalSeparator);
}

}  // namespace quorvela::analysis
