// The lens text of every corpus photo against exiftool's reading of the same tags
// (data/lens_truth.tsv, written by tools/make_lens_truth.sh).

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "analysis/lens_and_date.h"
#include "common/code_page.h"
#include "metadata/img_data.h"
#include "support/test_files.h"

namespace quorvela::analysis {
namespace {

namespace fs = std::filesystem;

struct TruthRow {
    std::string Exiftool;
    std::string Engine;  // when it differs from exiftool, with a reason in the table
};

std::map<std::string, TruthRow> LensTruth() {
    std::map<std::string, TruthRow> rows;
    std::ifstream in(fs::path(QUORVELA_SOURCE_DIR) / "tests/analysis/data/lens_truth.tsv");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
        fields.resize(4);
        rows[fields[0]] = {fields[1], fields[2]};
    }
    return rows;
}

TEST(LensTruth, EveryCorpusPhotoAsExiftoolReadsIt) {
    QUORVELA_REQUIRE_CORPUS();
    const auto truth = LensTruth();
    ASSERT_GT(truth.size(), 150U);
    metadata::TimgData reader;
    reader.CollectTags = true;
    std::map<LensSource, int> sources;
    int compared = 0;
    for (const fs::path& folder : {testing::CorpusDir(), testing::CorpusDir().parent_path() / "corpus-formats"}) {
        for (const auto& [name, row] : truth) {
            const fs::path path = folder / name;
            if (!fs::exists(path)) continue;
            reader.ReadJpegFile(path.string());
            // A format the reader does not read yet has nothing to compare.
            if (path.extension() != ".jpg" && !reader.HasExifBlock()) continue;
            const LensFinding lens = FindLens(reader);
            EXPECT_EQ(common::Cp1252ToUtf8(lens.Text), row.Engine.empty() ? row.Exiftool : row.Engine) << name;
            ++sources[lens.Source];
            ++compared;
        }
    }
    EXPECT_GE(compared, 132);
    // Every source is met at least once in the corpus.
    EXPECT_GT(sources[LensSource::LensModel], 0);
    EXPECT_GT(sources[LensSource::CanonNote], 0);
    EXPECT_GT(sources[LensSource::NikonNote], 0);
    for (const auto& [source, count] : sources) {
        std::cout << "lens source " << static_cast<int>(source) << ": " << count << " photos\n";
    }
}

}  // namespace
}  // namespace quorvela::analysis
