// The 35mm equivalent every corpus photo is charted at, against what is known for certain of
// it (data/equivalent_truth.tsv, written by tools/make_equivalent_truth.sh): the photo's own
// stored value, else its focal length times exiftool's scale factor where lensfun's camera
// list gives the same factor.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "analysis/file_result.h"
#include "common/text_file.h"
#include "equivalence/camera_database.h"
#include "library/photo_facts.h"
#include "metadata/img_data.h"
#include "support/test_files.h"

namespace quorvela::analysis {
namespace {

namespace fs = std::filesystem;

struct Truth {
    std::string Name, Make, Model;
    double Focal = 0.0, Stored35 = 0.0, Scale = 0.0;
};

std::vector<Truth> ReadTruth() {
    std::ifstream in(fs::path(QUORVELA_SOURCE_DIR) / "tests/analysis/data/equivalent_truth.tsv");
    std::vector<Truth> rows;
    const auto number = [](const std::string& text) { return text == "-" ? 0.0 : std::atof(text.c_str()); };
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) f.push_back(field);
        f.resize(6);
        rows.push_back(
            {f[0], f[1] == "-" ? "" : f[1], f[2] == "-" ? "" : f[2], number(f[3]), number(f[4]), number(f[5])});
    }
    return rows;
}

TEST(EquivalentTruth, NinetyNinePercentOfKnownPhotosChartedRight) {
    QUORVELA_REQUIRE_CORPUS();
    // The photos are charted as a first run charts them: with the shipped camera table.
    equivalence::EquivalentList table;
    equivalence::AppendEquivalentEntries(common::ReadTextLines(fs::path(QUORVELA_SOURCE_DIR) / "data/cam_equiv.exp"),
                                         table);
    const AnalysisSettings settings;
    metadata::TimgData reader(true, '.');
    const auto& database = equivalence::CameraDatabase::Shared();
    const equivalence::RememberedCameras cameras;
    int known = 0;
    int right = 0;
    int unread = 0;
    for (const Truth& photo : ReadTruth()) {
        for (const fs::path& folder : {testing::CorpusDir(), testing::CorpusDir().parent_path() / "corpus-formats"}) {
            const fs::path path = folder / photo.Name;
            if (!fs::exists(path) || !(photo.Focal > 0.0)) continue;
            const library::PhotoFacts facts = library::ReadFacts(path.string(), true, false, reader);
            // A container the reader does not read yet (Canon's CRW) has nothing to compare.
            if (!facts.HasExif && path.extension() != ".jpg") {
                ++unread;
                continue;
            }
            double expected = photo.Stored35;
            if (!(expected > 0.0) && photo.Scale > 0.0) {
                const auto crop = database.CropFactor(photo.Make, photo.Model, facts.Aspect, 0.0);
                if (crop && std::fabs(*crop - photo.Scale) <= 0.03 * std::max(*crop, photo.Scale)) {
                    expected = photo.Focal * photo.Scale;
                }
            }
            if (!(expected > 0.0)) continue;
            ++known;
            const FileResult result =
                DeriveResult(facts, path.string(), settings, {table, cameras, NoLensCatalogue(), '.'});
            const bool close = std::fabs(static_cast<double>(result.FocalMm) - expected) <=
                               std::max(1.0, 0.03 * expected) + 0.5;  // charted in whole millimetres
            if (close) ++right;
            EXPECT_TRUE(close) << photo.Name << ": charted " << result.FocalMm << " mm, right " << expected;
        }
    }
    EXPECT_GE(known, 70);
    EXPECT_LE(unread, 1);
    EXPECT_GE(right * 100, known * 99) << right << " of " << known;
}

}  // namespace
}  // namespace quorvela::analysis
