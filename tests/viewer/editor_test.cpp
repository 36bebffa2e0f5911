#include <gtest/gtest.h>

#include "analysis/analysis_run.h"
#include "common/text_file.h"
#include "support/test_files.h"
#include "viewer/equivalent_editor.h"
#include "viewer_photos.h"

namespace quorvela::viewer {
namespace {

using Controls = EditorControls;
using State = EquivalentEditor::State;

constexpr Controls kClosed{
    .MemoEnabled = false, .MemoCream = true, .EditEnabled = true, .SaveEnabled = false, .CloseEnabled = false};
constexpr Controls kOpen{
    .MemoEnabled = true, .MemoCream = false, .EditEnabled = false, .SaveEnabled = false, .CloseEnabled = true};
constexpr Controls kOpenChanged{
    .MemoEnabled = true, .MemoCream = false, .EditEnabled = false, .SaveEnabled = true, .CloseEnabled = true};
constexpr Controls kNewFile{
    .MemoEnabled = true, .MemoCream = false, .EditEnabled = true, .SaveEnabled = true, .CloseEnabled = false};

const std::vector<std::string> kG2Entry = {
    "[_START]", "[MAKE]Canon", "[MODEL]Canon PowerShot G2", "[REAL_LENS]7", "[35MM_EQUIVALENT]34.07", "[_END]"};

TEST(EquivalentEditor, StartsClosed) {
    const testing::TempDir dir;
    const EquivalentEditor editor(dir.path() / "cam_equiv.txt");
    EXPECT_EQ(editor.CurrentState(), State::Closed);
    EXPECT_EQ(editor.Controls(), kClosed);
}

TEST(EquivalentEditor, OpeningAnExistingTableLoadsItUnchanged) {
    const testing::TempDir dir;
    common::WriteTextLines(dir.path() / "cam_equiv.txt", kG2Entry);
    EquivalentEditor editor(dir.path() / "cam_equiv.txt");
    EXPECT_EQ(editor.Open(), kG2Entry);
    EXPECT_EQ(editor.CurrentState(), State::OpenUnchanged);
    EXPECT_EQ(editor.Controls(), kOpen);
    editor.Changed();
    EXPECT_EQ(editor.CurrentState(), State::OpenChanged);
    EXPECT_EQ(editor.Controls(), kOpenChanged);
}

TEST(EquivalentEditor, OpeningAMissingTableOffersTheTwoCommentLinesAsAChange) {
    const testing::TempDir dir;
    EquivalentEditor editor(dir.path() / "cam_equiv.txt");
    const std::vector<std::string> lines = editor.Open();
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[0], "; Lines started with a semicolon (;) are ignored bij Quorvela");
    EXPECT_EQ(lines[1], "; See the help how to add cameras without 35mm information in the exif.");
    EXPECT_EQ(editor.CurrentState(), State::OpenChanged);
    EXPECT_EQ(editor.Controls(), kNewFile);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "cam_equiv.txt"));
}

TEST(EquivalentEditor, SaveWritesThenReloadsAndCloses) {
    const testing::TempDir dir;
    const auto file = dir.path() / "cam_equiv.txt";
    common::WriteTextLines(file, {"; empty"});
    EquivalentEditor editor(file);
    equivalence::EquivalentList list = {"stale entry"};
    editor.Open();
    editor.Changed();
    editor.Save(kG2Entry, list);
    EXPECT_EQ(common::ReadTextLines(file), kG2Entry);
    ASSERT_EQ(list.size(), 1U);
    EXPECT_EQ(list[0], "[MAKE]Canon[MODEL]CanonPowerShotG2[REAL_LENS]7[35MM_EQUIVALENT]34.07");
    EXPECT_EQ(editor.CurrentState(), State::Closed);
    EXPECT_EQ(editor.Controls(), kClosed);
}

TEST(EquivalentEditor, SavingNoEntriesGivesAnEmptyTableAndNeverCopiesTheSeed) {
    const testing::TempDir dir;
    const auto file = dir.path() / "cam_equiv.txt";
    const auto seed = dir.path() / "cam_equiv.exp";
    common::WriteTextLines(seed, kG2Entry);
    EquivalentEditor editor(file, seed);
    equivalence::EquivalentList list = {"old"};
    editor.Open();
    editor.Save({}, list);
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(common::ReadTextLines(file).empty());
}

TEST(EquivalentEditor, CloseDiscardsAndLeavesFileAndList) {
    const testing::TempDir dir;
    const auto file = dir.path() / "cam_equiv.txt";
    common::WriteTextLines(file, kG2Entry);
    EquivalentEditor editor(file);
    editor.Open();
    editor.Changed();
    editor.Close();
    EXPECT_EQ(editor.Controls(), kClosed);
    EXPECT_EQ(common::ReadTextLines(file), kG2Entry);
    editor.Changed();  // a closed editor has no text to change
    EXPECT_EQ(editor.Controls(), kClosed);
}

TEST(EquivalentEditor, AFailedSaveKeepsTheEditorOpenAndTheList) {
    const testing::TempDir dir;
    EquivalentEditor editor(dir.path() / "missing folder" / "cam_equiv.txt");
    equivalence::EquivalentList list = {"kept"};
    editor.Open();
    EXPECT_THROW(editor.Save(kG2Entry, list), std::runtime_error);
    EXPECT_EQ(list, equivalence::EquivalentList{"kept"});
    EXPECT_EQ(editor.CurrentState(), State::OpenChanged);
}

TEST(SplitEditorText, Lines) {
    EXPECT_EQ(SplitEditorText(""), std::vector<std::string>{});
    EXPECT_EQ(SplitEditorText("a"), std::vector<std::string>{"a"});
    EXPECT_EQ(SplitEditorText("a\nb\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitEditorText("a\r\n\nb"), (std::vector<std::string>{"a", "", "b"}));
}

// The saved table is the one the next run uses.
TEST(EquivalentEditor, TheNextRunUsesTheSavedTable) {
    const testing::TempDir dir;
    const auto photos = dir.path() / "photos";
    test::PhotoTags photo;  // a Canon PowerShot G2 at 7 mm, no 35mm value
    test::WritePhoto(photos / "g2.jpg", photo);
    const auto file = dir.path() / "cam_equiv.txt";
    common::WriteTextLines(file, {"; nothing yet"});
    equivalence::EquivalentList list;
    equivalence::ReadEquivalentData(file, list);

    analysis::AnalysisSettings settings;
    settings.RootFolder = photos.string();
    settings.UseSteps = false;
    analysis::RunEnvironment environment;
    environment.Table = &list;
    environment.Jobs = 1;
    analysis::AnalysisObserver observer;
    const auto focalOf = [&] {
        const auto result = analysis::StartAnalyzing(settings, environment, observer);
        const auto& table = result.Tables[Quantity::FocalLength];
        return table.empty() ? std::string() : table.front().Category;
    };
    const std::string before = focalOf();

    EquivalentEditor editor(file);
    editor.Open();
    editor.Changed();
    // The user's entry wins over the camera database's crop factor (4.84: 7 mm -> 34 mm).
    editor.Save(
        {"[_START]", "[MAKE]Canon", "[MODEL]Canon PowerShot G2", "[REAL_LENS]7", "[35MM_EQUIVALENT]50", "[_END]"},
        list);
    const std::string after = focalOf();
    EXPECT_EQ(after.substr(after.find_first_not_of('_')), "50");
    EXPECT_EQ(before.substr(before.find_first_not_of('_')), "34");
}

}  // namespace
}  // namespace quorvela::viewer
