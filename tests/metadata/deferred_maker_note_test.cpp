// A reading that defers the maker note and decodes it afterwards must leave the directory
// exactly as a reading that decodes it in the walk: the same entries in the same order, so
// every look-up by name answers the same.

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "metadata/img_data.h"
#include "metadata/maker_note.h"
#include "support/test_files.h"

namespace quorvela::metadata {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Photos() {
    std::vector<fs::path> files;
    for (const fs::path& folder : {testing::CorpusDir(), fs::path(QUORVELA_FUZZ_REGRESSIONS)}) {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            if (entry.path().extension() == ".jpg") files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

void ExpectSameDirectory(const TImageInfo& a, const TImageInfo& b, const std::string& name) {
    ASSERT_EQ(a.Tags.size(), b.Tags.size()) << name;
    for (std::size_t i = 0; i < a.Tags.size(); ++i) {
        EXPECT_EQ(a.Tags[i].TagName.view(), b.Tags[i].TagName.view()) << name << " entry " << i;
        EXPECT_EQ(a.Tags[i].Group, b.Tags[i].Group) << name << " entry " << i;
        EXPECT_EQ(a.TagTextByName(a.Tags[i].TagName.view()), b.TagTextByName(b.Tags[i].TagName.view())) << name;
    }
    EXPECT_EQ(a.MakerNoteDecoded, b.MakerNoteDecoded) << name;
}

TEST(DeferredMakerNote, DecodedAfterwardsEqualsDecodedInTheWalk) {
    QUORVELA_REQUIRE_CORPUS();
    TimgData eager(true, '.');
    TimgData deferred(true, '.');
    eager.RenderOnDemand = deferred.RenderOnDemand = true;
    deferred.DeferMakerNote = true;
    int pendingNotes = 0;
    for (const fs::path& file : Photos()) {
        eager.ReadJpegFile(file.string());
        deferred.ReadJpegFile(file.string());
        ASSERT_EQ(eager.ExifDirectory == nullptr, deferred.ExifDirectory == nullptr) << file;
        if (eager.ExifDirectory == nullptr) continue;
        TImageInfo& lazy = *deferred.ExifDirectory;
        if (lazy.MakerNotePending()) {
            ++pendingNotes;
            // Nothing of the note is there before it is decoded.
            for (const TTagEntry& tag : lazy.Tags) EXPECT_EQ(tag.Group, 0) << file;
        }
        lazy.DecodeMakerNote();
        EXPECT_FALSE(lazy.MakerNotePending());
        ExpectSameDirectory(*eager.ExifDirectory, lazy, file.filename().string());
    }
    EXPECT_GT(pendingNotes, 20);
}

// A name a maker note may hold is looked up only after the note is decoded when the walk
// found it behind the note or not at all.
TEST(DeferredMakerNote, LookupDecodesOnlyForNamesTheNoteMayHold) {
    EXPECT_TRUE(MakerNoteMayName("FocalLength"));      // Casio
    EXPECT_TRUE(MakerNoteMayName("noise reduction"));  // a Canon custom function, any case
    EXPECT_FALSE(MakerNoteMayName("FNumber"));
    EXPECT_FALSE(MakerNoteMayName("ISOSpeedRatings"));

    QUORVELA_REQUIRE_CORPUS();
    TimgData reader(true, '.');
    reader.DeferMakerNote = true;
    reader.ReadJpegFile((testing::CorpusDir() / "canon_eos20d_01.jpg").string());
    ASSERT_NE(reader.ExifDirectory, nullptr);
    TImageInfo& exif = *reader.ExifDirectory;
    ASSERT_TRUE(exif.MakerNotePending());
    exif.PrepareLookup("FNumber");
    EXPECT_TRUE(exif.MakerNotePending());
    exif.PrepareLookup("MACRO MODE");  // a Canon camera-settings item, not in the walk
    EXPECT_FALSE(exif.MakerNotePending());
}

// A reader makes each file's directory anew from the last one's, keeping its room: nothing of
// the last file may stay. Read in turn by one reader, every photo (JPEGs, then raw and HEIF
// files, whose directories are built from pieces) gives what a new reader gives.
TEST(ReusedReader, ReadsEachPhotoAsANewReader) {
    QUORVELA_REQUIRE_CORPUS();
    std::vector<fs::path> files = Photos();
    for (const auto& entry : fs::directory_iterator(QUORVELA_FORMATS_DIR)) {
        if (entry.path().extension() != ".json" && entry.path().extension() != ".md") files.push_back(entry.path());
    }
    TimgData reused(true, '.');
    int directories = 0;
    for (const fs::path& file : files) {
        TimgData fresh(true, '.');
        EXPECT_EQ(reused.ReadJpegFile(file.string()), fresh.ReadJpegFile(file.string())) << file;
        EXPECT_EQ(reused.StatusText, fresh.StatusText) << file;
        ASSERT_EQ(reused.ExifDirectory == nullptr, fresh.ExifDirectory == nullptr) << file;
        if (fresh.ExifDirectory == nullptr) continue;
        ++directories;
        const TImageInfo& a = *reused.ExifDirectory;
        const TImageInfo& b = *fresh.ExifDirectory;
        ExpectSameDirectory(a, b, file.filename().string());
        for (std::size_t i = 0; i < std::min(a.Tags.size(), b.Tags.size()); ++i) {
            EXPECT_EQ(a.Tags[i].RawBytes, b.Tags[i].RawBytes) << file << " entry " << i;
        }
        EXPECT_EQ(a.Block, b.Block) << file;
        EXPECT_EQ(a.MakerNoteBytes, b.MakerNoteBytes) << file;
        EXPECT_EQ(std::tie(a.MakeText, a.ModelText, a.VersionText, a.PixelWidth, a.PixelHeight, a.BigEndian),
                  std::tie(b.MakeText, b.ModelText, b.VersionText, b.PixelWidth, b.PixelHeight, b.BigEndian))
            << file;
    }
    EXPECT_GT(directories, 120);
}

}  // namespace
}  // namespace quorvela::metadata
