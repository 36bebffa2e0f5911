#include "tallies.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstdlib>
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
    // One key per text, then a stable sort of the keys: linear key work, no repeated ICU calls.
    std::vector<std::pair<std::string, std::size_t>> keyed;
    keyed.reserve(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) keyed.emplace_back(SortKey(texts[i]), i);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::size_t> order;
    order.reserve(keyed.size());
    for (const auto& entry : keyed) order.push_back(entry.second);
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
    // within bounds whatever the comparison answers.
    std::stable_sort(categories.begin(), categories.end(), [&](const std::string& a, const std::string& b) {
        return ShutterBefore(a, b, fractionFormat, decimalSeparator);
    });
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
