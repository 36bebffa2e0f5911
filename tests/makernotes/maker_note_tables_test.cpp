// Every maker-note and IPTC table walked: unique numbers, names, well-formed value lists.

#include <gtest/gtest.h>

#include <set>

#include "common/ascii.h"
#include "metadata/iptc.h"
#include "metadata/makernotes/tables.h"

namespace quorvela::metadata {
namespace {

// "n:text,n:text": every pair a whole number, a colon and a text without a colon of its own
// (a missing comma shows up as a second colon in one text).
::testing::AssertionResult WellFormedCodeList(std::string_view list) {
    std::set<std::int64_t> numbers;
    while (!list.empty()) {
        const auto comma = list.find(',');
        const std::string_view pair = list.substr(0, comma);
        const auto colon = pair.find(':');
        if (colon == std::string_view::npos) return ::testing::AssertionFailure() << "no colon in '" << pair << "'";
        const auto number = common::ParseInteger(pair.substr(0, colon));
        if (!number) return ::testing::AssertionFailure() << "no number in '" << pair << "'";
        if (!numbers.insert(*number).second) return ::testing::AssertionFailure() << "number twice: " << *number;
        if (pair.substr(colon + 1).find(':') != std::string_view::npos) {
            return ::testing::AssertionFailure() << "two pairs run together in '" << pair << "'";
        }
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
    return ::testing::AssertionSuccess();
}

struct Table {
    const char* name;
    std::span<const TagRow> rows;
    std::size_t size;
};

TEST(MakerNoteTables, EveryRowIsSound) {
    const Table tables[] = {
        {"Nikon 1", NikonType1Rows(), 11}, {"Nikon 2", NikonType2Rows(), 29}, {"Casio 1", CasioType1Rows(), 26},
        {"Casio 2", CasioType2Rows(), 45}, {"Fuji", FujiRows(), 18},          {"Canon", CanonRows(), 17},
        {"Epson", EpsonRows(), 12},        {"Sanyo", SanyoRows(), 6},         {"Minolta", MinoltaRows(), 2},
        {"Pentax", PentaxRows(), 1},       {"Optio", OptioRows(), 1},
    };
    for (const Table& table : tables) {
        SCOPED_TRACE(table.name);
        EXPECT_EQ(table.rows.size(), table.size);
        std::set<std::uint16_t> ids;
        for (const TagRow& row : table.rows) {
            SCOPED_TRACE(row.TagName);
            EXPECT_TRUE(ids.insert(row.TagId).second) << "tag listed twice: " << row.TagId;
            EXPECT_FALSE(row.TagName.empty());
            EXPECT_TRUE(row.Pattern.empty());
            // Only Casio's print-matching row has no description, and its list names no codes.
            if (row.Description.empty() || row.TagId == 0x0E00) continue;
            if (!row.CodeList.empty()) {
                EXPECT_TRUE(WellFormedCodeList(row.CodeList));
            }
            if (common::EqualsIgnoreAsciiCase(row.Description, "skip")) {
                EXPECT_EQ(row.Renderer, nullptr);
            }
        }
    }
}

TEST(MakerNoteTables, RenderersSitOnTheirRows) {
    const std::pair<std::span<const TagRow>, std::uint16_t> withRenderer[] = {
        {NikonType2Rows(), 0x0083}, {NikonType2Rows(), 0x0084}, {NikonType2Rows(), 0x008D},
        {CanonRows(), 0x0001},      {CanonRows(), 0x0004},      {CanonRows(), 0x000F},
    };
    int total = 0;
    for (const auto tables : {NikonType1Rows(), NikonType2Rows(), CasioType1Rows(), CasioType2Rows(), FujiRows(),
                              CanonRows(), EpsonRows(), SanyoRows(), MinoltaRows(), PentaxRows(), OptioRows()}) {
        for (const TagRow& row : tables) total += row.Renderer != nullptr;
    }
    EXPECT_EQ(total, 6);
    for (const auto& [rows, tag] : withRenderer) {
        const auto wanted = tag;  // clang 14 cannot capture a structured binding
        const auto row =
            std::find_if(rows.begin(), rows.end(), [wanted](const TagRow& r) { return r.TagId == wanted; });
        ASSERT_NE(row, rows.end());
        EXPECT_NE(row->Renderer, nullptr) << row->TagName;
    }
}

TEST(MakerNoteTables, CanonItemListsAreSound) {
    for (const auto items : {CanonCameraSettingsItems(), CanonShotInfoItems()}) {
        std::set<int> fields;
        for (const CanonItemRow& item : items) {
            SCOPED_TRACE(item.Label);
            EXPECT_FALSE(item.Label.empty());
            EXPECT_TRUE(fields.insert(item.Field).second) << "field read twice: " << item.Field;
            if (!item.CodeList.empty()) {
                EXPECT_TRUE(WellFormedCodeList(item.CodeList));
            }
        }
    }
    std::set<int> functions;
    for (const CanonFunctionRow& row : CanonCustomFunctionRows()) {
        SCOPED_TRACE(row.Label);
        EXPECT_TRUE(functions.insert(row.Function).second);
        EXPECT_TRUE(WellFormedCodeList(row.CodeList));
    }
    EXPECT_EQ(functions, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
}

TEST(IptcTables, EveryRowIsSound) {
    EXPECT_EQ(IptcTable().size(), 49u);
    std::set<std::pair<int, int>> numbers;
    std::set<std::string> names;
    for (const IptcRow& row : IptcTable()) {
        SCOPED_TRACE(row.TagName);
        EXPECT_TRUE(numbers.insert({row.Record, row.Dataset}).second);
        EXPECT_TRUE(names.insert(common::UpperAscii(row.TagName)).second);
        EXPECT_FALSE(row.Description.empty());
        EXPECT_GT(row.MaxLength, 0);
        EXPECT_TRUE(row.Record == 2 || row.Record == 8);
    }
}

}  // namespace
}  // namespace quorvela::metadata
