#include "analysis/analysis_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "analysis/tallies.h"
#include "common/text_file.h"
#include "photo.h"
#include "support/test_files.h"

namespace quorvela::analysis {
namespace {

using library::Collation;

namespace fs = std::filesystem;
using test::Fraction;
using test::PhotoBytes;

const test::PhotoTags kFull{.Make = "Canon",
                            .Model = "G2",
                            .Focal35 = 50,
                            .FNumber = Fraction{28, 10},
                            .ExposureTime = Fraction{1, 125},
                            .Iso = std::vector<std::uint16_t>{100}};

const char* OutcomeName(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::Refused:
            return "refused";
        case RunOutcome::NoFolder:
            return "no-folder";
        case RunOutcome::Stopped:
            return "stopped";
        case RunOutcome::NoPhotos:
            return "no-photos";
        case RunOutcome::NoFilterMatch:
            return "no-filter-match";
        case RunOutcome::NoExif:
            return "no-exif";
        case RunOutcome::Finished:
            return "finished";
    }
    return "?";
}

// Records what the run reports.
class Recorder : public AnalysisObserver {
  public:
    std::vector<std::string> Events;
    std::vector<MessageKind> Kinds;  // of the messages, in order
    int StopAfterFolders = -1;       // sets the stop flag when this many folders were serviced
    int foldersServiced = 0;

