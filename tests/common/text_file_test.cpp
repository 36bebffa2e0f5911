#include "common/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "support/test_files.h"

namespace quorvela::common {
namespace {

TEST(TextFile, ReadsLfAndCrLfAndWritesCrLf) {
    testing::TempDir dir;
    const auto file = dir.path() / "t.txt";
    {
        std::ofstream out(file, std::ios::binary);
        out << "a\r\nb\n\r\nc";
    }
    EXPECT_EQ(ReadTextLines(file), (std::vector<std::string>{"a", "b", "", "c"}));
    WriteTextLines(file, {"x", "y"});
    const auto bytes = testing::ReadFileBytes(file);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "x\r\ny\r\n");
    // Nothing but the target is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(TextFile, FailedWriteLeavesTheTargetAndNoTemporaryFile) {
    testing::TempDir dir;
    const auto missing = dir.path() / "no_such_folder" / "t.txt";
    EXPECT_THROW(WriteTextLines(missing, {"x"}), std::runtime_error);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 0);
}

TEST(TextFile, WrittenFileHasTheUsualPermissionsNotThoseOfTheTemporaryFile) {
    testing::TempDir dir;
    const auto file = dir.path() / "t.txt";
    const mode_t previous = ::umask(022);
    WriteFileAtomically(file, "x");
    ::umask(previous);
    EXPECT_EQ(std::filesystem::status(file).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read | std::filesystem::perms::others_read);
}

}  // namespace
}  // namespace quorvela::common
