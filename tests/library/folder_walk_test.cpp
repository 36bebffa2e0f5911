// The folder walk: the chosen folder and every folder below it, once each.

#include "library/folder_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "library/folder_warmer.h"
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

// The walk stays in the chosen folder: links out of it and system folders are left out and
// counted; a link inside it is followed once; a folder named like a photo is no photo.
TEST(CollectFolders, StaysInTheChosenFolder) {
    testing::TempDir dir;
    const fs::path chosen = dir.path() / "chosen";
    fs::create_directories(chosen / "inside" / "deeper");
    fs::create_directories(dir.path() / "private");
    dir.Write("private/secret.jpg", std::vector<std::uint8_t>{0xFF, 0xD8});
    dir.Write("chosen/photo.jpg", std::vector<std::uint8_t>{0xFF, 0xD8});
    fs::create_directory_symlink("..", chosen / "up.jpg");                            // the parent: outside
    fs::create_directory_symlink(dir.path() / "private", chosen / "private link");    // outside
    fs::create_directory_symlink("/proc", chosen / "x.jpg");                          // a system folder
    fs::create_directory_symlink(chosen / "inside" / "deeper", chosen / "shortcut");  // inside: once
    fs::create_directories(chosen / "folder.jpg");

    std::vector<std::string> folders;
    int leftOut = 0;
    CollectFolders(chosen.string(), folders, nullptr, nullptr, &leftOut);
    EXPECT_EQ(leftOut, 3);
    std::sort(folders.begin(), folders.end());
    const std::vector<std::string> expected = {chosen.string(), (chosen / "folder.jpg").string(),
                                               (chosen / "inside").string(), (chosen / "inside" / "deeper").string()};
    const bool viaShortcut = std::find(folders.begin(), folders.end(), (chosen / "shortcut").string()) != folders.end();
    EXPECT_EQ(folders.size(), expected.size()) << "the link inside is one way to a folder entered once";
    for (const std::string& folder : expected) {
        const bool found = std::find(folders.begin(), folders.end(), folder) != folders.end();
        EXPECT_TRUE(found || (viaShortcut && folder == (chosen / "inside" / "deeper").string())) << folder;
    }

    // The warmer's listings leave the same out.
    std::vector<std::string> warmed;
    int warmedOut = 0;
    FolderWarmer warmer(chosen.string());
    CollectFolders(chosen.string(), warmed, nullptr, &warmer, &warmedOut);
    EXPECT_EQ(warmedOut, 3);
    EXPECT_EQ(warmed.size(), expected.size());

    std::vector<std::string> photos;
    for (const PhotoPath& photo : FolderPhotos(chosen.string(), true)) photos.push_back(photo.Path);
    EXPECT_EQ(photos, std::vector<std::string>{(chosen / "photo.jpg").string()});
}

}  // namespace
}  // namespace quorvela::library
