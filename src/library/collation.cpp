#include "collation.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <mutex>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

#include "icu_functions.h"

namespace quorvela::library {

namespace {

struct CloseCollator {
    void operator()(UCollator* collator) const { Icu().Close(collator); }
};
using CollatorPtr = std::unique_ptr<UCollator, CloseCollator>;

CollatorPtr MakeCollator(std::string_view localeName) {
    const IcuFunctions& icu = Icu();
    const std::string name(localeName.substr(0, localeName.find_first_of(".@")));
    const bool root = name.empty() || name == "C" || name == "POSIX";
    UErrorCode status = U_ZERO_ERROR;
    CollatorPtr collator(icu.Open(root ? "" : name.c_str(), &status));
    if (U_FAILURE(status) || !collator) {
        status = U_ZERO_ERROR;
        collator.reset(icu.Open("", &status));  // the root locale
    }
    if (U_FAILURE(status) || !collator) throw std::runtime_error("ICU collation is not available");
    // Secondary strength ignores case; punctuation such as "_" must count, not be skipped.
    icu.SetStrength(collator.get(), UCOL_SECONDARY);
    status = U_ZERO_ERROR;
    icu.SetAttribute(collator.get(), UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    return collator;
}

CollatorPtr CloneOf(const UCollator* collator) {
    UErrorCode status = U_ZERO_ERROR;
    CollatorPtr clone(Icu().Clone(collator, &status));
    if (U_FAILURE(status) || !clone) throw std::bad_alloc();
    return clone;
}

// The ASCII characters that take part in a contraction made of ASCII characters only (a
// contraction that needs a non-ASCII character, such as root's "l" with a middle dot, cannot
// occur in an ASCII text); nothing when ICU cannot list them.
std::optional<std::array<bool, 128>> InAsciiContractions(const USet& contractions) {
    const IcuFunctions& icu = Icu();
    std::array<bool, 128> excluded{};
    const int32_t items = icu.SetItemCount(&contractions);
    for (int32_t i = 0; i < items; ++i) {
        UChar32 first = 0;
        UChar32 last = 0;
        std::array<UChar, 64> text{};
        UErrorCode itemStatus = U_ZERO_ERROR;
        const int32_t length =
            icu.SetItem(&contractions, i, &first, &last, text.data(), static_cast<int32_t>(text.size()), &itemStatus);
        if (U_FAILURE(itemStatus)) return std::nullopt;
        if (length == 0) {
            // A range of single characters: a one-character contraction is still special.
            for (UChar32 c = first; c <= last && c < 128; ++c) excluded[static_cast<std::size_t>(c)] = true;
            continue;
        }
        if (std::all_of(text.begin(), text.begin() + length, [](UChar c) { return c < 128; })) {
            for (int32_t k = 0; k < length; ++k) excluded[text[static_cast<std::size_t>(k)]] = true;
        }
    }
    return excluded;
}

// For each printable ASCII character whose place in pure-ASCII texts is decided by that
// character alone, its rank (from 1) among them in the collator's order; 0 for the others.
//
// A character qualifies when it yields exactly one collation element with a primary weight,
// has the secondary weight all qualifying characters share, is no expansion, and belongs to
// no contraction or prefix context made of ASCII characters only. Two texts of such
// characters then compare at secondary strength exactly as the sequences of their primary
// weights, which is the order of their rank sequences: equal primaries are equal ranks. The
// ranks come from the collator's own comparison, so tailorings and script reordering are
// included. Numeric collation or a case level change that reasoning: no ranks.
AsciiRankTable AsciiRanks(const UCollator* collator) {
    const IcuFunctions& icu = Icu();
    UErrorCode status = U_ZERO_ERROR;
    if (icu.GetStrength(collator) != UCOL_SECONDARY ||
        icu.GetAttribute(collator, UCOL_NUMERIC_COLLATION, &status) != UCOL_OFF ||
        icu.GetAttribute(collator, UCOL_CASE_LEVEL, &status) != UCOL_OFF ||
        icu.GetAttribute(collator, UCOL_ALTERNATE_HANDLING, &status) != UCOL_NON_IGNORABLE || U_FAILURE(status)) {
        return {};
    }
    const std::unique_ptr<USet, decltype(icu.CloseSet)> contractions(icu.OpenSet(), icu.CloseSet);
    const std::unique_ptr<USet, decltype(icu.CloseSet)> expansions(icu.OpenSet(), icu.CloseSet);
    if (!contractions || !expansions) return {};
    icu.ContractionsAndExpansions(collator, contractions.get(), expansions.get(), 1, &status);
    if (U_FAILURE(status)) return {};
    const auto excluded = InAsciiContractions(*contractions);
    if (!excluded) return {};
    std::vector<UChar> candidates;
    int32_t secondary = -1;
    for (UChar c = 0x20; c < 0x7F; ++c) {
        if ((*excluded)[c] || icu.SetContains(expansions.get(), c) != 0) continue;
        const std::unique_ptr<UCollationElements, decltype(icu.CloseElements)> elements(
            icu.OpenElements(collator, &c, 1, &status), icu.CloseElements);
        if (!elements || U_FAILURE(status)) return {};
        const int32_t element = icu.NextElement(elements.get(), &status);
        const bool oneElement = element != UCOL_NULLORDER && icu.NextElement(elements.get(), &status) == UCOL_NULLORDER;
        if (U_FAILURE(status)) return {};
        if (!oneElement || icu.PrimaryOrder(element) == 0) continue;
        const int32_t s = icu.SecondaryOrder(element);
        if (secondary == -1) secondary = s;
        if (s != secondary) return {};  // not one shared secondary weight: leave it all to ICU
        candidates.push_back(c);
    }
    const auto compare = [&](UChar a, UChar b) { return icu.Compare(collator, &a, 1, &b, 1); };
    std::stable_sort(candidates.begin(), candidates.end(),
                     [&](UChar a, UChar b) { return compare(a, b) == UCOL_LESS; });
    AsciiRankTable ranks{};
    std::uint8_t rank = 0;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (i == 0 || compare(candidates[i - 1], candidates[i]) != UCOL_EQUAL) ++rank;
        ranks[candidates[i]] = rank;
    }
    return ranks;
}

// Runs `make` on a thread of its own when `inBackground` (and the system gives one), else in the
// first caller that waits for it.
template <typename Make>
auto Later(Make make, bool inBackground) {
    if (inBackground) {
        try {
            return std::async(std::launch::async, make).share();
        } catch (const std::system_error&) {
            // No thread to spare.
        }
    }
    return std::async(std::launch::deferred, make).share();
}

using OpenedCollator = std::shared_future<std::shared_ptr<UCollator>>;

// What the copies of one Collation share: the collator as opened (the first use of ICU reads
// its library from disk on a cold start) and the rank table (ICU lists every contraction of the
// locale for it). Each is made once, on a thread of its own when asked ahead, else by the
// first caller that needs it.
struct SharedCollation {
    explicit SharedCollation(std::string locale) : Locale(std::move(locale)) {}

