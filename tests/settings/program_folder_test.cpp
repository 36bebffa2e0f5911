#include "settings/program_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "support/test_files.h"

namespace quorvela::settings {
namespace {

namespace fs = std::filesystem;

class ConfigHome {
  public:
    explicit ConfigHome(const fs::path& folder) {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) old_ = old;
        ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    }
    ~ConfigHome() {
        if (old_.empty()) {
            ::unsetenv("XDG_CONFIG_HOME");
        } else {
            ::setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
        }
    }

  private:
    std::string old_;
};

TEST(InstallPaths, ABuildFolderKeepsEverythingBesideTheProgram) {
    const testing::TempDir dir;
    const fs::path bin = dir.path() / "bin";
    fs::create_directories(bin / "demo");
    dir.Write("bin/cam_equiv.exp", {';'});
    // Even with an installed layout next to it, the copy beside the program decides.
    fs::create_directories(dir.path() / "share/quorvela");
    dir.Write("share/quorvela/cam_equiv.exp", {';'});
    EXPECT_TRUE(InstalledDataFolder(bin).empty());
    EXPECT_EQ(ProgramFolderFor(bin), bin);
    EXPECT_EQ(SeedFileFor(bin), bin / "cam_equiv.exp");
    EXPECT_EQ(DemoFolderFor(bin), bin / "demo");
}

TEST(InstallPaths, AnInstalledProgramWritesToThePerUserFolderAndReadsItsData) {
    const testing::TempDir dir;
    const fs::path bin = dir.path() / "usr/bin";
    fs::create_directories(bin);
    fs::create_directories(dir.path() / "usr/share/quorvela/demo");
    dir.Write("usr/share/quorvela/cam_equiv.exp", {';'});
    const ConfigHome home(dir.path() / "config");
    EXPECT_EQ(InstalledDataFolder(bin), dir.path() / "usr/share/quorvela");
    EXPECT_EQ(ProgramFolderFor(bin), dir.path() / "config/quorvela");
    EXPECT_TRUE(fs::is_directory(dir.path() / "config/quorvela"));
    EXPECT_EQ(SeedFileFor(bin), dir.path() / "usr/share/quorvela/cam_equiv.exp");
    EXPECT_EQ(DemoFolderFor(bin), dir.path() / "usr/share/quorvela/demo");
}

TEST(InstallPaths, NoDemoFolderAnywhere) {
    const testing::TempDir dir;
    EXPECT_TRUE(DemoFolderFor(dir.path()).empty());
    EXPECT_EQ(ProgramFolderFor(dir.path()), dir.path());
}

}  // namespace
}  // namespace quorvela::settings
