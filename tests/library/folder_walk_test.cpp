// The folder walk: the chosen folder and every folder below it, once each.

#include "library/folder_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_files.h"

namespace quorvela::library {
namespace {

namespace fs = std::filesystem;

TEST(CollectFolders, DepthFirstEachBeforeItsSubfoldersHiddenIncluded) {
    testing::TempDir dir;
    fs::create_directories(dir.path() / "a" / "a1" / "a11");
    fs::create_directories(dir.path() / ".hidden");
    fs::create_directories(dir.path() / "b");
    std::vector<std::string> folders;
    CollectFolders(dir.path().string(), folders);
    ASSERT_EQ(folders.size(), 6U);
    EXPECT_EQ(folders[0], dir.path().string());
    const auto at = [&](const fs::path& p) {
        return std::find(folders.begin(), folders.end(), p.string()) - folders.begin();
    };
    EXPECT_EQ(at(dir.path() / "a" / "a1"), at(dir.path() / "a") + 1);
    EXPECT_EQ(at(dir.path() / "a" / "a1" / "a11"), at(dir.path() / "a") + 2);
    EXPECT_LT(at(dir.path() / ".hidden"), 6);
    EXPECT_LT(at(dir.path() / "b"), 6);
}

TEST(CollectFolders, SymlinkCycleEnds) {
    testing::TempDir dir;
    fs::create_directories(dir.path() / "a" / "b");
    fs::create_directory_symlink(dir.path(), dir.path() / "a" / "b" / "up");
    fs::create_directory_symlink(dir.path() / "a", dir.path() / "a" / "self");
    std::vector<std::string> folders;
    CollectFolders(dir.path().string(), folders);
    EXPECT_EQ(folders.size(), 3U);
}

TEST(CollectFolders, EndsWhenAStopIsAsked) {
    testing::TempDir dir;
    fs::create_directories(dir.path() / "a" / "b");
    const std::atomic<bool> stop{true};
    std::vector<std::string> folders;
    CollectFolders(dir.path().string(), folders, &stop);
    EXPECT_EQ(folders, std::vector<std::string>{dir.path().string()});
}

}  // namespace
}  // namespace quorvela::library
