// A run reads files on several threads; everything it reports must be exactly what a run
// reading one file at a time reports, stops included.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "analysis/analysis_run.h"
#include "analysis/file_pool.h"
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
    settings.PathList = PathListQuantity::Shutter;
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

TEST(FilePool, ResultsComeBackInSubmissionOrder) {
    FilePool pool(4, [](const std::string& path, EntryKind, int) {
        FileOutcome r;
        r.Result.PathLine = path;
        // Later files finish first.
        std::this_thread::sleep_for(std::chrono::microseconds(200 - 2 * std::stoi(path)));
        return r;
    });
    for (int i = 0; i < 100; ++i) pool.Submit(std::to_string(i));
    for (int i = 0; i < 100; ++i) EXPECT_EQ(pool.TakeNext().Result.PathLine, std::to_string(i));
    EXPECT_EQ(pool.Pending(), 0u);
}

TEST(FilePool, CancelDropsWhatWasNotStartedAndAFailingFileAddsNothing) {
    FilePool pool(2, [](const std::string& path, EntryKind, int) -> FileOutcome {
        if (path == "bad") throw std::runtime_error("unreadable");
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        FileOutcome r;
        r.Result.PathLine = path;
        return r;
    });
    pool.Submit("bad");
    EXPECT_FALSE(pool.TakeNext().Result.Passed);
    for (int i = 0; i < 1000; ++i) pool.Submit(std::to_string(i));
    pool.Cancel();
    EXPECT_EQ(pool.Pending(), 0u);
    EXPECT_GE(DefaultJobs(), 2);
}

// A folder's files go out to threads several at a time; they still come back one by one, in
// order, and a stop in the middle of a folder leaves the pool usable.
TEST(FilePool, FoldersOfAnySizeComeBackInOrder) {
    FilePool pool(3, [](const std::string& path, EntryKind kind, int) {
        FileOutcome r;
        r.Result.PathLine = path;
        r.Result.Passed = kind == EntryKind::Plain;
        std::this_thread::sleep_for(std::chrono::microseconds(path.size() % 7 * 20));
        return r;
    });
    std::vector<std::string> expected;
    for (const std::size_t size : {0, 1, 2, 5, 6, 7, 13, 100, 3}) {
        std::vector<PhotoPath> folder;
        for (std::size_t i = 0; i < size; ++i) {
            folder.push_back({"f" + std::to_string(size) + "/" + std::to_string(i), EntryKind::Plain});
            expected.push_back(folder.back().Path);
        }
        pool.Submit(std::move(folder));
    }
    ASSERT_EQ(pool.Pending(), expected.size());
    for (const std::string& path : expected) {
        const FileOutcome taken = pool.TakeNext();
        ASSERT_EQ(taken.Result.PathLine, path);
        EXPECT_TRUE(taken.Result.Passed) << "the file's kind reaches the work";
    }
    for (int round = 0; round < 2; ++round) {
        for (int f = 0; f < 3; ++f) pool.Submit(std::vector<PhotoPath>(50, PhotoPath{"x", EntryKind::Plain}));
        for (int i = 0; i < 5; ++i) pool.TakeNext();
        pool.Cancel();
        EXPECT_EQ(pool.Pending(), 0u);
    }
    pool.Submit("after");
    EXPECT_EQ(pool.TakeNext().Result.PathLine, "after");
}

// A growing pool adds threads only for files that made a thread wait: a warm run stays at one
// thread per core, a cold one gets its reads in flight.
TEST(FilePool, GrowsOnlyWhileFilesMakeItsThreadsWait) {
    const int cores = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    const auto busy = [](const std::string& path, EntryKind, int) {
        FileOutcome r;
        r.Result.PathLine = path;
        const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(100);
        while (std::chrono::steady_clock::now() < until) {
        }
        return r;
    };
    const auto waiting = [](const std::string& path, EntryKind, int) {
        FileOutcome r;
        r.Result.PathLine = path;
        std::this_thread::sleep_for(std::chrono::microseconds(300));
        return r;
    };
    struct Case {
        FilePool::Work Work;
        FilePool::Sizing Sizing;
        bool Grows;
    };
    for (const Case& c :
         {Case{busy, FilePool::Sizing::GrowWhenWaiting, false}, Case{waiting, FilePool::Sizing::GrowWhenWaiting, true},
          Case{waiting, FilePool::Sizing::Fixed, false}}) {
        FilePool pool(32, c.Work, c.Sizing);
        for (int i = 0; i < 400; ++i) pool.Submit(std::to_string(i));
        for (int i = 0; i < 400; ++i) ASSERT_EQ(pool.TakeNext().Result.PathLine, std::to_string(i));
        if (c.Sizing == FilePool::Sizing::Fixed) {
            EXPECT_EQ(pool.Threads(), 32);
        } else if (c.Grows) {
            EXPECT_GT(pool.Threads(), cores);
        } else {
            EXPECT_EQ(pool.Threads(), std::min(cores, 32));
        }
    }
}

}  // namespace
}  // namespace quorvela::analysis
