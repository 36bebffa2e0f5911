// The sorts of a run against their plain definitions: the collation order of long lists (one
// ICU key per text, stable) and the shutter order (ShutterBefore, merge sort). The run sorts
// faster ways; the orders must not differ in a single place.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "analysis/lens_label.h"
#include "analysis/tallies.h"

namespace quorvela::analysis {
namespace {

using library::Collation;

using Texts = std::vector<std::string>;

std::vector<std::size_t> OrderByIcuKeys(const Collation& order, const Texts& texts) {
    std::vector<std::string> keys;
    for (const std::string& text : texts) keys.push_back(order.SortKey(text));
    std::vector<std::size_t> indexes(texts.size());
    std::iota(indexes.begin(), indexes.end(), std::size_t{0});
    std::stable_sort(indexes.begin(), indexes.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    return indexes;
}

// Texts built from pieces that collate specially somewhere (contractions such as "ch", "dzs",
// "aa" and "ll", Turkish i and I, v and w), every ASCII punctuation mark, digits, both cases,
// and, where asked, pieces outside ASCII.
enum class Pieces { Ascii, Plain, WithOthers };

Texts RandomTexts(std::mt19937& random, std::size_t count, Pieces kind) {
    const bool withOtherPieces = kind == Pieces::WithOthers;
    // Letters that start no contraction in the locales below: lists of these, digits and
    // punctuation take the quicker keys in every locale that has them.
    const std::vector<std::string> plain = {"b", "B", "e", "E", "f", "F",  "k", "K", "m", "M", "p", "P", "q", "x",
                                            "X", "0", "1", "5", "9", "10", " ", "_", "-", "/", ".", ",", "(", "~"};
    std::vector<std::string> pieces = {"a",   "A",  "aa", "Aa",  "b",   "c",  "ch",   "CH",   "Ch", "cs", "d",  "dz",
                                       "dzs", "e",  "g",  "gy",  "h",   "i",  "I",    "j",    "l",  "L",  "ll", "Ll",
                                       "n",   "ny", "o",  "r",   "s",   "sz", "t",    "u",    "v",  "V",  "w",  "W",
                                       "y",   "z",  "Z",  "zs",  "0",   "1",  "4",    "5",    "9",  "10", "00", " ",
                                       "  ",  "mm", "F",  "ISO", " - ", "/",  ".jpg", ".JPG", "__", "_"};
    for (char c = 0x21; c < 0x7F; ++c) {
        if ((c < '0' || c > '9') && (c < 'A' || c > 'Z') && (c < 'a' || c > 'z')) pieces.emplace_back(1, c);
    }
    const std::vector<std::string> others = {"\xC3\xA4", "\xC3\x84",     "\xC3\xB6",  "\xC5\x91",     "\xC3\xA5",
                                             "\xC3\xB8", "\xC2\xB7",     "\xC4\xB1",  "\xC4\xB0",     "\xC3\xA9",
                                             "\xC2\xB5", "\xE2\x80\x94", "\xD0\x96",  "\xE6\x97\xA5", "\t",
                                             "\x01",     "\x7F",         "e\xCC\x81", "l\xC2\xB7"};
    if (kind == Pieces::Plain) pieces = plain;
    std::uniform_int_distribution<std::size_t> length(0, 9);
    std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
    std::uniform_int_distribution<std::size_t> other(0, others.size() - 1);
    std::uniform_int_distribution<int> percent(0, 99);
    Texts texts;
    while (texts.size() < count) {
        std::string text;
        for (std::size_t n = length(random); n > 0; --n) {
            text += withOtherPieces && percent(random) < 5 ? others[other(random)] : pieces[piece(random)];
        }
        texts.push_back(text);
        // Near neighbours: the same text in another case, extended, or cut short.
        if (percent(random) < 30 && !text.empty()) {
            std::string variant = text;
            for (char& c : variant) {
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            }
            texts.push_back(variant);
            texts.push_back(text + pieces[piece(random)]);
            texts.push_back(text.substr(0, text.size() / 2));
        }
    }
    texts.resize(count);
    return texts;
}

TEST(SortOrder, LongListsInEveryLocaleAsByIcuKeys) {
    std::mt19937 random(20261207);
    for (const char* locale : {"C",     "en_US", "de_DE", "da_DK", "nb_NO", "sv_SE", "fi_FI", "hu_HU", "cs_CZ",
                               "sk_SK", "pl_PL", "es_ES", "lt_LT", "lv_LV", "et_EE", "tr_TR", "hr_HR", "cy_GB",
                               "vi_VN", "ru_RU", "el_GR", "ja_JP", "zh_CN", "ko_KR", "fr_CA", "haw_US"}) {
        SCOPED_TRACE(locale);
        const Collation order(locale);
        // Half the locales make their ranks ahead, on a thread, as a run does.
        if (std::string_view(locale).size() % 2 == 0) order.PrepareInBackground(6000);
        for (const Pieces kind : {Pieces::Ascii, Pieces::Plain, Pieces::WithOthers}) {
            SCOPED_TRACE(kind == Pieces::Ascii ? "ASCII" : kind == Pieces::Plain ? "plain ASCII" : "outside ASCII too");
            const Texts texts = RandomTexts(random, 6000, kind);
            const std::vector<std::size_t> expected = OrderByIcuKeys(order, texts);
            EXPECT_EQ(order.SortOrder(texts), expected);
            EXPECT_EQ(Collation(order).SortOrder(texts), expected) << "a copy for another thread";
            // The table kept from such a run sorts lists of any length, as a later run does.
            const std::optional<library::AsciiRankTable> made = order.MadeRanks();
            ASSERT_TRUE(made);
            const Collation kept(locale);
            kept.UseRanks(*made);
            EXPECT_EQ(kept.SortOrder(texts), expected) << "kept ranks";
            const Texts few(texts.begin(), texts.begin() + 60);
            EXPECT_EQ(kept.SortOrder(few), OrderByIcuKeys(order, few)) << "kept ranks, a short list";
            EXPECT_FALSE(kept.MadeRanks()) << "given, not made";
            // The same texts once each, as a path list's: sorted without grouping.
            Texts distinct;
            std::unordered_set<std::string> seen;
            for (const std::string& text : texts) {
                if (seen.insert(text).second) distinct.push_back(text);
            }
            if (distinct.size() >= Collation::kLongList) {
                EXPECT_EQ(order.SortOrder(distinct), OrderByIcuKeys(order, distinct)) << "distinct";
            }
        }
    }
}

TEST(SortOrder, PathLinesAsByIcuKeys) {
    // Lines as a run writes them, many enough for the run's quicker keys.
    const Collation order("C");
    Texts lines;
    for (int i = 0; i < 5000; ++i) {
        const int folder = (i * 7919) % 53;
        lines.push_back((i % 3 == 0   ? "___50"
                         : i % 3 == 1 ? "__105"
                                      : "____8") +
                        std::string(" mm - /photos/") + (folder % 2 == 0 ? "Trip_" : "trip-") + std::to_string(folder) +
                        "/IMG_" + std::to_string(i % 997) + (i % 5 == 0 ? ".jpg" : ".JPG") +
                        " - Make: Canon - Model: EOS " + std::to_string(i % 11) + "D");
    }
    EXPECT_EQ(order.SortOrder(lines), OrderByIcuKeys(order, lines));
    const Collation kept("C");
    EXPECT_TRUE(kept.NeedsIcu(lines[0])) << "no table yet";
    kept.UseRanks(*order.MadeRanks());
    EXPECT_FALSE(kept.NeedsIcu(lines[0]));
    lines.push_back("___50 mm - /photos/\xC3\x84rger/IMG_1.JPG");  // one line outside ASCII: ICU for all
    EXPECT_TRUE(kept.NeedsIcu(lines.back()));
    EXPECT_EQ(order.SortOrder(lines), OrderByIcuKeys(order, lines));
    EXPECT_EQ(kept.SortOrder(lines), OrderByIcuKeys(order, lines)) << "kept ranks";
}

TEST(SortOrder, SortPlacesTheTextsAsTheirOrder) {
    const Collation order("C");
    Texts texts{"b", "B", "a", "_", "A", "b"};
    const std::vector<std::size_t> expected = OrderByIcuKeys(order, texts);
    Texts sorted;
    for (const std::size_t i : expected) sorted.push_back(texts[i]);
    order.Sort(texts);
    EXPECT_EQ(texts, sorted);
}

TEST(TallyCategories, AsCountingTheWholeSortedList) {
    // Texts equal in collation but not in bytes ("f2.8", "F2.8") keep their first appearance.
    const Texts pool = {"__F2.8",
                        "__f2.8",
                        "__F4.0",
                        "_F11.0",
                        "__F1.8",
                        "EF24-70mm f/2.8L",
                        "ef24-70mm F/2.8l",
                        "unknown lens",
                        "\xC3\x84rger",
                        "\xC3\xA4rger",
                        "_",
                        "",
                        "___50",
                        "__100"};
    std::mt19937 random(11);
    std::uniform_int_distribution<std::size_t> pick(0, pool.size() - 1);
    for (const char* locale : {"C", "de_DE", "sv_SE"}) {
        const Collation order(locale);
        for (const std::size_t size : {0, 1, 7, 300, 5000}) {
            for (const bool asciiOnly : {true, false}) {
                Texts list;
                while (list.size() < size) {
                    const std::string& text = pool[pick(random)];
                    if (!asciiOnly || std::all_of(text.begin(), text.end(), [](char c) { return c >= 0; })) {
                        list.push_back(text);
                    }
                }
                Texts sorted = list;
                order.Sort(sorted);
                for (const Quantity quantity : {Quantity::Aperture, Quantity::Lens}) {
                    CategoryTable expected = CountCategories(sorted, quantity);
                    if (quantity == Quantity::Lens) {
                        std::stable_sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
                            const bool namedA = NamesLens(a.Category);
                            return namedA != NamesLens(b.Category) ? namedA : a.Count > b.Count;
                        });
                    }
                    const CategoryTable table = TallyCategories(list, quantity, order, false, '.');
                    ASSERT_EQ(table.size(), expected.size()) << locale << " " << size;
                    for (std::size_t i = 0; i < table.size(); ++i) {
                        EXPECT_EQ(table[i].Category, expected[i].Category) << locale << " " << size << " row " << i;
                        EXPECT_EQ(table[i].Count, expected[i].Count);
                        EXPECT_EQ(table[i].Label, expected[i].Label);
                    }
                }
            }
        }
    }
}

TEST(ShutterSort, AsAMergeSortWithShutterBefore) {
    // Odd texts make the comparison intransitive: the result still follows the plain merge sort.
    const Texts pool = {"30", "2",    "1",     "1/2",   "1/4", "1/60",   "1/125", "1/4000", "0.5", "0.0167", "0,008",
                        "x",  "",     "1/0",   "15",    "2.5", "0.3333", "-1",    "1e3",    "/",   "1//2",   " 2",
                        "0",  "1/3 ", "10000", "1/8.0", "0.0", "3/",     "nan",   "inf",    "1,5", "7"};
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, pool.size() - 1);
    std::uniform_int_distribution<std::size_t> size(0, 300);
    for (int round = 0; round < 300; ++round) {
        Texts texts(size(random));
        for (std::string& text : texts) text = pool[pick(random)];
        for (const bool fraction : {false, true}) {
            for (const char separator : {'.', ','}) {
                Texts expected = texts;
                std::stable_sort(expected.begin(), expected.end(), [&](const std::string& a, const std::string& b) {
                    return ShutterBefore(a, b, fraction, separator);
                });
                Texts actual = texts;
                SortShutterCategories(actual, fraction, separator);
                ASSERT_EQ(actual, expected) << "round " << round;
            }
        }
    }
}

}  // namespace
}  // namespace quorvela::analysis
