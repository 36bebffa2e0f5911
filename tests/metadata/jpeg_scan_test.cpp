#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "exif_writer.h"
#include "metadata/byte_source.h"
#include "metadata/img_data.h"
#include "support/test_files.h"

namespace quorvela::metadata {
namespace {

using samples::Jpeg;
using samples::Tiff;

Tiff SmallExif(bool bigEndian = false) {
    Tiff tiff(bigEndian);
    tiff.ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS 300D DIGITAL");
    return tiff;
}

bool Read(TimgData& reader, const std::vector<std::uint8_t>& bytes, std::string_view name = "photo.jpg") {
    return reader.ReadJpegBytes(name, bytes);
}

TEST(JpegScan, ExifAfterApp0IsTheSecondSlot) {
    TimgData reader;
    ASSERT_TRUE(Read(reader, Jpeg().Soi().App0().Exif(SmallExif()).Dqt().Sos().Eoi().Build()));
    EXPECT_EQ(reader.App0Section, 1);
    EXPECT_EQ(reader.ExifSection, 2);
    EXPECT_EQ(reader.StatusText, "<none>");
    ASSERT_NE(reader.ExifDirectory, nullptr);
    EXPECT_EQ(reader.ExifDirectory->TagTextByName("make"), "Canon");
    EXPECT_EQ(reader.ExifDirectory->MakeText, "Canon");
}

}  // namespace
}  // namespace quorvela::metadata

