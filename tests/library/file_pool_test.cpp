// Files read on several threads come back in the order they were handed out.

#include "library/file_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "library/ordered_reading.h"
#include "support/test_files.h"

namespace quorvela::library {
namespace {

struct Outcome {
    std::string Path;
    bool Passed = true;
};
const Outcome kFailed{"", false};

// A pool whose failing files give kFailed.
class Pool : public FilePool<Outcome> {
  public:
    Pool(int jobs, Work work, PoolSizing sizing = PoolSizing::Fixed)
        : FilePool<Outcome>(jobs, std::move(work), kFailed, sizing) {}
};

TEST(FilePool, ResultsComeBackInSubmissionOrder) {
    Pool pool(4, [](const PhotoPath& photo, int) {
        const std::string& path = photo.Path;
        Outcome r;
        r.Path = path;
        // Later files finish first.
        std::this_thread::sleep_for(std::chrono::microseconds(200 - 2 * std::stoi(path)));
        return r;
    });
    for (int i = 0; i < 100; ++i) pool.Submit(std::to_string(i));
    for (int i = 0; i < 100; ++i) EXPECT_EQ(pool.TakeNext().Path, std::to_string(i));
    EXPECT_EQ(pool.Pending(), 0u);
}

TEST(FilePool, CancelDropsWhatWasNotStartedAndAFailingFileAddsNothing) {
    Pool pool(2, [](const PhotoPath& photo, int) -> Outcome {
        const std::string& path = photo.Path;
        if (path == "bad") throw std::runtime_error("unreadable");
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        Outcome r;
        r.Path = path;
        return r;
    });
    pool.Submit("bad");
    EXPECT_FALSE(pool.TakeNext().Passed);
    for (int i = 0; i < 1000; ++i) pool.Submit(std::to_string(i));
    pool.Cancel();
    EXPECT_EQ(pool.Pending(), 0u);
    EXPECT_GE(DefaultJobs(), 2);
}

// A file whose work throws adds nothing, but why is kept: out of memory is counted as such,
// any other error with its text, whether the files are read here or on threads.
TEST(ReadInOrder, FailuresOfTheWorkAreCountedNotHidden) {
    const testing::TempDir folder;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) std::ofstream(folder.path() / name) << "x";
    struct Steps : InOrder<Outcome> {
        void FolderStart(std::size_t, const ListingNotes&) override {}
        bool Photo(Outcome outcome) override {
            passed += outcome.Passed ? 1 : 0;
            return true;
        }
        bool FolderEnd(std::size_t) override { return true; }
        int passed = 0;
    };
    for (const int jobs : {1, 2}) {
        Steps steps;
        ReadingPlan plan;
        plan.Jobs = jobs;
        const WorkFailures::Counts failures = ReadInOrder<Outcome>(
            {folder.path().string()}, plan,
            [](const PhotoPath& photo, int) -> Outcome {
                const std::string& path = photo.Path;
                if (path.ends_with("a.jpg") || path.ends_with("c.jpg")) throw std::bad_alloc();
                if (path.ends_with("b.jpg")) throw std::logic_error("a fault of the program");
                return {path};
            },
            kFailed, steps);
        EXPECT_EQ(steps.passed, 1) << jobs;
        EXPECT_EQ(failures.OutOfMemory, 2) << jobs;
        EXPECT_EQ(failures.Errors, 1) << jobs;
        EXPECT_EQ(failures.FirstError, "a fault of the program") << jobs;
    }
}

// A folder's files go out to threads several at a time; they still come back one by one, in
// order, and a stop in the middle of a folder leaves the pool usable.
TEST(FilePool, FoldersOfAnySizeComeBackInOrder) {
    Pool pool(3, [](const PhotoPath& photo, int) {
        const std::string& path = photo.Path;
        const EntryKind kind = photo.Kind;
        Outcome r;
        r.Path = path;
        r.Passed = kind == EntryKind::Plain;
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
        const Outcome taken = pool.TakeNext();
        ASSERT_EQ(taken.Path, path);
        EXPECT_TRUE(taken.Passed) << "the file's kind reaches the work";
    }
    for (int round = 0; round < 2; ++round) {
        for (int f = 0; f < 3; ++f) pool.Submit(std::vector<PhotoPath>(50, PhotoPath{"x", EntryKind::Plain}));
        for (int i = 0; i < 5; ++i) pool.TakeNext();
        pool.Cancel();
        EXPECT_EQ(pool.Pending(), 0u);
    }
    pool.Submit("after");
    EXPECT_EQ(pool.TakeNext().Path, "after");
}

// A growing pool adds threads only for files that made a thread wait: a warm run stays at one
// thread per core, a cold one gets its reads in flight.
TEST(FilePool, GrowsOnlyWhileFilesMakeItsThreadsWait) {
    const int cores = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    const auto busy = [](const PhotoPath& photo, int) {
        const std::string& path = photo.Path;
        Outcome r;
        r.Path = path;
        const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(100);
        while (std::chrono::steady_clock::now() < until) {
        }
        return r;
    };
    const auto waiting = [](const PhotoPath& photo, int) {
        const std::string& path = photo.Path;
        Outcome r;
        r.Path = path;
        std::this_thread::sleep_for(std::chrono::microseconds(300));
        return r;
    };
    struct Case {
        Pool::Work Work;
        PoolSizing Sizing;
        bool Grows;
    };
    for (const Case& c : {Case{busy, PoolSizing::GrowWhenWaiting, false},
                          Case{waiting, PoolSizing::GrowWhenWaiting, true}, Case{waiting, PoolSizing::Fixed, false}}) {
        Pool pool(32, c.Work, c.Sizing);
        for (int i = 0; i < 400; ++i) pool.Submit(std::to_string(i));
        for (int i = 0; i < 400; ++i) ASSERT_EQ(pool.TakeNext().Path, std::to_string(i));
        if (c.Sizing == PoolSizing::Fixed) {
            EXPECT_EQ(pool.Threads(), 32);
        } else if (c.Grows) {
            EXPECT_GT(pool.Threads(), cores);
        } else {
            EXPECT_EQ(pool.Threads(), std::min(cores, 32));
        }
    }
}

}  // namespace
}  // namespace quorvela::library