    OpenedCollator StartOpening(bool inBackground) {
        const std::lock_guard lock(Mutex);
        if (!Opened.valid()) {
            Opened =
                Later([locale = Locale] { return std::shared_ptr<UCollator>(MakeCollator(locale)); }, inBackground);
        }
        return Opened;
    }

    std::shared_future<AsciiRankTable> StartRanks(bool inBackground) {
        {
            const std::lock_guard lock(Mutex);
            if (Ranks.valid()) return Ranks;  // given, or started: no collator needed for it
        }
        const OpenedCollator opened = StartOpening(inBackground);
        const std::lock_guard lock(Mutex);
        // From a clone: ICU's element iterators are not for a collator another thread may use.
        if (!Ranks.valid())
            Ranks = Later([opened] { return AsciiRanks(CloneOf(opened.get().get()).get()); }, inBackground);
        return Ranks;
    }

    const std::string Locale;
    std::mutex Mutex;
    OpenedCollator Opened;                     // valid once started
    std::shared_future<AsciiRankTable> Ranks;  // valid once started
    // Given before the first sort (UseRanks) and kept from then on; read without the lock.
    std::unique_ptr<const AsciiRankTable> GivenTable;
    std::atomic<const AsciiRankTable*> Given{nullptr};
};

}  // namespace

struct Collation::Impl {
    Impl(std::shared_ptr<SharedCollation> shared, bool clone) : Shared(std::move(shared)), Clone(clone) {}

