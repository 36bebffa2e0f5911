// A run reads each photo its own way: one reader for all photos, only the entries its facts
// look up, the maker note undecoded unless needed, no IPTC records. Its facts must be those of
// a full reading of each photo by a new reader.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "library/photo_facts.h"
#include "metadata/img_data.h"
#include "support/test_files.h"

namespace quorvela::library {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> FilesOf(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string ext = entry.path().extension().string();
        if (entry.is_regular_file() && ext != ".json" && ext != ".md" &&
            !entry.path().filename().string().starts_with("README"))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

struct Folder {
    const char* what;
    fs::path path;
    std::size_t atLeast;  // files in it
};

TEST(RunReading, FactsEqualThoseOfAFullReadingByANewReader) {
    QUORVELA_REQUIRE_CORPUS();
    const Folder folders[] = {
        {"the photo corpus", testing::CorpusDir(), 130},
        {"the raw, HEIF and AVIF corpus", testing::CorpusDir().parent_path() / "corpus-formats", 20},
        {"the kept fuzz inputs", fs::path(QUORVELA_SOURCE_DIR) / "tests/fuzz/regressions", 20},
    };
    for (const bool withPairs : {false, true}) {
        metadata::TimgData run(true, '.');  // one reader for every photo, as a run's thread
        for (const Folder& folder : folders) {
            SCOPED_TRACE(folder.what);
            const std::vector<fs::path> files = FilesOf(folder.path);
            EXPECT_GE(files.size(), folder.atLeast);
            for (const fs::path& file : files) {
                metadata::TimgData full(true, '.');
                full.ReadJpegFile(file.string());
                const PhotoFacts expected = FactsOf(full, withPairs);
                EXPECT_EQ(ReadFacts(file.string(), true, withPairs, run), expected)
                    << file.filename() << (withPairs ? " with pairs" : "");
            }
        }
    }
}

}  // namespace
}  // namespace quorvela::library
