// Every input that once broke the camera table or settings-file reader stays in a folder of
// its own and is read again on every run, with the shipped and freshly written files.

#include <gtest/gtest.h>

#include <filesystem>

#include "camera_table_one_input.h"
#include "settings/settings_file.h"
#include "settings_one_input.h"
#include "support/test_files.h"

namespace quorvela::fuzz {
namespace {

namespace fs = std::filesystem;

template <class ReadOne>
int ReadKept(const fs::path& folder, ReadOne readOne) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.path().filename() == "README") continue;
        SCOPED_TRACE(entry.path().filename().string());
        readOne(testing::ReadFileBytes(entry.path()));
        ++count;
    }
    return count;
}

TEST(FileFuzzRegressions, CameraTableInputsReadCleanly) {
    const int kept = ReadKept(QUORVELA_FUZZ_DIR "/camera_table_regressions", ReadOneCameraTable);
    // The shipped table is the fuzzer's seed: its entries must pass the same checks.
    ReadOneCameraTable(testing::ReadFileBytes(QUORVELA_SOURCE_DIR "/data/cam_equiv.exp"));
    EXPECT_GT(kept, 0) << "no kept inputs";  // an empty folder would test nothing
}

TEST(FileFuzzRegressions, SettingsInputsReadAndWriteBackCleanly) {
    const int kept = ReadKept(QUORVELA_FUZZ_DIR "/settings_regressions", ReadOneSettingsFile);
    // A file as the program writes it, and none at all.
    testing::TempDir dir;
    settings::WriteIniFile(dir.path() / "vintrop.ini", {});
    ReadOneSettingsFile(testing::ReadFileBytes(dir.path() / "vintrop.ini"));
    ReadOneSettingsFile({});
    EXPECT_GT(kept, 0) << "no kept inputs";  // an empty folder would test nothing
}

}  // namespace
}  // namespace quorvela::fuzz
