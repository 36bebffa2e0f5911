#include "settings/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <random>

#include "support/test_files.h"

namespace quorvela::settings {
namespace {

std::filesystem::path WriteRaw(const testing::TempDir& dir, const std::string& text) {
    const auto file = dir.path() / "vintrop.ini";
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

std::string Content(const std::filesystem::path& file) {
    const auto bytes = testing::ReadFileBytes(file);
    return {bytes.begin(), bytes.end()};
}

TEST(ReadIniFile, MissingFileGivesFirstStartDefaults) {
    testing::TempDir dir;
    IniSettings window;
    window.Tree = 200;  // the caller's current panel width stands in for a missing key
    const IniSettings s = ReadIniFile(dir.path() / "vintrop.ini", window);
    EXPECT_TRUE(s.UseSteps);
    EXPECT_TRUE(s.IncludeSubfolders);
    EXPECT_FALSE(s.ThreeD);
    EXPECT_FALSE(s.FractionShutter);
    EXPECT_EQ(s.PathList, 0);
    EXPECT_EQ(s.RealLens, "8,2");
    EXPECT_EQ(s.Equivalent, "38");
    EXPECT_FALSE(s.FilterOn);
    EXPECT_EQ(s.StepSize, 10);
    EXPECT_EQ(s.IgnoreUpTo, 28);
    EXPECT_EQ(s.Labels, 0);
    EXPECT_EQ(s.WindowState, 3);
    EXPECT_EQ(s.Tree, 200);
    EXPECT_TRUE(s.RememberPhotos);
}

TEST(ReadIniFile, RememberPhotosIsWrittenAndReadBack) {
    testing::TempDir dir;
    const auto file = dir.path() / "vintrop.ini";
    IniSettings s;
    s.RememberPhotos = false;
    WriteIniFile(file, s);
    EXPECT_NE(Content(file).find("RememberPhotos=0"), std::string::npos);
    EXPECT_FALSE(ReadIniFile(file).RememberPhotos);
}

TEST(ReadIniFile, NumbersClampsAndFallbacks) {
    struct Case {
        const char* section;
        const char* key;
        const char* value;
        int IniSettings::*member;
        int expected;
    };
    const Case cases[] = {
        {"INI", "IgnoreWA", "99", &IniSettings::IgnoreUpTo, 49},
        {"INI", "IgnoreWA", "-4", &IniSettings::IgnoreUpTo, 0},
        {"INI", "UseStepsWA", "0", &IniSettings::StepSize, 1},
        {"INI", "UseStepsWA", "70", &IniSettings::StepSize, 50},
        {"INI", "UseStepsWA", "0x0A", &IniSettings::StepSize, 10},
        {"INI", "UseStepsWA", "five", &IniSettings::StepSize, 10},
        {"INI", "UseStepsWA", "5x", &IniSettings::StepSize, 10},
        {"INI", "UseStepsWA", " 7 ", &IniSettings::StepSize, 7},
        {"RadioButton", "0", "7", &IniSettings::PathList, 5},
        {"FilterRating", "Min", "9", &IniSettings::MinRating, 5},
        {"FilterRating", "Min", "-2", &IniSettings::MinRating, 0},
        {"RadioButton", "0", "-1", &IniSettings::PathList, -1},
        {"RadioButton", "0", "-9", &IniSettings::PathList, -1},
        {"INI", "WinStatusLeft", "0x64", &IniSettings::WindowLeft, 100},
        {"INI", "WinStatusLeft", "-20", &IniSettings::WindowLeft, -20},
        {"INI", "WinStatusLeft", "99999999999", &IniSettings::WindowLeft, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "." + c.key + "=" + c.value);
        testing::TempDir dir;
        const auto file = WriteRaw(dir, std::string("[") + c.section + "]\r\n" + c.key + "=" + c.value + "\r\n");
        EXPECT_EQ(ReadIniFile(file).*c.member, c.expected);
    }
}

// The window's lens fields keep the first five characters of a longer text; the command line
// reads the same file and must chart the same factor.
TEST(ReadIniFile, LensTextsKeepWhatTheWindowFieldsHold) {
    struct Case {
        const char* value;
        const char* expected;
    };
    const Case cases[] = {
        {"100000", "10000"},
        {"8,2000001", "8,200"},
        {"\xE9\xE9\xE9\xE9\xE9\xE9\xE9", "\xE9\xE9\xE9\xE9\xE9"},  // one byte is one character
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        testing::TempDir dir;
        const auto file = WriteRaw(dir, std::string("[LensVAL]\r\n0=") + c.value + "\r\n1=" + c.value + "\r\n");
        const IniSettings s = ReadIniFile(file);
        EXPECT_EQ(s.RealLens, c.expected);
        EXPECT_EQ(s.Equivalent, c.expected);
    }
}

TEST(ReadIniFile, BooleansTextsAndCase) {
    testing::TempDir dir;
    const auto file = WriteRaw(dir,
                               "[checkmark]\n0=0\n1=2\n5=0x1\n2=yes\n[LensVAL]\n0=7.5\n1=\n[INI]\npath=/photos/a b\n"
                               "[FilterOn]\n4=1\n[MakerTag]\n6=Record\n");
    const IniSettings s = ReadIniFile(file);
    EXPECT_FALSE(s.UseSteps);
    EXPECT_TRUE(s.IncludeSubfolders);
    EXPECT_TRUE(s.FractionShutter);
    EXPECT_FALSE(s.ThreeD);  // not a number: the default
    EXPECT_EQ(s.RealLens, "7.5");
    EXPECT_EQ(s.Equivalent, "");
    EXPECT_EQ(s.Path, "/photos/a b");
    EXPECT_TRUE(s.FilterOn);
    EXPECT_EQ(s.MakerTag, "Record");
}

// A file from before RAW and HEIF files were read has no key for them: such runs include them.
TEST(ReadIniFile, RawHeifKeyIsOnUnlessTheFileTurnsItOff) {
    testing::TempDir dir;
    EXPECT_TRUE(ReadIniFile(WriteRaw(dir, "[CHECKMARK]\n1=0\n[INI]\nPath=/p\n")).IncludeRawHeif);
    IniSettings s;
    s.IncludeRawHeif = false;
    const auto file = dir.path() / "vintrop.ini";
    WriteIniFile(file, s);
    EXPECT_NE(Content(file).find("RawHeif=0\r\n"), std::string::npos);
    EXPECT_FALSE(ReadIniFile(file).IncludeRawHeif);
    EXPECT_TRUE(ReadIniFile(WriteRaw(dir, "[INI]\nrawheif=7\n"), s).IncludeRawHeif);
}

TEST(WriteIniFile, NewFileInTableOrderWithCrLf) {
    testing::TempDir dir;
    const auto file = dir.path() / "vintrop.ini";
    IniSettings s;
    s.BarGraph = false;  // always written as 1
    s.WindowState = 2;
    WriteIniFile(file, s);
    const std::string text = Content(file);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
    EXPECT_EQ(text.find("\n\n"), std::string::npos);
    const char* order[] = {
        "[CHECKMARK]",   "3=1",         "[RadioButton]", "[LensVAL]",  "0=8,2",          "[FilterMake]",
        "[FilterModel]", "[FilterOn]",  "[RealLength]",  "[MakerTag]", "[MakerData]",    "[MakerNote]",
        "[INI]",         "IgnoreWA=28", "UseStepsWA=10", "Path=",      "WinStatusMain=2"};
    std::size_t at = 0;
    for (const char* piece : order) {
        const std::size_t found = text.find(piece, at);
        ASSERT_NE(found, std::string::npos) << piece;
        at = found;
    }
    EXPECT_EQ(ReadIniFile(file).WindowState, 2);
}

TEST(WriteIniFile, RoundTripKeepsForeignKeysAndComments) {
    testing::TempDir dir;
    const auto file = WriteRaw(dir, "; mine\r\n[Other]\r\nkeep=me\r\n[INI]\r\nTree=300\r\nExtra=1\r\n");
    IniSettings s = ReadIniFile(file);
    EXPECT_EQ(s.Tree, 300);
    s.RealLens = "7,2";
    s.FilterModel = "D70";
    s.PathList = -1;
    s.Path = "/home/me/Pictures";
    WriteIniFile(file, s);
    const std::string text = Content(file);
    EXPECT_NE(text.find("; mine"), std::string::npos);
    EXPECT_NE(text.find("keep=me"), std::string::npos);
    EXPECT_NE(text.find("Extra=1"), std::string::npos);
    const IniSettings again = ReadIniFile(file);
    EXPECT_EQ(again.RealLens, "7,2");
    EXPECT_EQ(again.FilterModel, "D70");
    EXPECT_EQ(again.PathList, -1);
    EXPECT_EQ(again.Path, "/home/me/Pictures");
    EXPECT_EQ(again.Tree, 300);
}

// A "[" closed only on a later line makes a section name with a line break; written back it
// became a second [RadioButton] whose stale key overrode the one just written.
TEST(WriteIniFile, DamagedNamesCannotShadowWhatIsWritten) {
    testing::TempDir dir;
    const auto file = WriteRaw(dir, "[RadioButton]\r\n0=0\r\n[RadioButton\r]\n0=0\r\nx]\r\n[Other]\r\nkeep=me\r\n");
    IniSettings s = ReadIniFile(file);
    s.PathList = 2;
    WriteIniFile(file, s);
    EXPECT_EQ(ReadIniFile(file).PathList, 2);
    EXPECT_NE(Content(file).find("keep=me"), std::string::npos);
}

TEST(WriteIniFile, UnwritableFolderIsReported) {
    testing::TempDir dir;
    try {
        WriteIniFile(dir.path() / "missing" / "vintrop.ini", {});
        FAIL() << "expected an error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + (dir.path() / "missing" / "vintrop.ini").string());
    }
}

TEST(ReadIniFile, GarbageGivesValuesWithinTheirLimits) {
    testing::TempDir dir;
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::string text = round % 2 ? "[INI]\nUseStepsWA=" : "";
        const int size = static_cast<int>(random() % 400);
        for (int i = 0; i < size; ++i) text += static_cast<char>(random() % 4 == 0 ? "[]=\n"[random() % 4] : random());
        const IniSettings s = ReadIniFile(WriteRaw(dir, text));
        EXPECT_GE(s.StepSize, 1);
        EXPECT_LE(s.StepSize, 50);
        EXPECT_GE(s.PathList, -1);
        EXPECT_LE(s.PathList, 3);
    }
}

TEST(ReadIniFile, FifoIsNotWaitedOn) {
    testing::TempDir dir;
    const auto fifo = dir.path() / "vintrop.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadIniFile(fifo).StepSize, 10);
}

}  // namespace
}  // namespace quorvela::settings

namespace quorvela::settings {
namespace {

TEST(IniLensKeys, OlderFileKeepsWorkingAndTheNewKeysRoundTrip) {
    testing::TempDir dir;
    const auto file = WriteRaw(dir, "[FilterMake]\r\n2=Canon\r\n");  // from before the lens keys
    IniSettings s = ReadIniFile(file);
    EXPECT_EQ(s.FilterMake + s.FilterLens + s.PeriodFrom + s.PeriodTo + s.Coverage, "Canon");
    s.FilterLens = "70-200";
    s.PeriodFrom = "2026-06-01";
    s.PeriodTo = "2026-08-31";
    s.Coverage = "24-70";
    WriteIniFile(file, s);
    const IniSettings again = ReadIniFile(file);
    EXPECT_EQ(again.FilterLens + " " + again.PeriodFrom + " " + again.PeriodTo + " " + again.Coverage,
              "70-200 2026-06-01 2026-08-31 24-70");
}

}  // namespace
}  // namespace quorvela::settings
