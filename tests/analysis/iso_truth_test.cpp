// The ISO of every corpus photo against exiftool's (data/iso_truth.tsv, written by
// tools/make_iso_truth.sh): the photo's ISO as a run counts it, and the maker note's alone.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

#include "analysis/analysis_settings.h"
#include "analysis/file_result.h"
#include "common/ascii.h"
#include "metadata/image_info.h"
#include "metadata/img_data.h"
#include "photo.h"
#include "support/test_files.h"

namespace quorvela::analysis {
namespace {

namespace fs = std::filesystem;

struct IsoTruth {
    fs::path Path;
    std::optional<std::int64_t> Photo;      // exiftool's ISO of the photo
    std::optional<std::int64_t> MakerNote;  // exiftool's ISO of the maker note alone
    std::optional<std::int64_t> OurNote;    // where the engine's maker-note ISO differs
    bool NoteDiffers = false;
};

// A number above 0, or none ("-", "0", "Hi 0.3").
std::optional<std::int64_t> IsoNumber(const std::string& text) {
    const auto number = common::ParseInteger(text);
    return number && *number > 0 ? number : std::nullopt;
}

std::vector<IsoTruth> ReadTruth() {
    std::ifstream in(fs::path(QUORVELA_SOURCE_DIR) / "tests/analysis/data/iso_truth.tsv");
    std::vector<IsoTruth> truth;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
        fields.resize(5);  // name, photo ISO, maker-note ISO, the engine's where it differs, reason
        for (const fs::path& folder : {testing::CorpusDir(), testing::CorpusDir().parent_path() / "corpus-formats"}) {
            if (!fs::exists(folder / fields[0])) continue;
            truth.push_back({folder / fields[0], IsoNumber(fields[1]), IsoNumber(fields[2]), IsoNumber(fields[3]),
                             !fields[4].empty()});
        }
    }
    return truth;
}

TEST(IsoTruth, RunsCountTheIsoExiftoolGivesThePhoto) {
    QUORVELA_REQUIRE_CORPUS();
    const AnalysisSettings settings;
    metadata::TimgData reader;
    std::map<fs::path, std::pair<int, int>> perFolder;  // agreeing, compared
    std::string disagreements;
    for (const IsoTruth& photo : ReadTruth()) {
        if (!photo.Photo) continue;
        const FileResult result = test::ReadAndDerive(photo.Path.string(), settings, reader);
        const auto ours = IsoNumber(common::RemoveChar(result.Iso, '_'));
        auto& [agreeing, compared] = perFolder[photo.Path.parent_path().filename()];
        ++compared;
        if (ours == photo.Photo) {
            ++agreeing;
        } else {
            disagreements += " " + photo.Path.filename().string();
        }
    }
    int agreeing = 0;
    int compared = 0;
    for (const auto& [folder, counts] : perFolder) {
        std::printf("[ figures  ] %s: %d of %d photos have exiftool's ISO\n", folder.c_str(), counts.first,
                    counts.second);
        agreeing += counts.first;
        compared += counts.second;
    }
    ASSERT_GE(compared, 110);
    EXPECT_GE(agreeing * 100, compared * 99) << "disagree:" << disagreements;
}

TEST(IsoTruth, EachMakersNoteGivesTheIsoExiftoolReadsFromIt) {
    QUORVELA_REQUIRE_CORPUS();
    int agreeing = 0;
    int compared = 0;
    for (const IsoTruth& photo : ReadTruth()) {
        metadata::TimgData reader;
        reader.ReadJpegFile(photo.Path.string());
        const metadata::TImageInfo* exif = reader.ExifDirectory.get();
        // Only the notes the reader decodes answer; a photo where neither finds an ISO says nothing.
        if (exif == nullptr || !exif->MakerNoteDecoded || (!photo.MakerNote && !exif->MakerNoteIso)) continue;
        SCOPED_TRACE(photo.Path.filename().string());
        ++compared;
        const std::optional<std::int64_t> ours = exif->MakerNoteIso;
        if (photo.NoteDiffers) {
            EXPECT_EQ(ours, photo.OurNote);
            EXPECT_NE(ours, photo.MakerNote) << "no longer differs";
            continue;
        }
        EXPECT_EQ(ours, photo.MakerNote);
        agreeing += ours == photo.MakerNote;
    }
    std::printf("[ figures  ] maker-note ISO: %d of %d photos agree with exiftool\n", agreeing, compared);
    EXPECT_GE(compared, 40);
}

}  // namespace
}  // namespace quorvela::analysis
