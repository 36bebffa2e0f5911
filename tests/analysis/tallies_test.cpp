#include "analysis/tallies.h"

#include <gtest/gtest.h>

namespace quorvela::analysis {
namespace {

using library::Collation;

using Texts = std::vector<std::string>;

std::vector<std::pair<std::string, int>> Points(const CategoryTable& table) {
    std::vector<std::pair<std::string, int>> points;
    for (const auto& row : table) points.emplace_back(row.Label, row.Count);
    return points;
}

TEST(Collation, FillBeforeDigitsBeforeLettersCaseIgnored) {
    for (const char* locale : {"C", "POSIX", "", "en_US.UTF-8", "de_DE.UTF-8", "no_such_LOCALE"}) {
        SCOPED_TRACE(locale);
        const Collation order(locale);
        Texts texts{"__105", "___35", "____8", "_F11.0", "__F5.6", "abc", "ABD", "Abc", "9", "_"};
        order.Sort(texts);
        EXPECT_EQ(texts, (Texts{"_", "____8", "___35", "__105", "__F5.6", "_F11.0", "9", "abc", "Abc", "ABD"}));
        EXPECT_TRUE(order.Less("___100", "__1600"));
        EXPECT_FALSE(order.Less("ABC", "abc"));
        EXPECT_FALSE(order.Less("abc", "ABC"));
    }
}

TEST(Collation, PathLinesByCategoryThenPath) {
    const Collation order("C");
    Texts lines{"ISO _400 - /b/x.jpg ", "ISO _100 - /z/y.jpg ", "ISO _100 - /a/y.jpg ", "ISO 1600 - /a/a.jpg "};
    order.Sort(lines);
    EXPECT_EQ(lines,
              (Texts{"ISO _100 - /a/y.jpg ", "ISO _100 - /z/y.jpg ", "ISO _400 - /b/x.jpg ", "ISO 1600 - /a/a.jpg "}));
}

TEST(ShutterOrder, FractionFormatRunsFromLongToShort) {
    Texts texts{"1/4000", "1/60", "1", "30", "1/2", "2", "1/125", "1/4"};
    SortShutterCategories(texts, true, '.');
    EXPECT_EQ(texts, (Texts{"30", "2", "1", "1/2", "1/4", "1/60", "1/125", "1/4000"}));
}

TEST(ShutterOrder, DecimalFormatLargestFirst) {
    Texts texts{"0.0167", "2", "0.008", "0.3333", "15"};
    SortShutterCategories(texts, false, '.');
    EXPECT_EQ(texts, (Texts{"15", "2", "0.3333", "0.0167", "0.008"}));
    Texts comma{"0,008", "2", "0,0167"};
    SortShutterCategories(comma, false, ',');
    EXPECT_EQ(comma, (Texts{"2", "0,0167", "0,008"}));
    EXPECT_FALSE(ShutterBefore("x", "2", false, '.'));
    EXPECT_FALSE(ShutterBefore("2", "x", false, '.'));
}

TEST(ChartLabel, FocalDigitsOthersWithoutFill) {
    EXPECT_EQ(ChartLabel(Quantity::FocalLength, "___50"), "50");
    EXPECT_EQ(ChartLabel(Quantity::FocalLength, "__105"), "105");
    EXPECT_EQ(ChartLabel(Quantity::FocalLength, "_____"), "-1");
    EXPECT_EQ(ChartLabel(Quantity::Iso, "___100"), "100");
    EXPECT_EQ(ChartLabel(Quantity::Aperture, "__F5.6"), "F5.6");
    EXPECT_EQ(ChartLabel(Quantity::Shutter, "1/125"), "1/125");
}

TEST(TallyCategories, SortedDistinctCategoriesWithCounts) {
    const Collation order("C");
    using P = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(Points(TallyCategories({"___50", "__105", "___50", "____8"}, Quantity::FocalLength, order, false, '.')),
              (P{{"8", 1}, {"50", 2}, {"105", 1}}));
    EXPECT_EQ(Points(TallyCategories({"__1600", "___100", "___100", "___400"}, Quantity::Iso, order, false, '.')),
              (P{{"100", 2}, {"400", 1}, {"1600", 1}}));
    EXPECT_EQ(Points(TallyCategories({"1/60", "2", "1/125", "1/60"}, Quantity::Shutter, order, true, '.')),
              (P{{"2", 1}, {"1/60", 2}, {"1/125", 1}}));
    EXPECT_EQ(Points(TallyCategories({"0.0167", "2", "0.008"}, Quantity::Shutter, order, false, '.')),
              (P{{"2", 1}, {"0.0167", 1}, {"0.008", 1}}));
    EXPECT_TRUE(TallyCategories({}, Quantity::Aperture, order, false, '.').empty());
    const auto table = TallyCategories({"__F5.6", "_F11.0"}, Quantity::Aperture, order, false, '.');
    ASSERT_EQ(table.size(), 2U);
    EXPECT_EQ(table[0].Category, "__F5.6");
}

TEST(CountCategories, CountsExactTextsOfTheWholeList) {
    // Equal texts need not lie together: each is counted over the whole list, once.
    using P = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(Points(CountCategories({"b", "a", "b", "A"}, Quantity::Iso)), (P{{"b", 2}, {"a", 1}, {"A", 1}}));
}

}  // namespace
}  // namespace quorvela::analysis