namespace quorvela::metadata {
namespace {

using samples::Bytes;

TEST(JpegScan, FiveSegmentsWithoutMetadataEndTheScanBeforeTheFifth) {
    TimgData reader;
    const Bytes bytes = Jpeg().Soi().App0().Dqt().Dqt().Sof0().Exif(SmallExif()).Sos().Eoi().Build();
    EXPECT_FALSE(Read(reader, bytes));
    EXPECT_FALSE(reader.HasAnyMetadata());
    EXPECT_EQ(reader.SectionsRead, 5);
    EXPECT_EQ(reader.StatusText, "Not an EXIF file");
}

TEST(JpegScan, ExifThenXmpDropsTheSecondApp1) {
    TimgData reader;
    ASSERT_TRUE(Read(reader, Jpeg().Soi().Exif(SmallExif()).Xmp().Dqt().Sos().Build()));
    EXPECT_EQ(reader.ExifSection, 1);
    EXPECT_EQ(reader.SectionsRead, 3);  // APP1, DQT (in the reused slot), SOS
    EXPECT_EQ(reader.SectionTable[2].MarkerCode, 0xDB);
}

TEST(JpegScan, XmpBeforeExifDoesNotHideTheExifBlock) {
    TimgData reader;
    ASSERT_TRUE(Read(reader, Jpeg().Soi().Xmp().Exif(SmallExif()).Sos().Build()));
    EXPECT_EQ(reader.ExifSection, 2);
    EXPECT_EQ(reader.ExifDirectory->TagTextByName("Model"), "Canon EOS 300D DIGITAL");
}

TEST(JpegScan, EndlessRepeatedApp1SegmentsEndTheScan) {
    Jpeg jpeg;
    jpeg.Soi().Exif(SmallExif());
    for (int i = 0; i < 5000; ++i) jpeg.Xmp();
    jpeg.Comment("far beyond").Sos();
    TimgData reader;
    EXPECT_TRUE(Read(reader, jpeg.Build()));
    EXPECT_EQ(reader.CommentSection, 0);  // the scan ended long before the comment
    EXPECT_EQ(reader.ExifDirectory->TagTextByName("Make"), "Canon");
}

TEST(JpegScan, CommentOnly) {
    TimgData reader;
    EXPECT_TRUE(Read(reader, Jpeg().Soi().Comment("hello").Sos().Build()));
    EXPECT_TRUE(reader.HasAnyMetadata());
    EXPECT_FALSE(reader.HasExifBlock());
    EXPECT_EQ(reader.ExifDirectory, nullptr);
}

TEST(JpegScan, OnlyTheFirstIptcAndTheLastCommentAreKept) {
    TimgData reader;
    const Bytes bytes = Jpeg().Soi().Segment(0xED, {1}).Comment("a").Segment(0xED, {2}).Comment("b").Sos().Build();
    EXPECT_TRUE(Read(reader, bytes));
    EXPECT_EQ(reader.IptcSection, 1);
    EXPECT_EQ(reader.CommentSection, 4);
    EXPECT_NE(reader.IptcRecords, nullptr);
}

TEST(JpegScan, ContentNotExtensionDecidesWhatIsRead) {
    TimgData reader;
    const Bytes bytes = Jpeg().Soi().Exif(SmallExif()).Sos().Build();
    for (const char* name : {"a.JPG", "b.jpeg", "c.Thm", "d.jpe", "folder.jpg/e.JPE", "a.png", "b", "c.jpg.txt"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(reader.ReadJpegBytes(name, bytes));
        EXPECT_EQ(reader.Format, PhotoFormat::Jpeg);
    }
    const Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const char* name : {"a.jpg", "b.nef", "c.heic"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(reader.ReadJpegBytes(name, png));
        EXPECT_EQ(reader.StatusText, "Not an EXIF file");
        EXPECT_EQ(reader.Format, PhotoFormat::Unknown);
    }
}

TEST(JpegScan, FillBytesBeforeAMarkerAreSkipped) {
    Bytes bytes = {0xFF, 0xD8, 0xFF, 0xFF, 0xFF};
    const Bytes rest = Jpeg().Comment("x").Sos().Build();
    bytes.insert(bytes.end(), rest.begin() + 1, rest.end());  // drop one 0xFF: fill bytes carry the marker
    TimgData reader;
    EXPECT_TRUE(Read(reader, bytes));
    EXPECT_EQ(reader.CommentSection, 1);
}

TEST(JpegScan, ScanStopsAtSosAndNeedsSoi) {
    TimgData reader;
    EXPECT_FALSE(Read(reader, Jpeg().Soi().Dqt().Sos().Comment("after the image").Build()));
    EXPECT_FALSE(reader.HasAnyMetadata());
    EXPECT_FALSE(Read(reader, Jpeg().Comment("no SOI").Build()));
    EXPECT_EQ(reader.SectionsRead, 0);
}

TEST(JpegScan, TwentySlotsAtMost) {
    Jpeg jpeg;
    jpeg.Soi();
    for (int i = 0; i < 30; ++i) jpeg.Comment("c");
    TimgData reader;
    EXPECT_TRUE(Read(reader, jpeg.Build()));
    EXPECT_EQ(reader.SectionsRead, 20);
    EXPECT_EQ(reader.CommentSection, 20);
}

TEST(JpegScan, SegmentTooShortForItsLengthEndsTheScanKeepingWhatWasFound) {
    Bytes bytes = Jpeg().Soi().Comment("kept").Build();
    bytes.insert(bytes.end(), {0xFF, 0xE2, 0x00, 0x01});
    TimgData reader;
    EXPECT_FALSE(Read(reader, bytes));
    EXPECT_TRUE(reader.HasAnyMetadata());
}

TEST(JpegScan, TruncatedFilesNeverReadMissingBytes) {
    const Bytes full = Jpeg().Soi().Comment("first").Exif(SmallExif()).Sos().Build();
    TimgData reader;
    for (std::size_t cut = 0; cut <= full.size(); ++cut) {
        SCOPED_TRACE(cut);
        const Bytes part(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut));
        const bool found = Read(reader, part);
        // Once the comment is complete it is kept, whatever follows.
        const bool commentComplete = cut >= 2 + 4 + 5;
        EXPECT_EQ(found, commentComplete);
        EXPECT_EQ(reader.HasAnyMetadata(), commentComplete);
    }
}

TEST(JpegScan, WrongByteOrderMarkKeepsTheBlockWithoutTags) {
    Bytes payload = {'E', 'x', 'i', 'f', 0, 0, 'X', 'X', 0, 42, 0, 0, 0, 8};
    TimgData reader;
    EXPECT_TRUE(Read(reader, Jpeg().Soi().Segment(0xE1, payload).Sos().Build()));
    EXPECT_TRUE(reader.HasExifBlock());
    EXPECT_EQ(reader.StatusText, "<none>");
    ASSERT_NE(reader.ExifDirectory, nullptr);
    EXPECT_EQ(reader.ExifDirectory->TagCount(), 0);
}

TEST(JpegScan, ANewReadForgetsThePreviousFile) {
    TimgData reader;
    ASSERT_TRUE(Read(reader, Jpeg().Soi().Exif(SmallExif()).Sos().Build()));
    ASSERT_NE(reader.ExifDirectory, nullptr);
    EXPECT_TRUE(Read(reader, Jpeg().Soi().Comment("x").Sos().Build()));
    EXPECT_EQ(reader.ExifDirectory, nullptr);
    EXPECT_EQ(reader.ExifSection, 0);
}

TEST(JpegScan, FilesOnDisk) {
    testing::TempDir dir;
    const auto photo = dir.Write("IMG_0001.JPG", Jpeg().Soi().Exif(SmallExif()).Sos().Build());
    TimgData reader;
    EXPECT_TRUE(reader.ReadJpegFile(photo.string()));
    EXPECT_EQ(reader.PathName, photo.string());
    EXPECT_GT(reader.ByteSize, 0);
    EXPECT_FALSE(reader.ReadJpegFile((dir.path() / "missing.jpg").string()));
    EXPECT_EQ(reader.StatusText, "");
    std::filesystem::create_directory(dir.path() / "folder.jpg");
    EXPECT_FALSE(reader.ReadJpegFile((dir.path() / "folder.jpg").string()));
}

TEST(JpegScan, AFifoNamedLikeAPhotoDoesNotBlock) {
    testing::TempDir dir;
    const auto fifo = dir.path() / "pipe.jpg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    TimgData reader;
    EXPECT_FALSE(reader.ReadJpegFile(fifo.string()));
    EXPECT_EQ(reader.StatusText, "Illegal Exif construction");
}

TEST(TiffLoad, ReadsTheFirstDirectoryOfARawFile) {
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian);
        Tiff tiff(bigEndian);
        tiff.ifd0.Ascii(0x010F, "NIKON CORPORATION").Ascii(0x0110, "NIKON D70");
        testing::TempDir dir;
        const auto path = dir.Write("DSC_0001.NEF", tiff.Build());
        TimgData reader;
        EXPECT_TRUE(reader.ReadJpegFile(path.string()));
        ASSERT_NE(reader.ExifDirectory, nullptr);
        EXPECT_TRUE(reader.ExifDirectory->TiffSource);
        EXPECT_EQ(reader.ExifDirectory->TagTextByName("Model"), "NIKON D70");
        EXPECT_FALSE(reader.TiffSource);  // only set while the file is read
    }
    TimgData reader;
    EXPECT_FALSE(reader.ReadJpegBytes("x.tif", Bytes{'X', 'Y', 0, 42}));
}

}  // namespace
}  // namespace quorvela::metadata

