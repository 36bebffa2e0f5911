#include <gtest/gtest.h>

#include "exif_writer.h"
#include "metadata/img_data.h"

namespace quorvela::metadata {
namespace {

using samples::Bytes;
using samples::Ifd;
using samples::Jpeg;
using samples::Tiff;

// Every directory rule holds in both byte orders.
class Directory : public ::testing::TestWithParam<bool> {
  protected:
    bool be() const { return GetParam(); }
    Tiff NewTiff() const { return Tiff(be()); }
    Ifd NewIfd() const { return Ifd(be()); }

    const TImageInfo& ReadTiff(const Tiff& tiff, char sep = '.') {
        reader_ = std::make_unique<TimgData>(true, sep);
        found_ = reader_->ReadJpegBytes("p.jpg", Jpeg().Soi().Exif(tiff).Sos().Build());
        EXPECT_NE(reader_->ExifDirectory, nullptr);
        return *reader_->ExifDirectory;
    }
    std::vector<std::string> Names(const TImageInfo& info) const {
        std::vector<std::string> names;
        for (const auto& t : info.Tags) names.push_back(t.TagName.str());
        return names;
    }

    std::unique_ptr<TimgData> reader_;
    bool found_ = false;
};
INSTANTIATE_TEST_SUITE_P(ByteOrders, Directory, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "MM" : "II"; });

TEST_P(Directory, EntriesAreNamedRenderedAndStoredInOrder) {
    Tiff tiff = NewTiff();
    tiff.ifd0.Ascii(0x010F, "Canon").Short(0x0112, {6}).Rational(0x011A, {{180, 1}});
    const TImageInfo& info = ReadTiff(tiff);
    ASSERT_EQ(info.TagCount(), 3);
    EXPECT_EQ(info.Tags[0].TagName, "Make");
    EXPECT_EQ(info.Tags[0].Text, "Canon");
    EXPECT_EQ(info.Tags[1].Text, "CounterClockwise 90\xB0");
    EXPECT_EQ(info.Tags[1].ValueType, 3);
    EXPECT_EQ(info.Tags[2].Text, "180.00");
    EXPECT_EQ(info.Tags[2].Description, "XResolution");
    EXPECT_EQ(info.Tags[2].ByteLength, 8);
    EXPECT_EQ(info.TagIndexByName("MAKE"), 0);
    EXPECT_EQ(info.TagIndexByName("Model"), -1);
    EXPECT_EQ(info.TagTextByName("Model"), "");
}

TEST_P(Directory, AsciiEndsAtTheFirstZero) {
    Tiff tiff = NewTiff();
    tiff.ifd0.Raw(0x010F, 2, 12, Bytes{'S', 'O', 'N', 'Y', 0, 0, 0, 0, 0, 0, 0, 0})
        .Ascii(0x0110, "Canon DIGITAL IXUS v3\0\0\0\0\0\0\0\0\0\0")
        .Raw(0x0131, 2, 4, Bytes{'a', '\t', 'b', 0});
    const TImageInfo& info = ReadTiff(tiff);
    EXPECT_EQ(info.TagTextByName("Make"), "SONY");
    EXPECT_EQ(info.MakeText, "SONY");
    EXPECT_EQ(info.TagTextByName("Model"), "Canon DIGITAL IXUS v3");
    EXPECT_EQ(info.TagTextByName("Software"), "a.b");  // other control characters show as "."
}

TEST_P(Directory, MakeAndModelShortTextsAreCut) {
    Tiff tiff = NewTiff();
    tiff.ifd0.Ascii(0x010F, std::string(40, 'M')).Ascii(0x0110, std::string(60, 'm'));
    const TImageInfo& info = ReadTiff(tiff);
    EXPECT_EQ(info.MakeText.size(), 32u);
    EXPECT_EQ(info.ModelText.size(), 40u);
    EXPECT_EQ(info.TagTextByName("Model").size(), 50u);
}

TEST_P(Directory, UndefinedValuesAreQuotedUpToTheFirstZero) {
    Tiff tiff = NewTiff();
    tiff.ifd0.Undefined(0x9000, "0220")
        .Undefined(0xA300, std::string("\x03", 1))
        .Undefined(0x9101, std::string("\x01\x02\x03\x00", 4));
    const TImageInfo& info = ReadTiff(tiff);
    EXPECT_EQ(info.TagTextByName("ExifVersion"), "\"0220\"");
    EXPECT_EQ(info.VersionText, "0220");
    EXPECT_EQ(info.TagTextByName("FileSource"), "\".\"");  // UNDEFINED never reaches the code list
    EXPECT_EQ(info.TagTextByName("ComponentsConfiguration"), "YCbCr");
}

TEST_P(Directory, UserCommentDropsItsCodePrefixAndLastByte) {
    Tiff tiff = NewTiff();
    tiff.ifd0.Undefined(0x9286, std::string("ASCII\0\0\0  Hello world \0", 23));
    EXPECT_EQ(ReadTiff(tiff).TagTextByName("UserComment"), "Hello world");
}

TEST_P(Directory, SubDirectoriesComeBeforeTheirLink) {
    Tiff tiff = NewTiff();
    Ifd exif = NewIfd();
    exif.Rational(0x829A, {{10, 2500}}).Rational(0x920A, {{63, 10}});
    Ifd gps = NewIfd();
    gps.Byte(0x0000, {2, 2, 0, 0}).Ascii(0x0001, "N").Rational(0x0002, {{52, 1}, {2283, 100}, {0, 1}});
    tiff.ifd0.Ascii(0x010F, "X").Link(0x8769, exif).Link(0x8825, gps).Short(0x0112, {1});
    const TImageInfo& info = ReadTiff(tiff);
    const std::vector<std::string> expected = {"Make",           "ExposureTime", "FocalLength", "ExifOffset",
                                               "GPSLatitudeRef", "GPSLatitude",  "GPSInfo",     "Orientation"};
    EXPECT_EQ(Names(info), expected);  // GPSVersionID (tag 0) is never stored
    EXPECT_EQ(info.TagTextByName("ExposureTime"), "10/2500 sec");
    EXPECT_EQ(info.TagTextByName("GPSLatitude"), "52 Degrees 22 Minutes 50 Seconds");
}

TEST_P(Directory, ALinkBackToIfd0IsNotFollowed) {
    Tiff tiff = NewTiff();
    tiff.ifd0.Ascii(0x010F, "Loop").LinkTo(0x8769, 8).LinkTo(0xA005, 8);
    const TImageInfo& info = ReadTiff(tiff);
    EXPECT_EQ(info.TagCount(), 3);
    EXPECT_TRUE(found_);
}

TEST_P(Directory, DeepChainsOfDirectoriesStop) {
    Ifd inner = NewIfd();
    inner.Ascii(0x0131, "deepest");
    for (int i = 0; i < 40; ++i) {
        Ifd outer = NewIfd();
        outer.Link(0x8769, inner);
        inner = outer;
    }
    Tiff tiff = NewTiff();
    tiff.ifd0 = inner;
    const TImageInfo& info = ReadTiff(tiff);
    EXPECT_EQ(info.TagIndexByName("Software"), -1);
    EXPECT_GT(info.TagCount(), 10);
}

TEST_P(Directory, UnknownTagsAreSkippedAndTheWalkGoesOn) {
    Tiff tiff = NewTiff();
    tiff.ifd0.Short(0xC4A5, {1}).Ascii(0x0110, "M");
    const TImageInfo& info = ReadTiff(tiff);
    EXPECT_EQ(Names(info), std::vector<std::string>{"Model"});
}

TEST_P(Directory, EmptyValuesAreNotStored) {
    Tiff tiff = NewTiff();
    tiff.ifd0.Raw(0x829A, 5, 0, {}).Raw(0x010F, 0, 4, Bytes{1, 2, 3, 4}).Ascii(0x0110, "M");
    EXPECT_EQ(Names(ReadTiff(tiff)), std::vector<std::string>{"Model"});
}

TEST_P(Directory, AnEmptyDirectoryAndAZeroIfd0Offset) {
    Tiff tiff = NewTiff();
    EXPECT_EQ(ReadTiff(tiff).TagCount(), 0);
    Tiff zero = NewTiff();
    zero.ifd0.Ascii(0x010F, "At17");
    zero.ifd0OffsetField = 0;  // position 17 is right after the TIFF header
    EXPECT_EQ(ReadTiff(zero).TagTextByName("Make"), "At17");
}

TEST_P(Directory, TheFirstOfTwoSameNamedTagsIsFound) {
    Tiff tiff = NewTiff();
    Ifd exif = NewIfd();
    exif.Rational(0xA20E, {{2000, 1}});
    tiff.ifd0.Rational(0x920E, {{1000, 1}}).Link(0x8769, exif);
    const TImageInfo& info = ReadTiff(tiff);
    EXPECT_EQ(info.TagNumberByName("FocalPlaneXResolution"), 1000.0);
}

TEST_P(Directory, AnOversizedSubDirectoryContributesNothing) {
    Tiff tiff = NewTiff();
    Bytes huge = NewIfd().U16(0xFFFF);
    huge.resize(16, 0);
    tiff.ifd0.Raw(0x0131, 7, static_cast<std::uint32_t>(huge.size()), huge);
    // ExifOffset pointing at the start of that value: its count claims 65535 entries.
    const std::uint32_t valueOffset = 8 + 2 + 12 * 3 + 4;
    tiff.ifd0.LinkTo(0x8769, valueOffset).Ascii(0x0110, "after");
    const TImageInfo& info = ReadTiff(tiff);
    EXPECT_EQ(info.TagTextByName("Model"), "after");
    EXPECT_EQ(reader_->StatusText, "<none>");
}

TEST_P(Directory, AReadOutsideIfd0EndsTheScanButKeepsTheBlock) {
    Tiff tiff = NewTiff();
    tiff.ifd0OffsetField = 60000;
    const TImageInfo& info = ReadTiff(tiff);
    EXPECT_FALSE(found_);
    EXPECT_TRUE(reader_->HasExifBlock());
    EXPECT_EQ(info.TagCount(), 0);
}

TEST_P(Directory, ValuesReachingOutsideTheBlockAreCut) {
    Tiff tiff = NewTiff();
    tiff.ifd0.Raw(0x010F, 2, 100, Bytes(100, 'A')).Ascii(0x0110, "M");
    Bytes bytes = Jpeg().Soi().Exif(tiff).Build();
    // Make the Make value's offset point near the end of the block.
    TimgData reader;
    ASSERT_TRUE(reader.ReadJpegBytes("p.jpg", bytes));
    const auto& make = reader.ExifDirectory->Tags[0];
    EXPECT_EQ(make.ByteLength, 100);
    Tiff outside = NewTiff();
    outside.ifd0.Raw(0x010F, 2, 100, Bytes(100, 'A'));
    Bytes moved = Jpeg().Soi().Exif(outside).Sos().Build();
    // The value offset field of the first entry sits at TIFF offset 8 + 2 + 8.
    const std::size_t field = 4 + 2 + 6 + 8 + 2 + 8;
    const std::uint32_t offset = 8 + 2 + 12 + 4 + 60;  // 40 of the 100 bytes lie inside
    const Bytes enc = NewIfd().U32(offset);
    std::copy(enc.begin(), enc.end(), moved.begin() + static_cast<std::ptrdiff_t>(field));
    ASSERT_TRUE(reader.ReadJpegBytes("p.jpg", moved));
    EXPECT_EQ(reader.ExifDirectory->Tags[0].ByteLength, 40);
}

TEST_P(Directory, AFailingRendererFailsOnlyItsOwnTag) {
    Tiff tiff = NewTiff();
    tiff.ifd0.SRational(0x9201, {{INT32_MIN, 1}}).Short(0x9209, {25}).Rational(0x920A, {{18, 1}});
    const TImageInfo& info = ReadTiff(tiff);
    EXPECT_EQ(info.TagTextByName("ShutterSpeedValue"), "-2147483648/1");
    EXPECT_EQ(info.TagTextByName("Flash"), "On, auto mode");
    EXPECT_EQ(info.TagTextByName("FocalLength"), "18.00 mm");
}

TEST_P(Directory, LargeRationalPartsAreUnsigned) {
    Tiff tiff = NewTiff();
    tiff.ifd0.Rational(0x920A, {{3000000000u, 100000000u}}).Rational(0x829D, {{4000000000u, 1000000000u}});
    const TImageInfo& info = ReadTiff(tiff);
    EXPECT_EQ(info.TagTextByName("FocalLength"), "30.00 mm");
    EXPECT_EQ(info.TagTextByName("FNumber"), "F4.0");
}

TEST_P(Directory, NumbersByName) {
    Tiff tiff = NewTiff();
    tiff.ifd0.Short(0x8827, {200}).Rational(0x829D, {{28, 10}}).Double(0xA404, 2.5).Float(0x9204, -0.5f);
    const TImageInfo& info = ReadTiff(tiff);
    EXPECT_EQ(info.TagNumberByName("ISOSpeedRatings"), 200.0);
    EXPECT_DOUBLE_EQ(info.TagNumberByName("FNumber"), 2.8);
    EXPECT_EQ(info.TagRoundedByName("FNumber"), 3);
    EXPECT_EQ(info.TagNumberByName("DigitalZoomRatio"), 2.5);
    EXPECT_EQ(info.TagTextByName("DigitalZoomRatio"), "-9999.99");
    EXPECT_EQ(info.TagNumberByName("ExposureBiasValue"), -0.5);
    EXPECT_EQ(info.TagNumberByName("Missing"), 0.0);
}

TEST_P(Directory, FindNextTagWalksOneGroup) {
    Tiff tiff = NewTiff();
    tiff.ifd0.Ascii(0x010F, "A").Ascii(0x0110, "B");
    reader_ = std::make_unique<TimgData>();
    ASSERT_TRUE(reader_->ReadJpegBytes("p.jpg", Jpeg().Soi().Exif(tiff).Build()));
    TImageInfo& info = *reader_->ExifDirectory;
    TTagEntry entry;
    info.RewindTagSearch();
    EXPECT_FALSE(info.FindNextTag(1, entry));
    EXPECT_EQ(entry.TagName, "");
    TTagEntry note;
    note.Group = 1;
    note.TagId = 7;
    note.TagName = note.Description = "Quality"_tag;
    note.Text = "Fine";
    info.AppendTag(note);
    TTagEntry zero;  // TagId 0 is never stored
    zero.Group = 1;
    EXPECT_EQ(info.AppendTag(zero), 2);
    info.RewindTagSearch();
    ASSERT_TRUE(info.FindNextTag(1, entry));
    EXPECT_EQ(entry.Text, "Fine");
    EXPECT_FALSE(info.FindNextTag(1, entry));
    info.RewindTagSearch();
    ASSERT_TRUE(info.FindNextTag(0, entry));
    EXPECT_EQ(entry.TagName, "Make");
}

class Derived35mm : public Directory {};
INSTANTIATE_TEST_SUITE_P(ByteOrders, Derived35mm, ::testing::Values(false, true));

TEST_P(Derived35mm, FromTheSensorSize) {
    for (char sep : {'.', ','}) {
        SCOPED_TRACE(sep);
        Tiff tiff = NewTiff();
        Ifd exif = NewIfd();
        exif.Rational(0x920A, {{63, 10}})
            .Long(0xA002, {3072})
            .Long(0xA003, {2304})
            .Rational(0xA20E, {{8114, 1}})
            .Rational(0xA20F, {{8114, 1}})
            .Short(0xA210, {2});
        tiff.ifd0.Ascii(0x010F, "Canon").Link(0x8769, exif);
        const TImageInfo& info = ReadTiff(tiff, sep);
        EXPECT_EQ(info.TagTextByName("FocalLengthin35mmFilm"), std::string("22") + sep + "68");
        const TTagEntry& derived = info.Tags.back();
        EXPECT_EQ(derived.TagId, 0xA405);
        EXPECT_EQ(derived.Description, "Focal Length in 35mm Film");
        EXPECT_EQ(derived.Pattern, "%s mm");
        EXPECT_EQ(derived.ValueType, 10);
        EXPECT_TRUE(derived.RawBytes.empty());
    }
}

TEST_P(Derived35mm, StoredValueWinsAndMissingDataGivesNone) {
    Tiff stored = NewTiff();
    stored.ifd0.Rational(0x920A, {{63, 10}}).Short(0xA405, {52}).Short(0x0128, {2});
    EXPECT_EQ(ReadTiff(stored).TagTextByName("FocalLengthin35mmFilm"), "52.00 mm");

    Tiff noUnit = NewTiff();
    noUnit.ifd0.Rational(0x920A, {{63, 10}}).Rational(0xA20E, {{8114, 1}}).Long(0xA002, {3072});
    EXPECT_EQ(ReadTiff(noUnit).TagIndexByName("FocalLengthin35mmFilm"), -1);

    Tiff noResolution = NewTiff();
    noResolution.ifd0.Rational(0x920A, {{63, 10}}).Short(0x0128, {2});
    EXPECT_EQ(ReadTiff(noResolution).TagIndexByName("FocalLengthin35mmFilm"), -1);
}

TEST_P(Derived35mm, AShrunkenPhotoGivesNoLength) {
    // A 160 x 120 copy of a photo whose focal-plane resolution describes a 22.7 mm sensor.
    Tiff tiff = NewTiff();
    Ifd exif = NewIfd();
    exif.Rational(0x920A, {{34, 1}})
        .Long(0xA002, {160})
        .Long(0xA003, {120})
        .Rational(0xA20E, {{3072000, 892}})
        .Rational(0xA20F, {{2048000, 595}})
        .Short(0xA210, {2});
    tiff.ifd0.Ascii(0x010F, "Canon").Link(0x8769, exif);
    EXPECT_EQ(ReadTiff(tiff).TagIndexByName("FocalLengthin35mmFilm"), -1);
}

TEST_P(Derived35mm, OlympusWithoutDiagonalGivesZero) {
    Tiff tiff = NewTiff();
    tiff.ifd0.Ascii(0x010F, "OLYMPUS OPTICAL CO.,LTD")
        .Ascii(0x0110, "C960Z")
        .Rational(0x920A, {{56, 10}})
        .Short(0x0128, {2});
    EXPECT_EQ(ReadTiff(tiff).TagTextByName("FocalLengthin35mmFilm"), " 0.00");
}

struct FilterCase {
    const char* what;
    std::vector<std::string_view> names;
    std::uint16_t tag;
    TableKind kind;
    bool kept;
};

TEST(TagNameFilter, KeepsTheRowsNamedInEitherTableAndWhatTheDerivationReads) {
    const FilterCase cases[] = {
        {"a named row", {"Make"}, 0x010F, TableKind::Main, true},
        {"a name in another case", {"MAKE"}, 0x010F, TableKind::Main, true},
        {"a row not named", {"Make"}, 0x0110, TableKind::Main, false},
        {"a GPS row", {"GPSLatitude"}, 0x0002, TableKind::Gps, true},
        {"the main row of a GPS tag number", {"GPSLatitude"}, 0x0002, TableKind::Main, false},
        {"a row the 35mm derivation reads", {}, 0xA20E, TableKind::Main, true},
    };
    for (const FilterCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(TagNameFilter(c.names).Keeps(c.tag, c.kind), c.kept);
    }
}

}  // namespace
}  // namespace quorvela::metadata
