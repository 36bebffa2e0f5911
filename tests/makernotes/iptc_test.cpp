// IPTC records: decoding the APP13 block, the merged repeatable datasets, and the record
// operations.

#include "metadata/iptc.h"

#include <gtest/gtest.h>

#include "exif_writer.h"
#include "metadata/img_data.h"
#include "support/test_files.h"

namespace quorvela::metadata {
namespace {

using samples::Bytes;
using samples::IptcDataset;
using samples::Jpeg;
using samples::ToBytes;

Bytes Datasets(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// The APP13 segment as the scan keeps it: two length bytes, then the payload.
Bytes Segment(const Bytes& datasets) {
    const Bytes jpeg = Jpeg().App13(datasets).Build();
    return Bytes(jpeg.begin() + 2, jpeg.end());
}

TIPTCdata Parse(const Bytes& datasets) {
    return TIPTCdata(Segment(datasets));
}

TEST(IptcBlock, KeywordsThatDifferOnlyInCaseMergeIntoOne) {
    const TIPTCdata iptc = Parse(Datasets({IptcDataset(2, 25, "sea"), IptcDataset(2, 25, "Sea")}));
    ASSERT_EQ(iptc.RecordCount(), 1);
    EXPECT_EQ(iptc.RecordAt(0).TagName, "Keywords");
    EXPECT_EQ(iptc.RecordAt(0).Text, "sea");
}

TEST(IptcBlock, KeywordWithABlankBecomesTwoItems) {
    const TIPTCdata iptc = Parse(Datasets({IptcDataset(2, 25, "New York"), IptcDataset(2, 25, "harbour")}));
    EXPECT_EQ(iptc.RecordValue("Keywords", "-"), "New,York,harbour");
}

TEST(IptcBlock, SupplementalCategoriesMergeToo) {
    const TIPTCdata iptc =
        Parse(Datasets({IptcDataset(2, 20, "a"), IptcDataset(2, 5, "Title"), IptcDataset(2, 20, "b")}));
    ASSERT_EQ(iptc.RecordCount(), 2);
    EXPECT_EQ(iptc.RecordAt(0).TagName, "SuppCategory");
    EXPECT_EQ(iptc.RecordAt(0).Text, "a,b");
    EXPECT_EQ(iptc.RecordAt(1).Text, "Title");
}

TEST(IptcBlock, RepeatedOtherDatasetsStaySeparate) {
    const TIPTCdata iptc = Parse(Datasets({IptcDataset(2, 80, "Ann"), IptcDataset(2, 80, "Bob")}));
    ASSERT_EQ(iptc.RecordCount(), 2);
    EXPECT_EQ(iptc.RecordAt(1).TagName, "ByLine");
    EXPECT_EQ(iptc.RecordValue("byline", "-"), "Ann");
}

TEST(IptcBlock, DatasetOutsideTheTableBecomesACustomRecord) {
    const TIPTCdata iptc = Parse(Datasets({IptcDataset(2, 200, "x1"), IptcDataset(8, 11, "y")}));
    ASSERT_EQ(iptc.RecordCount(), 2);
    const TTagEntry custom = iptc.RecordAt(0);
    EXPECT_EQ(custom.TagName, "Custom_200");
    EXPECT_EQ(custom.Description, "Custom_200");
    EXPECT_EQ(custom.TagId, 200);
    EXPECT_EQ(custom.SubCode, 2);
    EXPECT_EQ(custom.ByteLength, 64);
    EXPECT_EQ(custom.Text, "x1");
    EXPECT_EQ(iptc.RecordAt(1).TagName, "Custom_11");
    EXPECT_EQ(iptc.RecordAt(1).SubCode, 8);
}

TEST(IptcBlock, RecordFieldsComeFromTheTable) {
    const TIPTCdata iptc = Parse(Datasets({IptcDataset(2, 120, "A caption"), IptcDataset(8, 10, "01")}));
    ASSERT_EQ(iptc.RecordCount(), 2);
    const TTagEntry caption = iptc.RecordAt(0);
    EXPECT_EQ(caption.TagName, "ImageCaption");
    EXPECT_EQ(caption.Description, "Image caption");
    EXPECT_EQ(caption.TagId, 120);
    EXPECT_EQ(caption.SubCode, 2);
    EXPECT_EQ(caption.ByteLength, 2000);
    EXPECT_EQ(iptc.RecordAt(1).TagName, "Subfile");
}

TEST(IptcBlock, EnvelopeRecordAndRecordVersionAreSkipped) {
    // The first marker taken is the first one of record 2 or 8: a record 1 dataset found
    // later, between record 2 datasets, is read past.
    const TIPTCdata iptc =
        Parse(Datasets({IptcDataset(1, 90, "\x1B%G"), IptcDataset(2, 0, "\x00\x04"), IptcDataset(2, 5, "Name"),
                        IptcDataset(1, 20, "envelope"), IptcDataset(2, 25, "key")}));
    ASSERT_EQ(iptc.RecordCount(), 2);
    EXPECT_EQ(iptc.RecordAt(0).TagName, "ObjectName");
    EXPECT_EQ(iptc.RecordAt(1).Text, "key");
}

TEST(IptcBlock, ValueBytesAreKeptAsTheyAre) {
    const std::string value("Caf\xE9 \x00z", 7);
    const TIPTCdata iptc = Parse(Datasets({IptcDataset(2, 120, value)}));
    EXPECT_EQ(iptc.RecordValue("ImageCaption", ""), value);
}

TEST(IptcBlock, LengthPastTheEndTakesWhatRemains) {
    Bytes block = Segment(Datasets({IptcDataset(2, 5, "Name"), IptcDataset(2, 120, "cut short")}));
    block.resize(block.size() - 6);  // drops "short" and the padding byte
    const TIPTCdata iptc(block);
    ASSERT_EQ(iptc.RecordCount(), 2);
    EXPECT_EQ(iptc.RecordAt(1).Text, "cut ");
}

TEST(IptcBlock, BlocksWithoutSignatureOrMarkerGiveNoRecords) {
    struct Case {
        const char* what;
        Bytes block;
        int records;
    };
    Bytes plain = {0, 20};
    for (const char c : std::string("ADOBE_CM pad")) plain.push_back(static_cast<std::uint8_t>(c));
    const Bytes dataset = IptcDataset(2, 5, "Name");
    Bytes unsigned_ = plain;
    unsigned_.insert(unsigned_.end(), dataset.begin(), dataset.end());
    Bytes early = {0, 9, 0x1C, 2, 5, 0, 1, 'x'};  // a marker before the 13th byte is not looked at
    const Case cases[] = {
        {"no signature, marker from byte 13 on", unsigned_, 1},
        {"no marker at all", plain, 0},
        {"marker before byte 13", early, 0},
        {"signature only", Segment({}), 0},
        {"empty", {}, 0},
        {"marker without a dataset",
         {0, 16, 'P', 'h', 'o', 't', 'o', 's', 'h', 'o', 'p', ' ', '3', '.', '0', 0x1C, 2},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(TIPTCdata(c.block).RecordCount(), c.records);
    }
}

TEST(IptcRecords, Operations) {
    TIPTCdata iptc;
    EXPECT_FALSE(iptc.HasRecords());
    EXPECT_EQ(iptc.SetRecord("City", "Oslo"), 0);
    EXPECT_EQ(iptc.SetRecord("city", ""), 0);  // an empty value keeps the text
    EXPECT_EQ(iptc.RecordValue("CITY", "-"), "Oslo");
    EXPECT_EQ(iptc.SetRecord("city", "Bergen"), 0);
    EXPECT_EQ(iptc.RecordValue("City", "-"), "Bergen");
    EXPECT_EQ(iptc.SetRecord("NoSuchName", "x"), -1);
    EXPECT_EQ(iptc.SetRecordValue("NoSuchName", "x"), -1);
    EXPECT_EQ(iptc.SetRecordValue("Keywords", "fjord"), 1);
    EXPECT_EQ(iptc.SetRecordValue("keywords", "Fjord, boat"), 1);
    EXPECT_EQ(iptc.RecordValue("Keywords", "-"), "fjord,boat");
    EXPECT_EQ(iptc.AddToRecord("Keywords", ""), 1);
    EXPECT_EQ(iptc.RecordValue("Keywords", "-"), "fjord,boat");
    EXPECT_EQ(iptc.SetRecordValue("ByLine", "Ann"), 2);
    EXPECT_EQ(iptc.SetRecordValue("ByLine", "Bob"), 2);  // not repeatable: replaced
    EXPECT_EQ(iptc.RecordValue("ByLine", "-"), "Bob");
    EXPECT_EQ(iptc.FindRecord("byline"), 2);
    EXPECT_EQ(iptc.FindRecord("Source"), -1);
    EXPECT_EQ(iptc.RecordValue("Source", "none"), "none");

    iptc.RemoveRecord("keywords");
    EXPECT_EQ(iptc.RecordCount(), 2);
    EXPECT_EQ(iptc.RecordAt(1).TagName, "ByLine");
    iptc.RemoveRecord("Keywords");  // nothing left of that name
    EXPECT_EQ(iptc.RecordCount(), 2);

    EXPECT_EQ(iptc.AppendRecord(TTagEntry{}), 1);  // TagId 0 is refused
    EXPECT_EQ(iptc.RecordCount(), 2);
    EXPECT_EQ(iptc.RecordAt(5).TagName, "");
    EXPECT_EQ(iptc.RecordAt(-1).TagName, "");
    iptc.SetRecordCount(1);
    EXPECT_EQ(iptc.RecordCount(), 1);
    iptc.ClearRecords();
    EXPECT_FALSE(iptc.HasRecords());
}

TEST(IptcRecords, MergeCommaText) {
    struct Case {
        const char* list;
        const char* added;
        const char* expected;
    };
    const Case cases[] = {
        {"", "sea", "sea"},
        {"sea", "Sea", "sea"},
        {"", "New York", "New,York"},
        {"", "\"New York\"", "\"New York\""},
        {"\"New York\"", "new york", "\"New York\",new,york"},
        {"", "a,b , c", "a,b,c"},
        {"", "say \"\"hi\"\"", "say,,\"hi\"\"\"\"\""},  // an empty quoted item, then hi""
        {"", "\"say \"\"hi\"\"\"", "\"say \"\"hi\"\"\""},
        {"a", "", "a"},
        {"a", "a,", "a,"},
        {"caf\xE9", "CAF\xC9", "caf\xE9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.list) + " + " + c.added);
        EXPECT_EQ(MergeCommaText(c.list, c.added), c.expected);
    }
}

TEST(IptcReader, TheScanDecodesTheFirstApp13Only) {
    const Bytes jpeg = Jpeg()
                           .Soi()
                           .App13(Datasets({IptcDataset(2, 25, "one"), IptcDataset(2, 80, "Ann")}))
                           .App13(Datasets({IptcDataset(2, 25, "two")}))
                           .Sos()
                           .Eoi()
                           .Build();
    TimgData reader;
    ASSERT_TRUE(reader.ReadJpegBytes("photo.jpg", jpeg));
    ASSERT_NE(reader.IptcRecords, nullptr);
    EXPECT_EQ(reader.IptcRecords->RecordValue("Keywords", "-"), "one");
    EXPECT_EQ(reader.IptcRecords->RecordValue("ByLine", "-"), "Ann");

    const testing::TempDir dir;
    TIPTCdata fromFile;
    EXPECT_TRUE(fromFile.ReadIptcFile(dir.Write("photo.jpg", jpeg).string()));
    EXPECT_EQ(fromFile.RecordCount(), 2);
    EXPECT_FALSE(fromFile.ReadIptcFile(dir.Write("plain.jpg", Jpeg().Soi().App0().Sos().Eoi().Build()).string()));
    EXPECT_EQ(fromFile.RecordCount(), 0);
}

}  // namespace
}  // namespace quorvela::metadata
