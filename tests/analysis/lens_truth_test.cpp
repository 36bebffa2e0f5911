// The lens text of every corpus photo against exiftool's reading of the same tags
// (data/lens_truth.tsv, written by tools/make_lens_truth.sh).

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "common/code_page.h"
#include "library/photo_facts.h"
#include "library/photo_lens.h"
#include "metadata/img_data.h"
#include "support/test_files.h"

namespace quorvela::analysis {
namespace {

using library::LensSource;

namespace fs = std::filesystem;

TEST(LensTruth, EveryCorpusPhotoAsExiftoolReadsIt) {
    QUORVELA_REQUIRE_CORPUS();
    std::ifstream in(fs::path(QUORVELA_SOURCE_DIR) / "tests/analysis/data/lens_truth.tsv");
    metadata::TimgData reader;
    metadata::TimgData runReader;
    int compared = 0;
    std::map<fs::path, std::map<LensSource, int>> sources;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
        fields.resize(3);  // name, exiftool's text, the engine's where it differs
        for (const fs::path& folder : {testing::CorpusDir(), testing::CorpusDir().parent_path() / "corpus-formats"}) {
            const fs::path path = folder / fields[0];
            if (!fs::exists(path)) continue;
            reader.ReadJpegFile(path.string());
            // A format the reader does not read yet has nothing to compare.
            if (path.extension() != ".jpg" && !reader.HasExifBlock()) continue;
            const library::LensFinding lens = library::FindLens(reader);
            EXPECT_EQ(common::Cp1252ToUtf8(lens.Text), fields[2].empty() ? fields[1] : fields[2]) << fields[0];
            // A run's reading, which leaves the maker note undecoded, finds the same lens.
            EXPECT_EQ(library::LensOf(library::ReadFacts(path.string(), true, false, runReader)), lens.Text)
                << fields[0];
            ++sources[folder.filename()][lens.Source];
            ++compared;
        }
    }
    EXPECT_GE(compared, 132);
    // Where the corpus photos' lenses come from: two Canon notes (EOS-1D Mark III, 6D), ten Nikon
    // notes, six LensModel tags (two Canons, two iPhones, a Pixel and an X-T3).
    const std::map<LensSource, int> expected = {
        {LensSource::LensModel, 6}, {LensSource::CanonNote, 2}, {LensSource::NikonNote, 10}, {LensSource::None, 114}};
    EXPECT_EQ(sources[testing::CorpusDir().filename()], expected);
}

}  // namespace
}  // namespace quorvela::analysis
