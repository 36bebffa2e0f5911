#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvela::library {

// For each ASCII character whose place in ASCII texts the collation decides by that character
// alone, its rank (from 1) among those; 0 for the others.
using AsciiRankTable = std::array<std::uint8_t, 128>;

// The locale's text comparison ignoring case, in which "_" and punctuation sort before
// digits and digits before letters. Always built for an explicit locale: under C/POSIX (or
// an unknown name) ICU's root locale is used, never the code-point order.
class Collation {
  public:
    // `localeName` as in LANG ("de_DE.UTF-8"); "", "C" and "POSIX" mean the root locale.
    explicit Collation(std::string_view localeName = {});
    // A copy for another thread: ICU's collator is cloned, what was prepared is shared.
    Collation(const Collation& other);
    Collation& operator=(const Collation&) = delete;
    ~Collation();
    Collation(Collation&&) noexcept;
    Collation& operator=(Collation&&) noexcept;

    // The sort key of a UTF-8 text; keys compare bytewise in collation order.
    [[nodiscard]] std::string SortKey(std::string_view utf8) const;
    [[nodiscard]] bool Less(std::string_view a, std::string_view b) const;
    // Sorts in place; texts that compare equal keep their order.
    void Sort(std::vector<std::string>& texts) const;
    // The indexes of `texts` in sorted order (stable), for sorting other lists alongside.
    [[nodiscard]] std::vector<std::size_t> SortOrder(const std::vector<std::string>& texts) const;

    // From this many texts on, a list of ASCII texts is sorted by a rank table that ICU takes a
    // few milliseconds to make (it lists every contraction of the locale); shorter lists use
    // ICU's own keys, which cost less than that, unless the table was given (UseRanks).
    static constexpr std::size_t kLongList = 4096;
    // Starts, on a thread of its own, what sorting lists of about this many texts needs: ICU's
    // collator (on a cold start its library is read from disk) and, for long lists, the rank
    // table. For a caller with other work to do meanwhile; without it, the first sort makes
    // them.
    void PrepareInBackground(std::size_t expectedTexts) const;

    // The rank table sorts lists of ASCII texts without ICU, whose library a cold start reads
    // from disk. It can be kept between runs under RanksName() (the locale, the ICU version)
    // and given back with UseRanks before the first sort: every list whose texts all have
    // ranks is then sorted by them, and ICU is loaded only for one that does not (NeedsIcu).
    [[nodiscard]] std::string RanksName() const;
    void UseRanks(const AsciiRankTable& ranks) const;
    // The rank table when this process made it from ICU's collator; nothing otherwise.
    [[nodiscard]] std::optional<AsciiRankTable> MadeRanks() const;
    // Whether sorting a list with `text` in it needs ICU's collator.
    [[nodiscard]] bool NeedsIcu(std::string_view text) const;
    // Starts opening ICU's collator on a thread of its own.
    void OpenIcuInBackground() const;

  private:
    struct Impl;  // keeps ICU's headers out of this one
    std::unique_ptr<Impl> impl_;
};

// Rearranges `items` so that item i is the one that stood at order[i].
template <typename T>
void ApplyOrder(const std::vector<std::size_t>& order, std::vector<T>& items) {
    std::vector<T> sorted;
    sorted.reserve(order.size());
    for (const std::size_t index : order) sorted.push_back(std::move(items[index]));
    items = std::move(sorted);
}

// The locale name for collation from the environment (LC_ALL, LC_COLLATE, LANG).
std::string CollationLocaleFromEnvironment();

}  // namespace quorvela::library
