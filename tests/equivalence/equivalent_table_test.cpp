#include "equivalence/equivalent_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>

#include "common/ascii.h"
#include "common/text_file.h"
#include "equivalence/focal_length.h"
#include "support/test_files.h"

namespace quorvela::equivalence {
namespace {

EquivalentList Parse(const std::vector<std::string>& lines) {
    EquivalentList list;
    AppendEquivalentEntries(lines, list);
    return list;
}

// The fields an entry is matched by, cut out once from its joined text.
TEST(EquivalentEntry, FieldsOfTheJoinedText) {
    struct Case {
        const char* text;
        bool hasModel;
        const char* make;
        const char* model;
        const char* real;
        const char* equivalent;
    };
    const Case cases[] = {
        {"[MAKE]Canon[MODEL]PowerShotG2[REAL_LENS]7[35MM_EQUIVALENT]34.07", true, "CANON", "POWERSHOTG2", "7", "34.07"},
        {"x[make]Nikon[MAKE]y[model]E990[real_lens]8,2[35mm_equivalent]38", true, "XNIKON[MAKE]Y", "E990", "8,2", "38"},
        {"[MODEL]G2[REAL_LENS]7[35MM_EQUIVALENT]34", true, "", "G2", "7", "34"},
        {"[MAKE]Canon[REAL_LENS]7[MODEL]G2[35MM_EQUIVALENT]34", true, "CANON[REAL_LENS]7", "", "7[MODEL]G2", "34"},
        {"[MAKE]Canon[REAL_LENS]7[35MM_EQUIVALENT]34", false, "", "", "", ""},
    };
    for (const Case& c : cases) {
        const EquivalentEntry entry(c.text);
        EXPECT_EQ(entry.Text(), c.text);
        EXPECT_EQ(entry.HasModel(), c.hasModel) << c.text;
        EXPECT_EQ(entry.Make(), c.make) << c.text;
        EXPECT_EQ(entry.Model(), c.model) << c.text;
        EXPECT_EQ(entry.RealLens(), c.real) << c.text;
        EXPECT_EQ(entry.Equivalent(), c.equivalent) << c.text;
    }
}

TEST(EquivalentTable, JoinsEntryLinesAndDropsSpacesOnTheModelLineOnly) {
    const auto list = Parse({"; comment", "", "[_START]", "[MAKE]Canon Inc", "[MODEL]Canon PowerShot A70",
                             "[REAL_LENS]5,4", "[35MM_EQUIVALENT]35", "[_END]"});
    ASSERT_EQ(list.size(), 1U);
    EXPECT_EQ(list[0], "[MAKE]Canon Inc[MODEL]CanonPowerShotA70[REAL_LENS]5,4[35MM_EQUIVALENT]35");
}

TEST(EquivalentTable, MarkersInAnyCase) {
    const auto list =
        Parse({"[_start]", "[make]Nikon", "[Model]E 990", "[real_lens]8.2", "[35mm_Equivalent]38", "[_End]"});
    ASSERT_EQ(list.size(), 1U);
    EXPECT_EQ(list[0], "[make]Nikon[Model]E990[real_lens]8.2[35mm_Equivalent]38");
}

TEST(EquivalentTable, ValueOnTheLineAfterABareModelMarkerKeepsItsSpaces) {
    const auto list = Parse({"[_START]", "[MAKE]Canon", "[MODEL]", "Canon PowerShot A70", "[REAL_LENS]5.4",
                             "[35MM_EQUIVALENT]35", "[_END]"});
    ASSERT_EQ(list.size(), 1U);
    EXPECT_EQ(list[0], "[MAKE]Canon[MODEL]Canon PowerShot A70[REAL_LENS]5.4[35MM_EQUIVALENT]35");
}

TEST(EquivalentTable, CommentOnlyAtTheFirstCharacter) {
    const auto list = Parse({"[_START]", "[MAKE]Canon", "; skipped", " ;kept", "[MODEL]G2", "[REAL_LENS]7",
                             "[35MM_EQUIVALENT]34", "[_END]"});
    ASSERT_EQ(list.size(), 1U);
    EXPECT_EQ(list[0], "[MAKE]Canon ;kept[MODEL]G2[REAL_LENS]7[35MM_EQUIVALENT]34");
}

TEST(EquivalentTable, StrayLinesJoinTheNextEntryAndStartDoesNotClear) {
    const auto list =
        Parse({"stray", "[_START]", "[MAKE]Canon", "[MODEL]G2", "[REAL_LENS]7", "[35MM_EQUIVALENT]34", "[_END]",
               "between", "[_START]", "[MAKE]Fuji", "[MODEL]X", "[REAL_LENS]1", "[35MM_EQUIVALENT]2", "[_END]"});
    ASSERT_EQ(list.size(), 2U);
    EXPECT_EQ(list[0], "stray[MAKE]Canon[MODEL]G2[REAL_LENS]7[35MM_EQUIVALENT]34");
    EXPECT_EQ(list[1], "between[MAKE]Fuji[MODEL]X[REAL_LENS]1[35MM_EQUIVALENT]2");
}

TEST(EquivalentTable, IncompleteAndUnclosedEntriesAreDropped) {
    const auto list = Parse({"[_START]", "[MAKE]A", "[MODEL]B", "[35MM_EQUIVALENT]2", "[_END]",          // no real lens
                             "[MAKE]C", "[MODEL]D", "[REAL_LENS]1", "[35MM_EQUIVALENT]2", "[_END]",      // no start
                             "[_START]", "[MAKE]E", "[MODEL]F", "[REAL_LENS]1", "[35MM_EQUIVALENT]2"});  // unclosed
    ASSERT_EQ(list.size(), 1U);
    EXPECT_EQ(list[0], "[MAKE]C[MODEL]D[REAL_LENS]1[35MM_EQUIVALENT]2");
}

TEST(EquivalentTable, EndMarkerOnlyAsAWholeLine) {
    const auto list = Parse({"[_START]", "[MAKE]A", "[MODEL]B", "[REAL_LENS]1", "[35MM_EQUIVALENT]2", "[_END] x"});
    EXPECT_TRUE(list.empty());
}

TEST(EquivalentTable, GarbageLinesNeverBreakTheReading) {
    std::mt19937 random(11);
    const char* pieces[] = {"[_START]",          "[_END]", "[MAKE]", "[MODEL]", "[REAL_LENS]",
                            "[35MM_EQUIVALENT]", ";",      " ",      "\x00"};
    for (int round = 0; round < 200; ++round) {
        std::vector<std::string> lines;
        for (int i = 0; i < 20; ++i) {
            std::string line;
            for (int j = 0; j < 4; ++j) {
                line += random() % 2 ? std::string(pieces[random() % 9]) : std::string(1, static_cast<char>(random()));
            }
            lines.push_back(line);
        }
        EquivalentList list;
        AppendEquivalentEntries(lines, list);
        for (const auto& entry : list) {
            std::string upper = entry;
            for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            for (const char* marker : {"[MAKE]", "[MODEL]", "[REAL_LENS]", "[35MM_EQUIVALENT]"}) {
                EXPECT_NE(upper.find(marker), std::string::npos) << entry;
            }
            // Every accepted entry can be looked up without harm.
            (void)EquivalentfromDataBase(" 7.00 mm", entry.Text(), entry.Text(), list, '.');
        }
    }
}

TEST(ReadEquivalentData, SeedsTheTableFromTheDeliveredFileOnce) {
    testing::TempDir dir;
    const auto seed = dir.path() / "cam_equiv.exp";
    common::WriteTextLines(seed,
                           {"[_START]", "[MAKE]Canon", "[MODEL]G2", "[REAL_LENS]7", "[35MM_EQUIVALENT]34", "[_END]"});
    const auto table = dir.path() / "cam_equiv.txt";
    EquivalentList list{"kept"};
    ReadEquivalentData(table, list);
    ASSERT_EQ(list.size(), 2U);
    EXPECT_EQ(list[0], "kept");
    EXPECT_EQ(common::ReadTextLines(table), common::ReadTextLines(seed));

    // From now on only the table is read: a changed seed does not reach the list.
    common::WriteTextLines(seed, {});
    EquivalentList again;
    ReadEquivalentData(table, again);
    EXPECT_EQ(again.size(), 1U);
}

TEST(ReadEquivalentData, MissingTableAndSeedLeaveTheListAlone) {
    testing::TempDir dir;
    EquivalentList list{"x"};
    ReadEquivalentData(dir.path() / "cam_equiv.txt", list);
    EXPECT_EQ(list, EquivalentList{"x"});
}

TEST(ReadEquivalentData, UnreadableTableIsAClearError) {
    testing::TempDir dir;
    const auto table = dir.path() / "cam_equiv.txt";
    std::filesystem::create_directory(table);
    EquivalentList list;
    try {
        ReadEquivalentData(table, list);
        FAIL() << "a folder in place of the table must not read as a table";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("cam_equiv.txt"), std::string::npos);
    }
}

TEST(ShippedTable, EveryEntryIsAcceptedAndConverts) {
    const auto lines = common::ReadTextLines(QUORVELA_SOURCE_DIR "/data/cam_equiv.exp");
    const auto list = Parse(lines);
    int comments = 0;
    for (const auto& line : lines) comments += !line.empty() && line[0] == ';';
    EXPECT_GE(list.size(), 10U);
    // One comment line per entry says where its pair comes from.
    EXPECT_GE(comments, static_cast<int>(list.size()));
}

}  // namespace
}  // namespace quorvela::equivalence