    // This copy's collator: the one opened, or for a copy made for another thread a clone of it.
    [[nodiscard]] const UCollator* Get() {
        std::unique_lock lock(Mutex);
        if (!Own.valid()) {
            lock.unlock();
            OpenedCollator opened = Shared->StartOpening(false);
            if (Clone)
                opened = Later([opened] { return std::shared_ptr<UCollator>(CloneOf(opened.get().get())); }, false);
            lock.lock();
            if (!Own.valid()) Own = std::move(opened);
        }
        const OpenedCollator own = Own;
        lock.unlock();
        return own.get().get();
    }

    const std::shared_ptr<SharedCollation> Shared;
    const bool Clone;
    std::mutex Mutex;
    OpenedCollator Own;  // valid once first needed
};

namespace {

// The rank sequence of a text, when every byte has a rank.
bool HasAsciiKey(const AsciiRankTable& ranks, std::string_view text) {
    return std::all_of(text.begin(), text.end(), [&](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 128 && ranks[byte] != 0;
    });
}

// The rank sequence of a text that has one (HasAsciiKey), written to `out`.
void PutAsciiKey(const AsciiRankTable& ranks, std::string_view text, char* out) {
    for (const char c : text) *out++ = static_cast<char>(ranks[static_cast<unsigned char>(c)]);
}

// Whether a list is one of distinct texts (a path list: one line per photo) rather than of a
// few dozen texts repeated (a run list), judged by its first entries.
bool LooksDistinct(const std::vector<std::string>& texts) {
    constexpr std::size_t kLook = 256;
    std::unordered_set<std::string_view> seen;
    for (std::size_t i = 0; i < texts.size() && i < kLook; ++i) {
        if (!seen.insert(texts[i]).second) return false;
    }
    return true;
}

// The stable sort of ASCII texts by their rank sequences, for lists of mostly distinct texts:
// the keys side by side in one buffer and the entries sorted by them, where grouping equal
// texts first would only cost.
std::vector<std::size_t> SortDistinct(const AsciiRankTable& ranks, const std::vector<std::string>& texts) {
    std::vector<std::size_t> start(texts.size() + 1, 0);
    for (std::size_t i = 0; i < texts.size(); ++i) start[i + 1] = start[i] + texts[i].size();
    std::string keys(start.back(), '\0');
    for (std::size_t i = 0; i < texts.size(); ++i) PutAsciiKey(ranks, texts[i], keys.data() + start[i]);
    const auto key = [&](std::size_t i) { return std::string_view(keys).substr(start[i], texts[i].size()); };
    std::vector<std::size_t> order(texts.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
    return order;
}

std::string AsciiKey(const AsciiRankTable& ranks, std::string_view text) {
    std::string key(text.size(), '\0');
    PutAsciiKey(ranks, text, key.data());
    return key;
}

}  // namespace

Collation::Collation(std::string_view localeName)
    : impl_(std::make_unique<Impl>(std::make_shared<SharedCollation>(std::string(localeName)), false)) {}
Collation::Collation(const Collation& other) : impl_(std::make_unique<Impl>(other.impl_->Shared, true)) {}
Collation::~Collation() = default;
Collation::Collation(Collation&&) noexcept = default;
Collation& Collation::operator=(Collation&&) noexcept = default;

void Collation::PrepareInBackground(std::size_t expectedTexts) const {
    if (impl_->Shared->Given.load() != nullptr) return;  // ICU only for a text without ranks (NeedsIcu)
    impl_->Shared->StartOpening(true);
    if (expectedTexts >= kLongList) impl_->Shared->StartRanks(true);
}

void Collation::OpenIcuInBackground() const {
    impl_->Shared->StartOpening(true);
}

std::string Collation::RanksName() const {
    // The table follows from the locale's rules in this ICU, and from how it is made here.
    return "ascii-ranks 1 icu " U_ICU_VERSION " " + impl_->Shared->Locale;
}

void Collation::UseRanks(const AsciiRankTable& ranks) const {
    SharedCollation& shared = *impl_->Shared;
    const std::lock_guard lock(shared.Mutex);
    if (shared.Ranks.valid()) return;  // made already; the same table
    shared.GivenTable = std::make_unique<const AsciiRankTable>(ranks);
    shared.Given.store(shared.GivenTable.get());
    std::promise<AsciiRankTable> ready;
    ready.set_value(ranks);
    shared.Ranks = ready.get_future().share();
}

std::optional<AsciiRankTable> Collation::MadeRanks() const {
    SharedCollation& shared = *impl_->Shared;
    std::shared_future<AsciiRankTable> ranks;
    {
        const std::lock_guard lock(shared.Mutex);
        if (shared.Given.load() != nullptr || !shared.Ranks.valid()) return std::nullopt;
        ranks = shared.Ranks;
    }
    // A table still being made, or made by no one yet, is not waited for.
    if (ranks.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return std::nullopt;
    try {
        return ranks.get();
    } catch (const std::runtime_error&) {
        return std::nullopt;  // ICU failed to make one
    }
}

bool Collation::NeedsIcu(std::string_view text) const {
    const AsciiRankTable* given = impl_->Shared->Given.load();
    return given == nullptr || !HasAsciiKey(*given, text);
}

std::string Collation::SortKey(std::string_view utf8) const {
    const IcuFunctions& icu = Icu();
    // UTF-16 takes no more units than UTF-8 takes bytes; an ill-formed byte becomes U+FFFD.
    std::u16string text(utf8.size(), u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    icu.FromUtf8(text.data(), static_cast<int32_t>(text.size()), &length, utf8.data(),
                 static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) length = 0;
    const UCollator* collator = impl_->Get();
    std::string key(64, '\0');
    int32_t size = icu.GetSortKey(collator, text.data(), length, reinterpret_cast<uint8_t*>(key.data()),
                                  static_cast<int32_t>(key.size()));
    if (size > static_cast<int32_t>(key.size())) {
        key.resize(static_cast<std::size_t>(size));
        size = icu.GetSortKey(collator, text.data(), length, reinterpret_cast<uint8_t*>(key.data()), size);
    }
    key.resize(static_cast<std::size_t>(std::max(size, 0)));
    return key;
}

bool Collation::Less(std::string_view a, std::string_view b) const {
    return SortKey(a) < SortKey(b);
}

std::vector<std::size_t> Collation::SortOrder(const std::vector<std::string>& texts) const {
    // A run list holds a few dozen distinct texts among thousands of entries: one key per
    // distinct text, ranked once, then the entries placed by rank in their own order. Texts
    // with equal keys share a rank, so the result is the stable sort by key. The keys of one
    // list come from one scheme: rank sequences (AsciiRanks) when every text has one, which
    // a long path list of ASCII paths has, else ICU's keys for all.
    // A given table serves lists of any length; one made from ICU pays only for long lists.
    const std::shared_future<AsciiRankTable> made = texts.size() >= kLongList || impl_->Shared->Given.load() != nullptr
                                                        ? impl_->Shared->StartRanks(false)
                                                        : std::shared_future<AsciiRankTable>();
    const AsciiRankTable* table = made.valid() ? &made.get() : nullptr;
    const bool ascii = table != nullptr && std::all_of(texts.begin(), texts.end(), [table](const std::string& t) {
                           return HasAsciiKey(*table, t);
                       });
    if (ascii && LooksDistinct(texts)) return SortDistinct(*table, texts);
    std::unordered_map<std::string_view, std::size_t> groupOf;
    std::vector<std::size_t> group(texts.size());
    std::vector<std::pair<std::string, std::size_t>> keyed;  // key, distinct text
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto [it, added] = groupOf.try_emplace(texts[i], keyed.size());
        if (added) keyed.emplace_back(ascii ? AsciiKey(*table, texts[i]) : SortKey(texts[i]), keyed.size());
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

}  // namespace quorvela::library
