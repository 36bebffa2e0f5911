// A run reads each photo its own way: one reader for all photos, only the entries its facts
// look up, the maker note undecoded unless needed, no IPTC records. Its facts must be those of
// a full reading of each photo by a new reader.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string_view>
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
                full.ReadXmp = true;
                full.ReadJpegFile(file.string());
                const PhotoFacts expected = FactsOf(full, withPairs);
                EXPECT_EQ(ReadFacts(file.string(), true, withPairs, run), expected)
                    << file.filename() << (withPairs ? " with pairs" : "");
            }
        }
    }
}

// The hash every corpus photo's encoded facts give, pinned with the facts version it was
// taken under. The photo cache keeps facts by that version: facts that come out differently
// under the same version would be served stale from a cache filled before.
struct PinnedFacts {
    int Version;
    std::uint64_t Hash;
};
constexpr PinnedFacts kPinned{5, 0x1500AA9051830027};

std::uint64_t Fnv1a(std::uint64_t hash, std::string_view bytes) {
    for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
    return hash;
}

TEST(FactsVersion, TheCorpusFactsChangeOnlyWithANewVersion) {
    QUORVELA_REQUIRE_CORPUS();
    std::uint64_t hash = 0xCBF29CE484222325ULL;
    metadata::TimgData reader(true, '.');
    for (const fs::path& folder : {testing::CorpusDir(), testing::CorpusDir().parent_path() / "corpus-formats"}) {
        for (const fs::path& file : FilesOf(folder)) {
            hash = Fnv1a(hash, file.filename().string());
            for (const bool withPairs : {false, true}) {
                hash = Fnv1a(hash, EncodeFacts(ReadFacts(file.string(), true, withPairs, reader)));
            }
        }
    }
    std::ostringstream seen;
    seen << "{" << kFactsVersion << ", 0x" << std::hex << std::uppercase << hash << "}";
    EXPECT_EQ(kPinned.Version, kFactsVersion)
        << "a new facts version: pin the corpus hash it gives, kPinned = " << seen.str();
    if (kPinned.Version == kFactsVersion) {
        EXPECT_EQ(kPinned.Hash, hash) << "the facts of the corpus photos changed: raise kFactsVersion (photo_facts.h) "
                                         "so that the photo cache reads every photo again, then pin "
                                      << seen.str();
    }
}

TEST(IsoDigits, AfterTheFirstCommaOrAllDigits) {
    struct Case {
        const char* text;
        const char* digits;
    };
    const Case cases[] = {
        {"0, 200", "200"}, {"100", "100"},
        {"auto", "0"},     {"0,", "0"},
        {"1, 2, 3", "23"}, {"ISO 64", "64"},
        {"", "0"},         {"ISO2 Speed = 100", "2100"},  // every digit counts, a description's too
    };
    for (const Case& c : cases) EXPECT_EQ(IsoDigits(c.text), c.digits) << c.text;
}

}  // namespace
}  // namespace quorvela::library
