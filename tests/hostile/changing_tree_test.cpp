// Trees that change while a run walks them: files deleted or replaced after their folder was
// listed, folders removed after they were collected or while earlier ones are read. The run
// ends normally, and no photo that stayed in place throughout is lost.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "library/folder_walk.h"
#include "support/test_files.h"
#include "tree_support.h"

namespace quorvela::hostile {
namespace {

using testing::TempDir;

std::string Numbered(const char* stem, int i) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%03d.jpg", stem, i);
    return name;
}

// Calls `change` once: at the collecting maximum after AtMaximum(), else at the collecting position
// given to AtPosition (1 by default).
template <class Change>
class ChangeOnce : public AnalysisObserver {
  public:
    explicit ChangeOnce(Change change) : change_(std::move(change)) {}
    // After the folders are collected and before any is listed (several folders only).
    void ProgressMaximum(analysis::RunStage stage, int maximum) override {
        if (stage == analysis::RunStage::Collecting && atMaximum_) Once(maximum);
    }
    // After each folder (several folders), or after each file of the only folder.
    void ProgressPosition(analysis::RunStage stage, int position) override {
        if (stage == analysis::RunStage::Collecting && !atMaximum_ && position == atPosition_) Once(position);
    }
    void AtMaximum() { atMaximum_ = true; }
    void AtPosition(int position) { atPosition_ = position; }
    bool Changed() const { return changed_; }

  private:
    void Once(int) {
        if (changed_) return;
        changed_ = true;
        change_();
    }
    Change change_;
    bool atMaximum_ = false;
    int atPosition_ = 1;
    bool changed_ = false;
};

TEST(ChangingTree, FoldersRemovedAfterTheyWereCollected) {
    TempDir dir;
    const fs::path root = dir.path();
    dir.Write("top.jpg", Photo());
    for (int i = 0; i < 3; ++i) dir.Write(Numbered("keep/a", i), Photo());
    for (int i = 0; i < 2; ++i) dir.Write(Numbered("keep2/inner/b", i), Photo());
    for (int i = 0; i < 3; ++i) dir.Write(Numbered("gone/c", i), Photo());
    for (int i = 0; i < 2; ++i) dir.Write(Numbered("gone/below/d", i), Photo());
    for (int i = 0; i < 2; ++i) dir.Write(Numbered("now-a-file/e", i), Photo());
    for (int i = 0; i < 2; ++i) dir.Write(Numbered("renamed/f", i), Photo());
    ChangeOnce observer([&] {
        fs::remove_all(root / "gone");
        fs::remove_all(root / "now-a-file");
        dir.Write("now-a-file", Photo());
        fs::rename(root / "renamed", root / "renamed-later");
        dir.Write("added/g000.jpg", Photo());  // not among the folders collected
    });
    observer.AtMaximum();
    const AnalysisResult result = RunOn(root, observer);
    ASSERT_TRUE(observer.Changed());
    ExpectCompleteRun(result);
    EXPECT_EQ(result.FilesFound, 6);
    EXPECT_EQ(result.FilesAnalysed, 6);
    EXPECT_TRUE(Lists(result, root / "keep2/inner/b001.jpg"));
}

TEST(ChangingTree, FilesDeletedOrReplacedAfterTheirFolderWasListed) {
    constexpr int kFiles = 80;
    TempDir dir;
    for (int i = 0; i < kFiles; ++i) dir.Write(Numbered("p", i), Photo());
    // After the first file: of the odd-numbered files, some go, some become FIFOs (a reader
    // that opened one would wait for ever), some become folders, some are cut to nothing.
    ChangeOnce observer([&] {
        for (int i = 1; i < kFiles; i += 2) {
            const fs::path file = dir.path() / Numbered("p", i);
            fs::remove(file);
            switch (i % 8) {
                case 3:
                    ::mkfifo(file.c_str(), 0600);
                    break;
                case 5:
                    fs::create_directory(file);
                    break;
                case 7:
                    dir.Write(file.filename().string(), {});
                    break;
                default:
                    break;
            }
        }
    });
    observer.AtPosition(1);
    AnalysisSettings settings;
    settings.IncludeSubfolders = false;
    const AnalysisResult result = RunWatched(dir.path(), observer, settings);
    ASSERT_TRUE(observer.Changed());
    ExpectCompleteRun(result);
    EXPECT_EQ(result.FilesFound, kFiles);  // listed before the change
    // Files read ahead of the change may still count; the untouched ones always do.
    EXPECT_GE(result.FilesAnalysed, kFiles / 2);
    for (int i = 0; i < kFiles; i += 2) EXPECT_TRUE(Lists(result, dir.path() / Numbered("p", i))) << i;
}

TEST(ChangingTree, FoldersRemovedWhileEarlierOnesAreRead) {
    constexpr int kFolders = 8;
    constexpr int kPerFolder = 30;
    TempDir dir;
    for (int f = 0; f < kFolders; ++f) {
        for (int i = 0; i < kPerFolder; ++i) dir.Write(Numbered("f", f) + "/" + Numbered("p", i), Photo());
    }
    std::vector<std::string> folders;
    library::CollectFolders(dir.path().string(), folders);
    ASSERT_EQ(folders.size(), static_cast<std::size_t>(kFolders + 1));
    // The root (no photos) and the first subfolder are done; the next one is kept, the
    // rest go, whether or not the run has looked into them yet.
    ChangeOnce observer([&] {
        for (std::size_t f = 3; f < folders.size(); ++f) fs::remove_all(folders[f]);
    });
    observer.AtPosition(2);
    const AnalysisResult result = RunOn(dir.path(), observer);
    ASSERT_TRUE(observer.Changed());
    ExpectCompleteRun(result);
    EXPECT_GE(result.FilesFound, 2 * kPerFolder);
    // The folders are named like photos: the root's listing counts them as found files.
    EXPECT_LE(result.FilesFound, kFolders * kPerFolder + kFolders);
    EXPECT_GE(result.FilesAnalysed, 2 * kPerFolder);
    for (std::size_t f = 1; f < 3; ++f) {
        for (int i = 0; i < kPerFolder; ++i) EXPECT_TRUE(Lists(result, fs::path(folders[f]) / Numbered("p", i)));
    }
}

}  // namespace
}  // namespace quorvela::hostile
