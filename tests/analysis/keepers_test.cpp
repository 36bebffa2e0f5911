// Ratings, labels and editors' lenses from sidecars, embedded XMP and EXIF, against the truth
// of the XMP corpus (../shared/corpus-xmp/truth.json): the precedence of the sidecars, the
// rating tally and the filters, and a sidecar's edit seen by a run with the cache on.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "analysis/analysis_run.h"
#include "common/ascii.h"
#include "library/folder_walk.h"
#include "library/photo_facts.h"
#include "library/photo_lens.h"
#include "metadata/img_data.h"
#include "support/test_files.h"

namespace quorvela::analysis {
namespace {

namespace fs = std::filesystem;

fs::path XmpCorpus() {
    return testing::CorpusDir().parent_path() / "corpus-xmp";
}

nlohmann::json XmpTruth() {
    std::ifstream in(XmpCorpus() / "truth.json");
    return nlohmann::json::parse(in, nullptr, false);
}

std::string FileName(const std::string& path) {
    return fs::path(path).filename().string();
}

AnalysisResult RunOn(const fs::path& folder, FilterFields filter = {}, bool filterOn = false,
                     const fs::path& cache = {}) {
    AnalysisSettings settings;
    settings.RootFolder = folder.string();
    settings.FilterOn = filterOn;
    settings.Filter = std::move(filter);
    RunEnvironment environment;
    environment.CacheFile = cache;
    AnalysisObserver observer;
    return StartAnalyzing(settings, environment, observer);
}

std::map<std::string, int> Tally(const AnalysisResult& result) {
    std::map<std::string, int> counts;
    for (const CategoryCount& row : result.Tables[Quantity::Rating]) counts[row.Category] = row.Count;
    return counts;
}

std::string Category(int rating) {
    return rating < 0 ? "rejected" : rating == 0 ? "unrated" : std::to_string(rating);
}

TEST(Keepers, EachPhotoOfTheXmpCorpusAsItsTruthSays) {
    const nlohmann::json truth = XmpTruth();
    if (truth.is_discarded()) GTEST_SKIP() << "no XMP corpus at " << XmpCorpus();
    metadata::TimgData reader;
    metadata::TimgData exifOnly;
    int compared = 0;
    for (const library::PhotoPath& photo : library::FolderPhotos(XmpCorpus().string(), true, nullptr)) {
        const std::string name = FileName(photo.Path);
        ASSERT_TRUE(truth.contains(name)) << name << " is listed but has no truth";
        const nlohmann::json& expected = truth[name];
        SCOPED_TRACE(name);
        std::vector<std::string> sidecars;
        for (const std::string& sidecar : photo.Sidecars) sidecars.push_back(FileName(sidecar));
        EXPECT_EQ(sidecars, expected["sidecars"].get<std::vector<std::string>>());
        const library::PhotoFacts facts = library::ReadFacts(photo.Path, true, false, reader, photo.Sidecars);
        EXPECT_EQ(facts.Rating, expected["rating"].get<int>());
        EXPECT_EQ(facts.Label, expected["label"].get<std::string>());
        // An editor's lens counts where the camera wrote no LensModel.
        exifOnly.ReadJpegFile(photo.Path);
        const std::string xmpLens(common::Trim(expected["xmpLens"].get<std::string>()));
        if (!xmpLens.empty() && library::FindLens(exifOnly).Source != library::LensSource::LensModel) {
            EXPECT_EQ(facts.Lens, xmpLens);
        }
        ++compared;
    }
    EXPECT_EQ(compared, static_cast<int>(truth.size()));
}

TEST(Keepers, TheTallyAndTheRatingAndLabelFilters) {
    const nlohmann::json truth = XmpTruth();
    if (truth.is_discarded()) GTEST_SKIP() << "no XMP corpus at " << XmpCorpus();
    struct Case {
        const char* name;
        FilterFields filter;
        bool (*keeps)(int rating, const std::string& label);
    };
    const Case cases[] = {
        {"no filter", {}, [](int, const std::string&) { return true; }},
        {"at least 4 stars", {.MinRating = 4}, [](int rating, const std::string&) { return rating >= 4; }},
        {"no rejected", {.NoRejected = true}, [](int rating, const std::string&) { return rating != -1; }},
        {"label select",
         {.Label = "select"},
         [](int, const std::string& label) { return common::UpperAscii(label).find("SELECT") != std::string::npos; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::map<std::string, int> expected;
        for (const auto& [name, photo] : truth.items()) {
            if (c.keeps(photo["rating"].get<int>(), photo["label"].get<std::string>())) {
                ++expected[Category(photo["rating"].get<int>())];
            }
        }
        EXPECT_EQ(Tally(RunOn(XmpCorpus(), c.filter,
                              c.filter.MinRating != 0 || c.filter.NoRejected || !c.filter.Label.empty())),
                  expected);
    }
}

TEST(Keepers, ASidecarAddedEditedOrDeletedIsSeenWithTheCacheOn) {
    const fs::path photo = XmpCorpus() / "img_004.jpg";  // no XMP of its own, no EXIF rating
    if (!fs::exists(photo)) GTEST_SKIP() << "no XMP corpus at " << XmpCorpus();
    const testing::TempDir dir;
    const fs::path folder = dir.path() / "photos";
    fs::create_directories(folder);
    fs::copy_file(photo, folder / "img_004.jpg");
    const fs::path cache = dir.path() / "photos.db";
    const auto sidecar = [&](const char* rating) {
        std::ofstream(folder / "img_004.jpg.XMP")
            << "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF "
               "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
               "<rdf:Description xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" xmp:Rating=\""
            << rating << "\"/></rdf:RDF></x:xmpmeta>";
    };
    const auto rating = [&] {
        const auto table = RunOn(folder, {}, false, cache).Tables[Quantity::Rating];
        return table.size() == 1 ? table.front().Category : std::string("several");
    };
    EXPECT_EQ(rating(), "unrated");
    sidecar("2");
    EXPECT_EQ(rating(), "2") << "added";
    sidecar("5");
    EXPECT_EQ(rating(), "5") << "edited, the same size";
    sidecar("-1.0");
    EXPECT_EQ(rating(), "rejected") << "edited";
    fs::remove(folder / "img_004.jpg.XMP");
    EXPECT_EQ(rating(), "unrated") << "deleted";
}

TEST(Keepers, SidecarsThatCannotBeReadAreSaidAndPassedOver) {
    const fs::path photo = XmpCorpus() / "img_005.jpg";  // 4 stars in its own XMP
    if (!fs::exists(photo)) GTEST_SKIP() << "no XMP corpus at " << XmpCorpus();
    const testing::TempDir dir;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) fs::copy_file(photo, dir.path() / name);
    std::ofstream(dir.path() / "a.xmp") << std::string(std::size_t{4} * 1024 * 1024 + 1, ' ');
    std::ofstream(dir.path() / "b.jpg.xmp") << "<x:xmpmeta><rdf:RDF><xmp:Rating>2";
    fs::create_directory(dir.path() / "c.xmp");  // a folder named as a sidecar is none
    const AnalysisResult result = RunOn(dir.path());
    EXPECT_EQ(Tally(result), (std::map<std::string, int>{{"4", 3}}));
    ASSERT_FALSE(result.Messages.empty());
    EXPECT_TRUE(result.Messages.back().starts_with("2 photos have XMP that was not read")) << result.Messages.back();
    // The first in the run's order of files, which is the folder's listing order.
    const std::string& said = result.Messages.back();
    EXPECT_TRUE(said.find((dir.path() / "a.jpg").string() + ": ") != std::string::npos ||
                said.find((dir.path() / "b.jpg").string() + ": ") != std::string::npos)
        << said;
}

TEST(Keepers, AnEditorsLensKeepsItsLettersBeyondAscii) {
    const fs::path photo = XmpCorpus() / "img_004.jpg";  // no lens of its own
    if (!fs::exists(photo)) GTEST_SKIP() << "no XMP corpus at " << XmpCorpus();
    const testing::TempDir dir;
    fs::copy_file(photo, dir.path() / "a.jpg");
    const std::string lens = "Voigtl\xC3\xA4nder Nokton 40mm F1.4";
    std::ofstream(dir.path() / "a.jpg.xmp")
        << "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
           "<rdf:Description xmlns:aux=\"http://ns.adobe.com/exif/1.0/aux/\" aux:Lens=\""
        << lens << "\"/></rdf:RDF></x:xmpmeta>";
    const AnalysisResult result = RunOn(dir.path());
    ASSERT_EQ(result.Tables[Quantity::Lens].size(), 1U);
    EXPECT_EQ(result.Tables[Quantity::Lens].front().Label, lens);
}

TEST(RatingOf, StarsRejectedOrUnrated) {
    const std::pair<const char*, int> cases[] = {{"-1", -1}, {"0", 0},     {"3", 3},  {"1.0", 1},  {" 4 ", 4},
                                                 {"4.6", 5}, {"-0.6", -1}, {"6", 0},  {"-2", 0},   {"three", 0},
                                                 {"", 0},    {"nan", 0},   {"3x", 0}, {"1e400", 0}};
    for (const auto& [text, rating] : cases) EXPECT_EQ(library::RatingOf(text), rating) << text;
}

}  // namespace
}  // namespace quorvela::analysis
