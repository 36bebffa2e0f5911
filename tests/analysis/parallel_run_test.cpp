// A run reads files on several threads; everything it reports must be exactly what a run
// reading one file at a time reports, stops included.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "analysis/analysis_run.h"
#include "support/test_files.h"

namespace quorvela::analysis {
namespace {

namespace fs = std::filesystem;

// Every call the run makes, in order, as text.
class Log : public AnalysisObserver {
  public:
    std::vector<std::string> Events;
    int StopAtFile = -1;  // requests a stop when the collecting bar reaches this file
    int StopAtFolder = -1;

    void RunStarted(const std::string& r) override { Add("started " + r); }
    void FolderOpened(const std::string& r) override { Add("opened " + r); }
    void Message(MessageKind k, const std::string& t) override {
        Add("message " + std::to_string(static_cast<int>(k)) + " " + t);
    }
    void StatusText(const std::string& t) override { Add("status " + t); }
    void ProgressMaximum(RunStage s, int m) override {
        Add((s == RunStage::Collecting ? "collect-max " : "analyse-max ") + std::to_string(m));
    }
    void ProgressPosition(RunStage s, int p) override {
        if (s == RunStage::Analysing) {
            Add("analyse " + std::to_string(p));
            return;
        }
        Add("collect " + std::to_string(p));
        if (p == StopAtFile || (StopAtFolder >= 0 && p == StopAtFolder)) StopRequested = true;
    }
    void ServiceEvents() override { Add("service"); }
    void ChartPoint(Quantity q, const CategoryCount& p) override {
        Add("point " + std::to_string(static_cast<int>(q)) + " " + p.Label + " " + std::to_string(p.Count));
    }
    void PathListReady(const std::vector<std::string>& lines, const std::vector<std::string>& paths) override {
        for (std::size_t i = 0; i < lines.size(); ++i) Add("line " + lines[i] + " | " + paths.at(i));
    }
    void RunEnded(const std::string& r, RunOutcome o) override {
        Add("ended " + r + " " + std::to_string(static_cast<int>(o)));
    }

  private:
    void Add(std::string e) { Events.push_back(std::move(e)); }
};

struct Outcome {
    std::vector<std::string> events;
    int found;
    int analysed;
    bool stopped;
};

Outcome RunWith(const fs::path& root, int jobs, bool subfolders, int stopAtFile = -1, int stopAtFolder = -1) {
    AnalysisSettings settings;
    settings.RootFolder = root.string();
    settings.IncludeSubfolders = subfolders;
    settings.PathList = Quantity::Shutter;
    RunEnvironment environment;
    environment.DecimalSeparator = ',';
    environment.Jobs = jobs;
    Log log;
    log.StopAtFile = stopAtFile;
    log.StopAtFolder = stopAtFolder;
    const AnalysisResult result = StartAnalyzing(settings, environment, log);
    return {log.Events, result.FilesFound, result.FilesAnalysed, result.StopRequested};
}

// Corpus photos copied under new names into nested folders of uneven sizes.
fs::path BuildTree(const testing::TempDir& dir, int folders) {
    std::vector<fs::path> photos;
    for (const auto& e : fs::directory_iterator(testing::CorpusDir())) {
        if (e.path().extension() == ".jpg") photos.push_back(e.path());
    }
    std::sort(photos.begin(), photos.end());
    const fs::path root = dir.path() / "tree";
    std::size_t next = 0;
    for (int f = 0; f < folders; ++f) {
        const fs::path folder = root / ("f" + std::to_string(f % 5)) / ("g" + std::to_string(f));
        fs::create_directories(folder);
        for (int i = 0; i < 1 + (f * 7) % 23; ++i) {
            fs::copy_file(photos[next++ % photos.size()], folder / ("IMG_" + std::to_string(i) + ".JPG"));
        }
    }
    return root;
}

TEST(ParallelRun, TheCorpusGivesTheSameEventsWithOneAndEightReaders) {
    QUORVELA_REQUIRE_CORPUS();
    const Outcome one = RunWith(testing::CorpusDir(), 1, false);
    const Outcome eight = RunWith(testing::CorpusDir(), 8, false);
    EXPECT_EQ(one.events, eight.events);
    EXPECT_EQ(one.found, eight.found);
    EXPECT_EQ(one.analysed, eight.analysed);
    EXPECT_GT(one.analysed, 100);
}

TEST(ParallelRun, ANestedTreeGivesTheSameEventsWithAnyNumberOfReaders) {
    QUORVELA_REQUIRE_CORPUS();
    testing::TempDir dir;
    const fs::path root = BuildTree(dir, 40);
    const Outcome one = RunWith(root, 1, true);
    for (int jobs : {2, 3, 8}) {
        SCOPED_TRACE(jobs);
        const Outcome many = RunWith(root, jobs, true);
        EXPECT_EQ(one.events, many.events);
        EXPECT_EQ(one.found, many.found);
    }
    EXPECT_GT(one.found, 300);
}

TEST(ParallelRun, AStopInsideAFolderEndsAtTheSameFileAsAOneReaderRun) {
    QUORVELA_REQUIRE_CORPUS();
    for (int stopAt : {1, 17, 60}) {
        SCOPED_TRACE(stopAt);
        const Outcome one = RunWith(testing::CorpusDir(), 1, false, stopAt);
        const Outcome eight = RunWith(testing::CorpusDir(), 8, false, stopAt);
        EXPECT_TRUE(one.stopped);
        EXPECT_EQ(one.events, eight.events);
        EXPECT_EQ(one.analysed, eight.analysed);
        EXPECT_LE(one.analysed, stopAt);
    }
}

TEST(ParallelRun, AStopAfterAFolderEndsThereWithReadersRunningAhead) {
    QUORVELA_REQUIRE_CORPUS();
    testing::TempDir dir;
    const fs::path root = BuildTree(dir, 30);
    const Outcome one = RunWith(root, 1, true, -1, 4);
    const Outcome four = RunWith(root, 4, true, -1, 4);
    EXPECT_TRUE(one.stopped);
    EXPECT_EQ(one.events, four.events);
    EXPECT_EQ(one.found, four.found);
}

}  // namespace
}  // namespace quorvela::analysis
