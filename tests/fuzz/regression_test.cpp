// Every input that once broke the reader stays here and is read again on every run.

#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz_one_input.h"
#include "support/test_files.h"

namespace quorvela::fuzz {
namespace {

TEST(FuzzRegressions, EveryKeptInputReadsCleanly) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QUORVELA_FUZZ_REGRESSIONS)) {
        if (!entry.is_regular_file() || entry.path().filename() == "README") continue;
        SCOPED_TRACE(entry.path().filename().string());
        const auto bytes = testing::ReadFileBytes(entry.path());
        ReadOneInput(bytes);
        // Each container walker takes every input too, whatever the file claims to be.
        ReadIsoInput(bytes);
        ReadRafInput(bytes);
        ReadTiffInput(bytes);
        ++count;
    }
    // An empty folder would pass without reading anything.
    EXPECT_GT(count, 0) << "no kept inputs in " << QUORVELA_FUZZ_REGRESSIONS;
}

}  // namespace
}  // namespace quorvela::fuzz
