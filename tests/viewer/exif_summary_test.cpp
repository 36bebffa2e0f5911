#include "viewer/exif_summary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "equivalence/equivalent_table.h"
#include "metadata/image_info.h"
#include "metadata/img_data.h"
#include "metadata/tag_names.h"
#include "support/test_files.h"
#include "viewer_photos.h"

namespace quorvela::viewer {
namespace {

using test::PhotoTags;

const equivalence::EquivalentList kG2Table = {"[MAKE]Canon[MODEL]CanonPowerShotG2[REAL_LENS]7[35MM_EQUIVALENT]34.07"};

std::string Summary(const PhotoTags& photo, const equivalence::EquivalentList& table = kG2Table, char separator = '.') {
    const testing::TempDir dir;
    const auto path = dir.path() / "photo.jpg";
    test::WritePhoto(path, photo);
    metadata::TimgData reader(true, separator);
    return GetExifInfStr(reader, path.string(), table);
}

metadata::TTagEntry MakerNoteEntry(std::uint16_t id, const char* description, const char* text) {
    metadata::TTagEntry entry;
    entry.Group = 1;
    entry.TagId = id;
    entry.Description = std::string(description);
    entry.Text = text;
    return entry;
}

TEST(GetIsoFromSpecific, TheFirstMatchingMakerNoteEntryGivesItsValuesDigits) {
    metadata::TImageInfo exif(nullptr, true, '.');
    metadata::TTagEntry main;
    main.TagId = 0x8827;
    main.TagName = metadata::TagText::Static(metadata::tags::ISOSpeedRatings);
    main.Description = std::string("ISO Speed Ratings");  // group 0: not a maker-note entry
    main.Text = "800";
    exif.AppendTag(main);
    EXPECT_EQ(GetIsoFromSpecific(exif), "0");
    exif.AppendTag(MakerNoteEntry(1, "Quality", "FINE"));
    exif.AppendTag(MakerNoteEntry(2, "ISO Speed 2", "0, 200"));
    exif.AppendTag(MakerNoteEntry(3, "CCD ISO", "400"));
    EXPECT_EQ(GetIsoFromSpecific(exif), "200");
    // Asked twice: the search starts over.
    EXPECT_EQ(GetIsoFromSpecific(exif), "200");
}

TEST(GetIsoFromSpecific, KeysInAnyCaseInDescriptionOrValue) {
    metadata::TImageInfo exif(nullptr, true, '.');
    exif.AppendTag(MakerNoteEntry(1, "Ccd Sensitivity", "64"));
    EXPECT_EQ(GetIsoFromSpecific(exif), "64");
    metadata::TImageInfo auto_(nullptr, true, '.');
    auto_.AppendTag(MakerNoteEntry(1, "CCD ISO", "auto"));
    EXPECT_EQ(GetIsoFromSpecific(auto_), "0");
    metadata::TImageInfo inText(nullptr, true, '.');
    inText.AppendTag(MakerNoteEntry(1, "Setting", "ISO speed 100"));
    EXPECT_EQ(GetIsoFromSpecific(inText), "100");
    metadata::TImageInfo numbered(nullptr, true, '.');
    numbered.AppendTag(MakerNoteEntry(1, "ISO Speed 2", "200"));
    EXPECT_EQ(GetIsoFromSpecific(numbered), "200");  // not "2200"
}

TEST(GetExifInfStr, EveryLineInOrder) {
    EXPECT_EQ(Summary({}),
              "Camera: Canon - Canon PowerShot G2\rShutter: 1/250 sec\rAperture: F2.8\rFocal Length:  7.00 mm\r"
              "35mm equivalent: 34.07 mm\rISO: 100");
}

TEST(GetExifInfStr, ExposureTimeShownInItsFriendlyForm) {
    PhotoTags photo;
    photo.ExposureTime = {10, 2500};
    EXPECT_NE(Summary(photo).find("\rShutter: 1/250 sec.\r"), std::string::npos) << Summary(photo);
    photo.ExposureTime = {4, 10};
    EXPECT_NE(Summary(photo).find("\rShutter: 0.4 sec. ~(1/2)\r"), std::string::npos) << Summary(photo);
}

TEST(GetExifInfStr, ShutterSpeedValueWhenThereIsNoExposureTime) {
    PhotoTags photo;
    photo.ExposureTime.reset();
    photo.ShutterSpeedValue = {8, 1};
    const std::string text = Summary(photo);
    EXPECT_NE(text.find("\rShutter: 0.0039 sec (1/256)\r"), std::string::npos) << text;
}

TEST(GetExifInfStr, NoShutterLineWithoutEither) {
    PhotoTags photo;
    photo.ExposureTime.reset();
    EXPECT_EQ(Summary(photo).find("Shutter"), std::string::npos);
}

TEST(GetExifInfStr, TheFilesOwn35mmValueInBracketsAndTheTableNotAsked) {
    PhotoTags photo;
    photo.Focal35 = 35;
    const std::string text = Summary(photo);
    EXPECT_NE(text.find("\r(35mm equivalent = 35.00 mm)\r"), std::string::npos) << text;
    EXPECT_EQ(text.find("35mm equivalent:"), std::string::npos) << text;
}

TEST(GetExifInfStr, AStoredZero35mmValueCountsAsAbsentUnderEitherSeparator) {
    PhotoTags photo;
    photo.Focal35 = 0;
    for (const char separator : {'.', ','}) {
        const std::string text = Summary(photo, kG2Table, separator);
        EXPECT_EQ(text.find("(35mm"), std::string::npos) << text;
        EXPECT_NE(text.find(separator == '.' ? "35mm equivalent: 34.07 mm" : "35mm equivalent: 34,07 mm"),
                  std::string::npos)
            << text;
    }
}

TEST(GetExifInfStr, NoEquivalentLineForAGuessOrWithoutModel) {
    // Without a table entry the camera list knows the G2 (crop factor 4.84); a camera nobody
    // lists would only get the manual factor's guess, which is not shown as the photo's value.
    const std::string listed = Summary({}, {});
    EXPECT_NE(listed.find("35mm equivalent: 33.90 mm\r"), std::string::npos) << listed;
    PhotoTags unknown;
    unknown.Model = "Canon PowerShot G0";
    EXPECT_EQ(Summary(unknown, {}).find("35mm"), std::string::npos);
    PhotoTags noModel;
    noModel.Model.clear();
    const std::string text = Summary(noModel);
    EXPECT_EQ(text.rfind("Camera: Canon - \r", 0), 0U) << text;
    EXPECT_EQ(text.find("35mm"), std::string::npos) << text;
}

TEST(GetExifInfStr, WithoutAnIsoOtherThanZeroTheLastLineIsIsoUnknown) {
    PhotoTags photo;
    photo.Iso.reset();
    EXPECT_TRUE(Summary(photo).ends_with("\rISO: unknown")) << Summary(photo);
    photo.Iso = 0;  // as some cameras store it
    EXPECT_TRUE(Summary(photo).ends_with("\rISO: unknown")) << Summary(photo);
    photo.MakerNote = {'Q', 'V', 'C', 0, 0, 0, 1, 0, 0x14, 0x30, 3, 0, 1, 0, 0, 0, 0, 0, 0, 0};
    photo.Make = "CASIO COMPUTER CO.,LTD";
    photo.Iso.reset();  // a maker note whose ISO field holds 0
    EXPECT_TRUE(Summary(photo).ends_with("\rISO: unknown")) << Summary(photo);
}

TEST(GetExifInfStr, IsoFromANikonMakerNote) {
    PhotoTags photo;
    photo.Make = "NIKON CORPORATION";
    photo.Model = "NIKON D70";
    photo.Iso.reset();
    photo.MakerNote = {'N', 'i', 'k', 'o', 'n', 0, 2, 0x10, 0, 0, 'I', 'I', 42,  0, 8, 0, 0, 0,
                       1,   0,   2,   0,   3,   0, 2, 0,    0, 0, 0,   0,   200, 0, 0, 0, 0, 0};
    const std::string text = Summary(photo);
    EXPECT_EQ(text.substr(text.rfind('\r')), "\rISO: 200") << text;
}

TEST(GetExifInfStr, EmptyForAFileThatCannotBeReadOrHasNoExif) {
    metadata::TimgData reader;
    EXPECT_EQ(GetExifInfStr(reader, "/nonexistent/photo.jpg", {}), "");
    const testing::TempDir dir;
    const auto plain = dir.Write("plain.jpg", {0xFF, 0xD8, 0xFF, 0xD9});
    EXPECT_EQ(GetExifInfStr(reader, plain.string(), {}), "");
}

TEST(GetExifInfStr, CorpusPhotosWithIsoOnlyInTheirMakerNotes) {
    QUORVELA_REQUIRE_CORPUS();
    metadata::TimgData reader;
    const std::string nikon = GetExifInfStr(reader, (testing::CorpusDir() / "nikon_d70_01.jpg").string(), {});
    EXPECT_EQ(nikon.substr(nikon.rfind('\r')), "\rISO: 200") << nikon;
    const std::string canon =
        GetExifInfStr(reader, (testing::CorpusDir() / "canon_powershotg2_01.jpg").string(), kG2Table);
    EXPECT_EQ(canon.substr(canon.rfind('\r')), "\rISO: 50") << canon;
    // Set to Auto: the ISO the camera computed, kept in the shot information.
    const std::string autoIso = GetExifInfStr(reader, (testing::CorpusDir() / "canon_ixus_01.jpg").string(), {});
    EXPECT_EQ(autoIso.substr(autoIso.rfind('\r')), "\rISO: 65") << autoIso;
    EXPECT_NE(canon.find("\rFocal Length: "), std::string::npos) << canon;
}

// Nothing in the summary assumes a JPEG: it gives a HEIC's and a RAF's camera and ISO.
TEST(GetExifInfStr, PhotosOfOtherFormats) {
    const std::filesystem::path formats = QUORVELA_FORMATS_DIR;
    if (!std::filesystem::exists(formats / "truth.json")) GTEST_SKIP() << "corpus of other formats absent";
    for (const auto& [file, camera, iso] : {std::tuple{"heic_03.heic", "NIKON CORPORATION - NIKON D5300", "200"},
                                            std::tuple{"fujifilm_raf_01.raf", "FUJIFILM - FinePix S5Pro", "100"}}) {
        metadata::TimgData reader(true, '.');
        const std::string summary = GetExifInfStr(reader, (formats / file).string(), {});
        EXPECT_TRUE(summary.starts_with(std::string("Camera: ") + camera)) << summary;
        EXPECT_TRUE(summary.ends_with(std::string("\rISO: ") + iso)) << summary;
    }
    metadata::TimgData reader(true, '.');
    EXPECT_EQ(GetExifInfStr(reader, (formats / "heic_02.heic").string(), {}), "");  // a HEIF without EXIF
}

TEST(SummaryForDisplay, EachCrStartsALine) {
    EXPECT_EQ(SummaryForDisplay("a\rb\rc"), "a\nb\nc");
    EXPECT_EQ(SummaryForDisplay(""), "");
}

}  // namespace
}  // namespace quorvela::viewer