namespace quorvela::equivalence {
namespace {

// What a camera's photo at `focal` mm is charted as once the table holds `lines`.
std::string Charted(const std::vector<std::string>& lines, const char* make, const char* model, const char* focal,
                    char separator = '.') {
    return EquivalentfromDataBase(focal, make, model, Parse(lines), separator);
}

TEST(CropFactorLines, TheEntryChartsTheCamerasPhotosAtFocalTimesFactor) {
    const auto lines = CropFactorLines("  Quorvela Test ", "Nowhere 1 ", 1.6);
    EXPECT_EQ(lines[0].front(), ';');  // says in the file what the entry is
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()),
              (std::vector<std::string>{"[_START]", "[MAKE]Quorvela Test", "[MODEL]Nowhere 1", "[REAL_LENS]1",
                                        "[35MM_EQUIVALENT]1.6", "[_END]"}));
    EXPECT_EQ(Charted(lines, "Quorvela Test", "Nowhere 1", "20"), "32.00");
    // The table's numbers read alike where "," is the decimal separator.
    EXPECT_EQ(Charted(lines, "QUORVELA TEST", "NOWHERE1", "20", ','), "32,00");
    EXPECT_EQ(Charted(lines, "Quorvela Test", "Nowhere 2", "20"), "");
}

