// The lens of every corpus photo for which exiftool names one, against exiftool's range
// (data/lens_truth.tsv, written by tools/make_lens_truth.py).

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <set>
#include <sstream>

#include "analysis/lens_label.h"
#include "common/code_page.h"
#include "library/photo_facts.h"
#include "library/photo_lens.h"
#include "metadata/img_data.h"
#include "support/test_files.h"

namespace quorvela::analysis {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Folders() {
    return {testing::CorpusDir(), testing::CorpusDir().parent_path() / "corpus-formats"};
}

bool SameLength(double ours, double exiftools) {
    // exiftool rounds the lengths of a few names to whole millimetres.
    return std::fabs(ours - exiftools) <= std::max(0.6, 0.02 * exiftools);
}

TEST(LensTruth, EveryLensExiftoolNamesGetsALabelWithItsRange) {
    QUORVELA_REQUIRE_CORPUS();
    std::ifstream in(fs::path(QUORVELA_SOURCE_DIR) / "tests/analysis/data/lens_truth.tsv");
    metadata::TimgData reader;
    int agreed = 0;
    int known = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
        fields.resize(5);  // name, exiftool's lens, shortest, longest, why the engine differs
        for (const fs::path& folder : Folders()) {
            const fs::path path = folder / fields[0];
            if (!fs::exists(path)) continue;
            const library::PhotoFacts facts = library::ReadFacts(path.string(), true, false, reader);
            const LensLabel lens = LabelLens(facts, LensfunCatalogue());
            EXPECT_TRUE(library::CanNameLens(lens.Text)) << fields[0];
            const bool agrees = lens.Range.Known() && SameLength(lens.Range.MinFocal, std::stod(fields[2])) &&
                                SameLength(lens.Range.MaxFocal, std::stod(fields[3]));
            if (!fields[4].empty()) {
                EXPECT_FALSE(agrees) << fields[0] << " is found now: take it off the list of misses";
                ++known;
                continue;
            }
            EXPECT_TRUE(agrees) << fields[0] << ": " << common::Cp1252ToUtf8(lens.Text) << " against " << fields[1];
            ++agreed;
        }
    }
    EXPECT_EQ(agreed, 45);
    EXPECT_EQ(known, 3);  // two Pentax lens type numbers and an Olympus one
}

TEST(LensTruth, NoTwoLabelsOfTheCorpusNameOneLens) {
    QUORVELA_REQUIRE_CORPUS();
    metadata::TimgData reader;
    std::set<std::string> labels;
    for (const fs::path& folder : Folders()) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string extension = entry.path().extension().string();
            if (extension == ".md" || extension == ".json") continue;
            const library::PhotoFacts facts = library::ReadFacts(entry.path().string(), true, false, reader);
            labels.insert(common::Cp1252ToUtf8(LabelLens(facts, LensfunCatalogue()).Text));
        }
    }
    const auto names = OneNamePerLens({labels.begin(), labels.end()});
    std::set<std::string> counted;
    std::set<std::string> normal;
    for (const std::string& label : labels) {
        const auto renamed = names.find(label);
        const std::string& name = renamed == names.end() ? label : renamed->second;
        if (!counted.insert(name).second) continue;
        std::string key;
        for (const char c : name) {
            if (c != ' ') key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        EXPECT_TRUE(normal.insert(key).second) << name;
        if (StatesOnlyRange(name)) {
            // A range under the camera's maker is a lens nothing could name, never one a name
            // of the corpus already gives with the same numbers.
            const library::LensSpan span = SpanOfName(name);
            for (const std::string& other : labels) {
                const bool named = NamesLens(other) && !StatesOnlyRange(other) && !names.contains(other);
                if (named && span.WideAperture > 0.0 && SpanOfName(other) == span) {
                    ADD_FAILURE() << name << " and " << other << " state the same range and apertures";
                }
            }
        }
    }
}

}  // namespace
}  // namespace quorvela::analysis