    void RunStarted(const std::string& root) override { Events.push_back("started " + root); }
    void FolderOpened(const std::string& root) override { Events.push_back("opened " + root); }
    void Message(MessageKind kind, const std::string& text) override {
        Kinds.push_back(kind);
        Events.push_back("message " + text);
    }
    void StatusText(const std::string& text) override { Events.push_back("status " + text); }
    void RunSummary(const std::string& text) override { Events.push_back("summary " + text); }
    void ChartPoint(Quantity q, const CategoryCount& p) override {
        Events.push_back("point " + std::to_string(static_cast<int>(q)) + " " + p.Label + " " +
                         std::to_string(p.Count));
    }
    // "current" for the outcomes whose charts match the settings.
    void RunEnded(const std::string& root, RunOutcome outcome) override {
        Events.push_back("ended " + root + " " + OutcomeName(outcome));
        if (ResultsCurrent(outcome)) Events.push_back("current");
    }
    void ProgressMaximum(RunStage stage, int maximum) override {
        if (stage == RunStage::Analysing) analyseMaximum = maximum;
    }
    void ProgressPosition(RunStage stage, int position) override {
        if (stage == RunStage::Analysing) analyseTop = std::max(analyseTop, position);
    }
    int analyseMaximum = -1;
    int analyseTop = 0;
    void ServiceEvents() override {
        if (StopAfterFolders >= 0 && ++foldersServiced > StopAfterFolders) StopRequested = true;
    }
    bool Has(const std::string& event) const { return std::find(Events.begin(), Events.end(), event) != Events.end(); }
};

AnalysisResult RunOn(const fs::path& root, AnalysisSettings settings, Recorder& recorder,
                     const fs::path& pathList = {}) {
    settings.RootFolder = root.string();
    RunEnvironment environment;
    environment.PathListFile = pathList;
    return StartAnalyzing(settings, environment, recorder);
}

std::vector<std::string> Labels(const CategoryTable& table) {
    std::vector<std::string> labels;
    for (const auto& row : table) labels.push_back(row.Label + "x" + std::to_string(row.Count));
    return labels;
}

TEST(StartAnalyzing, SummaryIsReportedBeforeTheChartsFill) {
    testing::TempDir dir;
    dir.Write("one.jpg", PhotoBytes(kFull));
    Recorder recorder;
    RunOn(dir.path(), {}, recorder);
    const auto at = [&](const std::string& prefix) {
        return std::find_if(recorder.Events.begin(), recorder.Events.end(),
                            [&](const std::string& e) { return e.starts_with(prefix); }) -
               recorder.Events.begin();
    };
    ASSERT_TRUE(recorder.Has("summary Files analyzed: 1 out of total: 1"));
    EXPECT_LT(at("summary "), at("point "));
}

TEST(StartAnalyzing, CountsFilesAndSummarises) {
    testing::TempDir dir;
    dir.Write("one.jpg", PhotoBytes(kFull));
    dir.Write("two.JPEG", PhotoBytes({.Make = "Canon", .Focal35 = 24, .FNumber = Fraction{56, 10}}));
    dir.Write("three.thm", samples::Jpeg().Soi().Comment("no exif").Sos().Eoi().Build());
    dir.Write("four.jfif", PhotoBytes(kFull));
    dir.Write("five.JPE", {'n', 'o', 't'});
    Recorder recorder;
    const AnalysisResult result = RunOn(dir.path(), {}, recorder);
    EXPECT_EQ(result.FilesFound, 4);
    EXPECT_EQ(result.FilesAnalysed, 2);
    EXPECT_EQ(result.RunSummaryText, "Files analyzed: 2 out of total: 4");
    EXPECT_FALSE(result.StopRequested);
    EXPECT_TRUE(result.Messages.empty());
    EXPECT_EQ(Labels(result.Tables[Quantity::FocalLength]), (std::vector<std::string>{"24x1", "50x1"}));
    EXPECT_EQ(Labels(result.Tables[Quantity::Iso]), (std::vector<std::string>{"100x1"}));
    EXPECT_EQ(Labels(result.Tables[Quantity::Aperture]), (std::vector<std::string>{"F2.8x1", "F5.6x1"}));
    EXPECT_EQ(Labels(result.Tables[Quantity::Shutter]), (std::vector<std::string>{"0.008x1"}));
    EXPECT_EQ(result.Outcome, RunOutcome::Finished);
    EXPECT_EQ(recorder.Events.front(), "started " + dir.path().string());
    EXPECT_EQ(recorder.Events.at(1), "opened " + dir.path().string());
    EXPECT_TRUE(recorder.Has("ended " + dir.path().string() + " finished"));
    EXPECT_TRUE(recorder.Has("point 2 F5.6 1"));
    EXPECT_TRUE(recorder.Has("current"));
    EXPECT_EQ(recorder.analyseMaximum, 2);  // the focal-length tally drives the analysing bar
    EXPECT_EQ(recorder.analyseTop, 2);
    ASSERT_EQ(result.PathLines.size(), 2U);
    EXPECT_EQ(result.PathLines[0].substr(0, 19), "___24 mm = 24.00 mm");
}

TEST(StartAnalyzing, SubfoldersOnAndOff) {
    testing::TempDir dir;
    dir.Write("a.jpg", PhotoBytes(kFull));
    fs::create_directories(dir.path() / "sub" / ".deep");
    testing::ReadFileBytes(dir.Write("sub/b.jpg", PhotoBytes(kFull)));
    dir.Write("sub/.deep/c.jpg", PhotoBytes(kFull));
    Recorder on;
    EXPECT_EQ(RunOn(dir.path(), {}, on).FilesAnalysed, 3);
    Recorder off;
    AnalysisSettings settings;
    settings.IncludeSubfolders = false;
    EXPECT_EQ(RunOn(dir.path(), settings, off).FilesAnalysed, 1);
}

TEST(StartAnalyzing, MessagesForEmptyResults) {
    testing::TempDir dir;
    Recorder none;
    const AnalysisResult nothing = RunOn(dir.path(), {}, none);
    EXPECT_EQ(nothing.Messages, std::vector<std::string>{"No jpeg files found."});
    EXPECT_EQ(nothing.Outcome, RunOutcome::NoPhotos);
    EXPECT_EQ(none.Kinds, std::vector<MessageKind>{MessageKind::NoPhotos});
    EXPECT_TRUE(none.Has("current"));  // an empty folder is analysed all the same

    dir.Write("a.jpg", PhotoBytes({.Make = "Canon", .FNumber = Fraction{28, 10}}));
    Recorder noExif;
    const AnalysisResult result = RunOn(dir.path(), {}, noExif);
    EXPECT_EQ(result.Messages, std::vector<std::string>{"None of the jpeg files contained EXIF info."});
    EXPECT_EQ(result.Outcome, RunOutcome::NoExif);
    EXPECT_EQ(noExif.Kinds, std::vector<MessageKind>{MessageKind::NoExif});
    EXPECT_EQ(Labels(result.Tables[Quantity::Aperture]),
              std::vector<std::string>{"F2.8x1"});  // other charts still fill

    AnalysisSettings filtered;
    filtered.FilterOn = true;
    filtered.Filter.Make = "Nikon";
    Recorder noMatch;
    const AnalysisResult unmatched = RunOn(dir.path(), filtered, noMatch);
    EXPECT_EQ(unmatched.Messages,
              std::vector<std::string>{"None of the jpeg files match the make and/or model filter strings."});
    EXPECT_EQ(unmatched.Outcome, RunOutcome::NoFilterMatch);
    EXPECT_EQ(noMatch.Kinds, std::vector<MessageKind>{MessageKind::NoFilterMatch});
    EXPECT_TRUE(noMatch.Has("status Scanning files with the filter enabled"));
}

// Why nothing was found is said beside the message scripts match: folders that could not be
// read, RAW files of a run of JPEG files only, links and system folders not walked.
TEST(StartAnalyzing, WhatTheWalkPassedOverIsSaid) {
    testing::TempDir dir;
    dir.Write("raw/IMG_1.CR2", PhotoBytes(kFull));
    dir.Write("raw/IMG_2.heic", PhotoBytes(kFull));
    fs::create_directories(dir.path() / "closed");
    fs::create_directory_symlink("/proc", dir.path() / "raw" / "proc.jpg");
    AnalysisSettings jpegOnly;
    jpegOnly.IncludeRawHeif = false;
    Recorder recorder;
    fs::permissions(dir.path() / "closed", fs::perms::none);
    const bool closable = ::access((dir.path() / "closed").c_str(), R_OK) != 0;  // not so for root
    const AnalysisResult result = RunOn(dir.path(), jpegOnly, recorder);
    fs::permissions(dir.path() / "closed", fs::perms::owner_all);
    EXPECT_EQ(result.FilesFound, 0);
    std::vector<std::string> expected = {
        "1 folder was left out: links that lead outside the chosen folder, and system folders such as /proc.",
        "1 folder could not be read (Permission denied).", "No jpeg files found.",
        "2 RAW or HEIF files were not read: the run reads JPEG files only."};
    if (!closable) expected.erase(expected.begin() + 1);
    EXPECT_EQ(result.Messages, expected);
}

TEST(StartAnalyzing, NoFolderLeavesThePathListFileAlone) {
    testing::TempDir dir;
    const fs::path list = dir.path() / "vt_debug.txt";
    common::WriteTextLines(list, {"earlier"});
    Recorder recorder;
    const AnalysisResult result = RunOn(dir.path() / "missing", {}, recorder, list);
    EXPECT_EQ(result.Messages, std::vector<std::string>{"No folder selected."});
    EXPECT_EQ(recorder.Kinds, std::vector<MessageKind>{MessageKind::NoFolder});
    EXPECT_EQ(result.Outcome, RunOutcome::NoFolder);
    EXPECT_FALSE(result.StopRequested);
    EXPECT_EQ(common::ReadTextLines(list), std::vector<std::string>{"earlier"});
    EXPECT_FALSE(recorder.Has("current"));  // the earlier charts are not declared current
    // The folder never opened: the run started and ended on it.
    const std::string root = (dir.path() / "missing").string();
    EXPECT_EQ(recorder.Events, (std::vector<std::string>{"started " + root, "message No folder selected.",
                                                         "ended " + root + " no-folder"}));
    Recorder empty;
    EXPECT_EQ(RunOn("", {}, empty).Messages, std::vector<std::string>{"No folder selected."});
}

TEST(StartAnalyzing, RefusedFilterChangesNothing) {
    testing::TempDir dir;
    dir.Write("a.jpg", PhotoBytes(kFull));
    AnalysisSettings settings;
    settings.FilterOn = true;
    settings.Filter.MakerNoteLabel = "record";
    Recorder recorder;
    const AnalysisResult result = RunOn(dir.path(), settings, recorder);
    EXPECT_EQ(result.Outcome, RunOutcome::Refused);
    EXPECT_EQ(result.FilesFound, 0);
    EXPECT_EQ(recorder.Events,
              (std::vector<std::string>{"message You need to fill Maker and/or Model, and/or enter two strings at the "
                                        "Maker note.",
                                        "ended " + dir.path().string() + " refused"}));
    EXPECT_EQ(recorder.Kinds, std::vector<MessageKind>{MessageKind::FilterRefused});
}

TEST(StartAnalyzing, FilterSummaryAfterAFilteredRun) {
    testing::TempDir dir;
    dir.Write("a.jpg", PhotoBytes(kFull));
    dir.Write("b.jpg", PhotoBytes({.Make = "NIKON", .Focal35 = 50}));
    AnalysisSettings settings;
    settings.FilterOn = true;
    settings.Filter.Make = "canon";
    Recorder recorder;
    const AnalysisResult result = RunOn(dir.path(), settings, recorder);
    EXPECT_EQ(result.FilesFound, 2);
    EXPECT_EQ(result.FilesAnalysed, 1);
    ASSERT_EQ(result.Messages.size(), 1U);
    EXPECT_EQ(result.Messages[0].substr(0, 75),
              "Filtering selected, 1 files out of a total of 2 files are a match for the f");
    EXPECT_EQ(recorder.Kinds, std::vector<MessageKind>{MessageKind::FilterSummary});
    EXPECT_EQ(result.Outcome, RunOutcome::Finished);
}

TEST(StartAnalyzing, StopKeepsWhatWasGatheredAfterTheCurrentFolder) {
    testing::TempDir dir;
    for (const char* sub : {"f1", "f2", "f3"}) {
        fs::create_directory(dir.path() / sub);
        dir.Write(std::string(sub) + "/a.jpg", PhotoBytes(kFull));
        dir.Write(std::string(sub) + "/b.jpg", PhotoBytes(kFull));
    }
    Recorder recorder;
    recorder.StopAfterFolders = 2;  // the servicing before the walk, then after the root folder
    const fs::path list = dir.path() / "list.txt";
    const AnalysisResult result = RunOn(dir.path(), {}, recorder, list);
    EXPECT_TRUE(result.StopRequested);
    EXPECT_EQ(result.FilesAnalysed, 2);  // the first subfolder is finished, no more
    EXPECT_EQ(result.Messages, std::vector<std::string>{"Plot interrupted, graph not complete."});
    EXPECT_EQ(recorder.Kinds, std::vector<MessageKind>{MessageKind::Interrupted});
    EXPECT_EQ(result.Outcome, RunOutcome::Stopped);
    EXPECT_EQ(Labels(result.Tables[Quantity::FocalLength]), std::vector<std::string>{"50x2"});
    EXPECT_EQ(common::ReadTextLines(list).size(), 2U);
    EXPECT_FALSE(recorder.Has("current"));
}

TEST(StartAnalyzing, StopDuringAFolderEndsItAfterTheCurrentFile) {
    testing::TempDir dir;
    for (int i = 0; i < 5; ++i) dir.Write("p" + std::to_string(i) + ".jpg", PhotoBytes(kFull));
    class StopAtFirstFile : public Recorder {
        void ProgressPosition(RunStage stage, int position) override {
            if (stage == RunStage::Collecting && position == 1) StopRequested = true;
        }
    } recorder;
    const AnalysisResult result = RunOn(dir.path(), {}, recorder);
    EXPECT_EQ(result.FilesFound, 5);
    EXPECT_EQ(result.FilesAnalysed, 1);
    EXPECT_TRUE(result.StopRequested);
}

TEST(StartAnalyzing, PathListFileIsSortedWithCrLf) {
    testing::TempDir dir;
    dir.Write("b.jpg", PhotoBytes(kFull));
    dir.Write("a.jpg", PhotoBytes(kFull));
    dir.Write("c.jpg", PhotoBytes({.Make = "X", .Focal35 = 24}));
    Recorder recorder;
    const fs::path list = dir.path() / "vt_debug.txt";
    const AnalysisResult result = RunOn(dir.path(), {}, recorder, list);
    const std::string root = dir.path().string();
    const std::vector<std::string> expected{
        "___24 mm = 24.00 mm - " + root + "/c.jpg - Make: X",
        "___50 mm = 50.00 mm - " + root + "/a.jpg - Make: Canon - Model: G2",
        "___50 mm = 50.00 mm - " + root + "/b.jpg - Make: Canon - Model: G2",
    };
    EXPECT_EQ(result.PathLines, expected);
    // Each line's file goes along with it through the sort.
    EXPECT_EQ(result.LinePaths, (std::vector<std::string>{root + "/c.jpg", root + "/a.jpg", root + "/b.jpg"}));
    const auto bytes = testing::ReadFileBytes(list);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text, expected[0] + "\r\n" + expected[1] + "\r\n" + expected[2] + "\r\n");