TEST(CropFactorLines, AnEntryAddedLaterWinsOverAnEarlierOne) {
    std::vector<std::string> lines = CropFactorLines("Quorvela Test", "Nowhere 1", 2);
    for (std::string& line : CropFactorLines("Quorvela Test", "Nowhere 1", 1.5)) lines.push_back(std::move(line));
    EXPECT_EQ(Charted(lines, "Quorvela Test", "Nowhere 1", "20"), "30.00");
}

TEST(CropFactorLines, CamerasTheTableCannotHoldAreRefusedWithTheirReason) {
    EXPECT_EQ(CropFactorProblem("Quorvela Test", "Nowhere 1"), "");
    EXPECT_EQ(CropFactorProblem("  ", "Nowhere 1"), "the photos name no maker");
    EXPECT_NE(CropFactorProblem("Quorvela", "Now[here]"), "");
    EXPECT_NE(CropFactorProblem("Quor\nvela", "Nowhere"), "");
    EXPECT_THROW(CropFactorLines("", "Nowhere 1", 1.6), std::invalid_argument);
    EXPECT_THROW(CropFactorLines("Quorvela", "Nowhere 1", 0), std::invalid_argument);
    EXPECT_THROW(CropFactorLines("Quorvela", "Nowhere 1", std::nan("")), std::invalid_argument);
}

TEST(AppendTableLines, KeepsEveryOtherLineAndTheFilesOwnLineEnds) {
    testing::TempDir dir;
    const auto table = dir.path() / "cam_equiv.txt";
    const std::string before = "; mine\n[_START]\n[MAKE]Canon\n[MODEL]G2\n[REAL_LENS]7\n[35MM_EQUIVALENT]34\n[_END]";
    std::ofstream(table, std::ios::binary) << before;
    AppendTableLines(table, {"[_START]", "[_END]"});
    EXPECT_EQ(common::ReadTextFile(table), before + "\n\n[_START]\n[_END]\n");

    common::WriteTextLines(table, {"; crlf", ""});
    AppendTableLines(table, {"[_START]"});
    EXPECT_EQ(common::ReadTextFile(table), "; crlf\r\n\r\n[_START]\r\n");
}

TEST(AppendTableLines, AMissingTableStartsFromTheSeed) {
    testing::TempDir dir;
    const auto seed = dir.path() / "cam_equiv.exp";
    common::WriteTextLines(seed,
                           {"[_START]", "[MAKE]Canon", "[MODEL]G2", "[REAL_LENS]7", "[35MM_EQUIVALENT]34", "[_END]"});
    const auto table = dir.path() / "cam_equiv.txt";
    AppendTableLines(table, CropFactorLines("Quorvela Test", "Nowhere 1", 1.6));
    EquivalentList list;
    ReadEquivalentData(table, list);
    ASSERT_EQ(list.size(), 2U);
    EXPECT_EQ(list[0].Model(), "G2");
    EXPECT_EQ(list[1].Model(), "NOWHERE1");
}

TEST(AppendTableLines, ATableThatCannotBeReadIsAClearErrorAndStaysAsItWas) {
    testing::TempDir dir;
    const auto table = dir.path() / "cam_equiv.txt";
    std::filesystem::create_directory(table);
    try {
        AppendTableLines(table, {"[_START]"});
        FAIL() << "a folder in place of the table must not be written over";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("cam_equiv.txt"), std::string::npos);
    }
    EXPECT_TRUE(std::filesystem::is_directory(table));
}

}  // namespace
}  // namespace quorvela::equivalence
