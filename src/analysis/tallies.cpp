#include "tallies.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <unordered_map>

#include "equivalence/equivalent_table.h"
#include "equivalence/focal_length.h"
#include "metadata/value_render.h"

namespace quorvela::analysis {

namespace {

std::unique_ptr<icu::Collator> MakeCollator(std::string_view localeName) {
    std::string name(localeName.substr(0, localeName.find_first_of(".@")));
    const bool root = name.empty() || name == "C" || name == "POSIX";
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(
        icu::Collator::createInstance(root ? icu::Locale::getRoot() : icu::Locale(name.c_str()), status));
    if (U_FAILURE(status) || !collator) {
        status = U_ZERO_ERROR;
        collator.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
    }
    if (!collator) throw std::runtime_error("ICU collation is not available");
    // Secondary strength ignores case; punctuation such as "_" must count, not be skipped.
    collator->setStrength(icu::Collator::SECONDARY);
    status = U_ZERO_ERROR;
    collator->setAttribute(UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, status);
    return collator;
}

}  // namespace

struct Collation::Impl {
    std::unique_ptr<icu::Collator> Collator;
};

Collation::Collation(std::string_view localeName) : impl_(std::make_unique<Impl>(Impl{MakeCollator(localeName)})) {}
Collation::~Collation() = default;
Collation::Collation(Collation&&) noexcept = default;
Collation& Collation::operator=(Collation&&) noexcept = default;

std::string Collation::SortKey(std::string_view utf8) const {
    const icu::UnicodeString text =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    std::string key(64, '\0');
    int32_t size =
        impl_->Collator->getSortKey(text, reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
    if (size > static_cast<int32_t>(key.size())) {
        key.resize(static_cast<std::size_t>(size));
        size = impl_->Collator->getSortKey(text, reinterpret_cast<uint8_t*>(key.data()), size);
    }
    key.resize(static_cast<std::size_t>(std::max(size, 0)));
    return key;
}

bool Collation::Less(std::string_view a, std::string_view b) const {
    return SortKey(a) < SortKey(b);
}

std::vector<std::size_t> Collation::SortOrder(const std::vector<std::string>& texts) const {
    // A run list holds a few dozen distinct texts among thousands of entries: one ICU key per
    // distinct text, ranked once, then the entries placed by rank in their own order. Texts
    // with equal keys share a rank, so the result is the stable sort by key.
    std::unordered_map<std::string_view, std::size_t> groupOf;
    std::vector<std::size_t> group(texts.size());
    std::vector<std::pair<std::string, std::size_t>> keyed;  // key, distinct text
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto [it, added] = groupOf.try_emplace(texts[i], keyed.size());
        if (added) keyed.emplace_back(SortKey(texts[i]), keyed.size());
        group[i] = it->second;
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::size_t> rank(keyed.size());
    std::size_t ranks = 0;
    for (std::size_t k = 0; k < keyed.size(); ++k) {
        if (k == 0 || keyed[k].first != keyed[k - 1].first) ++ranks;
        rank[keyed[k].second] = ranks - 1;
    }
    // Counting sort by rank keeps equal ranks in their original order.
    std::vector<std::size_t> start(ranks + 1, 0);
    for (const std::size_t g : group) ++start[rank[g] + 1];
    for (std::size_t r = 1; r <= ranks; ++r) start[r] += start[r - 1];
    std::vector<std::size_t> order(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) order[start[rank[group[i]]]++] = i;
    return order;
}

void Collation::Sort(std::vector<std::string>& texts) const {
    ApplyOrder(SortOrder(texts), texts);
}

std::string CollationLocaleFromEnvironment() {
    for (const char* variable : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return value;
    }
    return "C";
}

bool ShutterBefore(std::string_view a, std::string_view b, bool fractionFormat, char decimalSeparator) {
    if (fractionFormat) {
        const std::string paddedA = std::string(a.size() < 30 ? 30 - a.size() : 0, '0') + std::string(a);
        const std::string paddedB = std::string(b.size() < 30 ? 30 - b.size() : 0, '0') + std::string(b);
        const bool fraction = a.find('/') != std::string_view::npos || b.find('/') != std::string_view::npos;
        // Whole seconds run from long to short; fractions sort as padded texts.
        return fraction ? paddedA < paddedB : paddedB < paddedA;
    }
    const auto x = equivalence::ParseDecimal(a, decimalSeparator);
    const auto y = equivalence::ParseDecimal(b, decimalSeparator);
    if (!x || !y) return false;  // a text that does not convert is equal to anything
    return *x > *y;
}

void SortShutterCategories(std::vector<std::string>& categories, bool fractionFormat, char decimalSeparator) {
    // Merge sort: the order above need not be transitive for odd texts, and a merge stays
    // within bounds whatever the comparison answers. Each text is converted once, and the
    // comparison below answers exactly as ShutterBefore does, so the same merge sort of the
    // same number of items makes the same moves.
    struct Item {
        std::string Padded;  // fraction format: the text padded to 30 with "0"
        bool Fraction = false;
        std::optional<double> Value;  // decimal format
        std::size_t Index = 0;
    };
    std::vector<Item> items(categories.size());
    for (std::size_t i = 0; i < categories.size(); ++i) {
        const std::string& text = categories[i];
        Item& item = items[i];
        item.Index = i;
        if (fractionFormat) {
            item.Padded = std::string(text.size() < 30 ? 30 - text.size() : 0, '0') + text;
            item.Fraction = text.find('/') != std::string::npos;
        } else {
            item.Value = equivalence::ParseDecimal(text, decimalSeparator);
        }
    }
    std::stable_sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
        if (fractionFormat) return (a.Fraction || b.Fraction) ? a.Padded < b.Padded : b.Padded < a.Padded;
        if (!a.Value || !b.Value) return false;
        return *a.Value > *b.Value;
    });
    std::vector<std::size_t> order;
    order.reserve(items.size());
    for (const Item& item : items) order.push_back(item.Index);
    ApplyOrder(order, categories);
}

std::string ChartLabel(Quantity quantity, std::string_view category) {
    if (quantity == Quantity::FocalLength) return std::to_string(metadata::LeadingDigits(category, ','));
    return equivalence::RemoveChar(category, '_');
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

CategoryTable TallyCategories(std::vector<std::string> list, Quantity quantity, const Collation& collation,
                              bool fractionFormat, char decimalSeparator) {
    if (quantity == Quantity::Shutter) {
        SortShutterCategories(list, fractionFormat, decimalSeparator);
    } else {
        collation.Sort(list);
    }
    return CountCategories(list, quantity);
}

}  // namespace quorvela::analysis