    // A run without a path-list quantity makes no lines and leaves the file as it was.
    AnalysisSettings none;
    none.PathList = std::nullopt;
    Recorder again;
    EXPECT_TRUE(RunOn(dir.path(), none, again, list).PathLines.empty());
    EXPECT_EQ(common::ReadTextLines(list), expected);
}

TEST(StartAnalyzing, UnwritablePathListFileIsReportedAndTheRunCompletes) {
    testing::TempDir dir;
    dir.Write("a.jpg", PhotoBytes(kFull));
    Recorder recorder;
    const AnalysisResult result = RunOn(dir.path(), {}, recorder, dir.path() / "no" / "vt_debug.txt");
    EXPECT_EQ(result.PathLines.size(), 1U);
    ASSERT_EQ(result.Messages.size(), 1U);
    EXPECT_EQ(result.Messages[0].rfind("Unable to write to ", 0), 0U);
    EXPECT_EQ(recorder.Kinds, std::vector<MessageKind>{MessageKind::PathListNotWritten});
    EXPECT_TRUE(recorder.Has("current"));
}

// A long path list is sorted and written on a thread of its own while the tallies are counted;
// what reaches the file, the result and the messages is as for a short one.
TEST(StartAnalyzing, LongPathListsAreSortedAndWrittenBesideTheTallies) {
    testing::TempDir dir;
    dir.Write("photo.jpg", PhotoBytes(kFull));
    for (std::size_t i = 0; i < Collation::kLongList; ++i) {
        // Names out of order, so that the lines must be sorted.
        fs::create_hard_link(dir.path() / "photo.jpg",
                             dir.path() / ("p" + std::to_string((i * 7919) % 10007) + ".jpg"));
    }
    testing::TempDir out;
    Recorder written;
    const AnalysisResult result = RunOn(dir.path(), {}, written, out.path() / "vt_debug.txt");
    ASSERT_EQ(result.PathLines.size(), Collation::kLongList + 1);
    std::vector<std::string> sorted = result.PathLines;
    Collation().Sort(sorted);
    EXPECT_EQ(result.PathLines, sorted);
    EXPECT_EQ(common::ReadTextLines(out.path() / "vt_debug.txt"), result.PathLines);
    EXPECT_TRUE(written.Kinds.empty());

    Recorder refused;
    const AnalysisResult unwritten = RunOn(dir.path(), {}, refused, out.path() / "no" / "vt_debug.txt");
    EXPECT_EQ(unwritten.PathLines, result.PathLines);
    EXPECT_EQ(refused.Kinds, std::vector<MessageKind>{MessageKind::PathListNotWritten});
}

}  // namespace
}  // namespace quorvela::analysis