namespace quorvela::metadata {
namespace {

using samples::Bytes;

struct FileScanCase {
    const char* what;
    Bytes bytes;
    bool found;
    int exifSection;
    int commentSection;
};

Tiff LongExif(std::size_t commentSize) {
    Tiff tiff = SmallExif();
    tiff.ifd0.Undefined(0x9286, Bytes(commentSize, 'x'));
    return tiff;
}

Bytes CutTo(Bytes bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

// A file is read in pieces, the first of ByteSource::kFirstRead bytes: segments that cross a
// piece's end, or that the scan passes over without keeping, are read as from memory.
TEST(JpegScan, FilesReadInPiecesAsFromMemory) {
    const std::size_t first = ByteSource::kFirstRead;
    const Bytes app2AcrossFirstRead = Bytes(first - 100, 7);
    const FileScanCase cases[] = {
        {"the EXIF block across the first read's end",
         Jpeg().Soi().Segment(0xE2, app2AcrossFirstRead).Exif(SmallExif()).Sos().Build(), true, 2, 0},
        {"an EXIF block longer than the first read", Jpeg().Soi().Exif(LongExif(3 * first)).Comment("c").Sos().Build(),
         true, 1, 2},
        {"a passed-over segment longer than a read",
         Jpeg().Soi().Segment(0xE2, Bytes(60000, 1)).Segment(0xE2, Bytes(60000, 2)).Comment("c").Sos().Build(), true, 0,
         3},
        {"a passed-over segment cut short by the file's end",
         CutTo(Jpeg().Soi().Exif(SmallExif()).Segment(0xE2, Bytes(40000, 1)).Comment("c").Sos().Build(), 20000), true,
         1, 0},
        {"a kept segment cut short by the file's end",
         CutTo(Jpeg().Soi().Comment("c").Segment(0xE1, Bytes(40000, 1)).Build(), first + 10), true, 0, 1},
        {"a file shorter than its format mark", Bytes{0xFF, 0xD8, 0xFF}, false, 0, 0},
    };
    testing::TempDir dir;
    for (const FileScanCase& c : cases) {
        SCOPED_TRACE(c.what);
        const auto path = dir.Write("photo.jpg", c.bytes);
        TimgData file;
        TimgData memory;
        EXPECT_EQ(file.ReadJpegFile(path.string()), c.found);
        EXPECT_EQ(Read(memory, c.bytes), c.found);
        for (const TimgData* reader : {&file, &memory}) {
            EXPECT_EQ(reader->ExifSection, c.exifSection);
            EXPECT_EQ(reader->CommentSection, c.commentSection);
            EXPECT_EQ(reader->SectionsRead, file.SectionsRead);
            if (c.exifSection != 0) {
                EXPECT_EQ(reader->ExifDirectory->TagTextByName("Make"), "Canon");
            }
        }
    }
}

}  // namespace
}  // namespace quorvela::metadata
