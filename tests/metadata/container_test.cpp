// Files other than JPEG: the format told from content, the containers walked to their TIFF
// structures, and damaged containers answered with a status text.

#include <gtest/gtest.h>

#include "container_writer.h"
#include "metadata/img_data.h"
#include "metadata/raw_containers.h"

namespace quorvela::metadata {
namespace {

namespace c = samples::containers;
using samples::Ifd;
using samples::Jpeg;
using samples::Tiff;

Tiff Camera(std::string_view make, bool bigEndian = false) {
    Ifd exif(bigEndian);
    exif.Rational(0x829D, {{28, 10}}).Short(0x8827, {400}).Rational(0x920A, {{50, 1}});
    Tiff tiff(bigEndian);
    tiff.ifd0.Ascii(0x010F, make).Ascii(0x0110, "Model 9").Link(0x8769, std::move(exif));
    return tiff;
}

struct Read {
    bool found;
    std::string status;
    PhotoFormat format;
    std::string make;
    std::string focal;
};

Read ReadAs(std::string_view name, const Bytes& bytes) {
    TimgData reader;
    const bool found = reader.ReadJpegBytes(name, bytes);
    const auto text = [&reader](std::string_view tag) {
        return reader.ExifDirectory ? reader.ExifDirectory->TagTextByName(tag) : std::string();
    };
    return {found, reader.StatusText, reader.Format, text("Make"), text("FocalLength")};
}

TEST(FormatFromContent, FirstBytesNameTheFormat) {
    const struct {
        std::string_view bytes;
        PhotoFormat format;
    } cases[] = {
        {std::string_view("\xFF\xD8\xFF\xE1", 4), PhotoFormat::Jpeg},
        {std::string_view("II*\0\x08\0\0\0", 8), PhotoFormat::Tiff},
        {std::string_view("MM\0*\0\0\0\x08", 8), PhotoFormat::Tiff},
        {std::string_view("II*\0\x10\0\0\0CR\x02\0", 12), PhotoFormat::Cr2},
        {"IIRO\x08\0\0\0", PhotoFormat::Orf},
        {"IIRS\x08\0\0\0", PhotoFormat::Orf},
        {"MMOR\0\0\0\x08", PhotoFormat::Orf},
        {std::string_view("IIU\0\x08\0\0\0", 8), PhotoFormat::Rw2},
        {"FUJIFILMCCD-RAW 0201", PhotoFormat::Raf},
        {std::string_view("\0MRM\0\0\0\x10", 8), PhotoFormat::Mrw},
        {std::string_view("II\x1a\0\0\0HEAPCCDR", 14), PhotoFormat::Crw},
        {std::string_view("\0\0\0\x18" "ftypheic\0\0\0\0", 16), PhotoFormat::Heic},
        {std::string_view("\0\0\0\x18" "ftypmif1\0\0\0\0", 16), PhotoFormat::Heif},
        {std::string_view("\0\0\0\x18" "ftypheix\0\0\0\0", 16), PhotoFormat::Heif},
        {std::string_view("\0\0\0\x18" "ftypavif\0\0\0\0", 16), PhotoFormat::Avif},
        {std::string_view("\0\0\0\x18" "ftypcrx \0\0\0\0", 16), PhotoFormat::Cr3},
        {std::string_view("\0\0\0\x18" "ftypqt  \0\0\0\0", 16), PhotoFormat::Unknown},
        {"FUJIFILM</tiff:M", PhotoFormat::Unknown},
        {"\x89PNG\r\n", PhotoFormat::Unknown},
        {"", PhotoFormat::Unknown},
    };
    for (const auto& [bytes, format] : cases) {
        SCOPED_TRACE(FormatName(format));
        EXPECT_EQ(FormatFromContent(c::Text(bytes)), format);
    }
}

TEST(FormatFromContent, TiffFilesAreNamedByTagsThenExtensionThenMake) {
    const struct {
        PhotoFormat content;
        std::string_view make;
        bool dng;
        std::string_view file;
        PhotoFormat named;
    } cases[] = {
        {PhotoFormat::Tiff, "Canon", true, "IMG_1.CR2", PhotoFormat::Dng},
        {PhotoFormat::Tiff, "NIKON CORPORATION", false, "DSC_1.NRW", PhotoFormat::Nrw},
        {PhotoFormat::Tiff, "NIKON CORPORATION", false, "DSC_1", PhotoFormat::Nef},
        {PhotoFormat::Tiff, "NIKON CORPORATION", false, "scan.tif", PhotoFormat::Tiff},
        {PhotoFormat::Tiff, "SONY", false, "a.sr2", PhotoFormat::Sr2},
        {PhotoFormat::Tiff, "SONY", false, "a.raw", PhotoFormat::Arw},
        {PhotoFormat::Tiff, "PENTAX", false, "x", PhotoFormat::Pef},
        {PhotoFormat::Tiff, "Hasselblad", false, "x", PhotoFormat::ThreeFr},
        {PhotoFormat::Tiff, "", false, "folder.nef/x", PhotoFormat::Tiff},
        {PhotoFormat::Rw2, "LEICA", false, "x.rw2", PhotoFormat::Rwl},
        {PhotoFormat::Rw2, "Panasonic", false, "x.rwl", PhotoFormat::Rw2},
        {PhotoFormat::Cr2, "Canon", false, "x.tif", PhotoFormat::Cr2},
    };
    for (const auto& [content, make, dng, file, named] : cases) {
        SCOPED_TRACE(file);
        EXPECT_EQ(NameTiffFormat(content, make, dng, file), named);
    }
}

TEST(FormatFromContent, ContentNotTheNameDecidesHowAFileIsRead) {
    const Bytes jpeg = Jpeg().Soi().Exif(Camera("Canon")).Sos().Build();
    const Bytes tiff = Camera("NIKON CORPORATION").Build();
    for (const char* name : {"a.nef", "b.png", "c", "d.jpg.txt"}) {
        SCOPED_TRACE(name);
        const Read jpegRead = ReadAs(name, jpeg);
        EXPECT_TRUE(jpegRead.found);
        EXPECT_EQ(jpegRead.format, PhotoFormat::Jpeg);
        EXPECT_EQ(jpegRead.focal, "50.00 mm");
    }
    const Read tiffRead = ReadAs("photo.jpg", tiff);
    EXPECT_TRUE(tiffRead.found);
    EXPECT_EQ(tiffRead.format, PhotoFormat::Nef);  // the make names it; the extension is no raw's
    EXPECT_EQ(tiffRead.focal, "50.00 mm");
}

TEST(TiffFiles, TheHeaderSaysWhereIfd0Is) {
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian);
        // A CR2 puts "CR" and the raw directory's offset after the header: IFD0 is at 16.
        Tiff tiff = Camera("Canon", bigEndian);
        tiff.ifd0OffsetField = 16;
        const Bytes header = tiff.Build();
        const Bytes cr2 = c::Cat({Bytes(header.begin(), header.begin() + 8), c::Text(std::string_view("CR\2\0\0\0\0\0", 8)),
                                  tiff.ifd0.Layout(16)});
        const Read read = ReadAs("x.cr2", cr2);
        EXPECT_TRUE(read.found);
        EXPECT_EQ(read.format, PhotoFormat::Cr2);
        EXPECT_EQ(read.make, "Canon");
        EXPECT_EQ(read.focal, "50.00 mm");
    }
}

TEST(HeifFiles, TheExifItemIsFoundHoweverItsLocationIsWritten) {
    const Bytes item = c::ExifItem(Camera("Apple"));
    const struct {
        const char* name;
        c::HeifLayout layout;
    } cases[] = {
        {"iloc version 0, in mdat", {}},
        {"iloc version 1, in idat", {1, 1}},
        {"iloc version 1, in mdat with a base offset field", {1, 0, 4, 4, 8}},
        {"iloc version 2, 8-byte offsets and lengths", {2, 0, 8, 8}},
        {"item in three pieces", {1, 0, 4, 4, 0, 3}},
        {"meta with a 64-bit size", {0, 0, 4, 4, 0, 1, true}},
    };
    for (const auto& [name, layout] : cases) {
        SCOPED_TRACE(name);
        const Read read = ReadAs("x.heic", c::Heif("heic", item, layout));
        EXPECT_TRUE(read.found) << read.status;
        EXPECT_EQ(read.format, PhotoFormat::Heic);
        EXPECT_EQ(read.make, "Apple");
        EXPECT_EQ(read.focal, "50.00 mm");
    }
    EXPECT_EQ(ReadAs("x.avif", c::Heif("avif", item)).format, PhotoFormat::Avif);
    EXPECT_EQ(ReadAs("x.hif", c::Heif("mif1", item)).format, PhotoFormat::Heif);
}

TEST(HeifFiles, DamagedContainersGiveAStatusText) {
    const Bytes item = c::ExifItem(Camera("Apple"));
    Bytes outside = c::Heif("heic", item);
    outside.resize(outside.size() - 20);  // the item's last bytes are cut away
    Bytes inIdat = c::Heif("heic", item, {1, 1});
    inIdat.resize(inIdat.size() - 1);  // idat and meta end a byte early: the item is longer
    const Bytes noTiff = c::Heif("heic", c::Text(std::string_view("\0\0\0\6Exif\0\0XX*\0\0\0\0\0", 18)));
    Bytes manyBoxes = c::Ftyp("heic");
    for (int i = 0; i < 5000; ++i) manyBoxes = c::Cat({manyBoxes, c::Box("free", {})});
    manyBoxes = c::Cat({manyBoxes, c::Heif("heic", item)});
    const struct {
        const char* name;
        Bytes bytes;
        const char* status;
    } cases[] = {
        {"item extent outside the file", outside, "EXIF item outside the file"},
        {"too many extents", c::Heif("heic", item, {1, 0, 4, 4, 0, 300}), "EXIF item in too many pieces"},
        {"idat cut short", inIdat, "EXIF item outside the file"},
        {"no TIFF header in the item", noTiff, "EXIF item without a TIFF header"},
        {"meta past the box count limit", manyBoxes, "No metadata box"},
        {"ftyp only", c::Ftyp("heic"), "No metadata box"},
        {"box smaller than its header", c::Cat({c::Ftyp("heic"), c::Be(4, 4), c::Text("meta")}), "No metadata box"},
    };
    for (const auto& [name, bytes, status] : cases) {
        SCOPED_TRACE(name);
        const Read read = ReadAs("x.heic", bytes);
        EXPECT_FALSE(read.found);
        EXPECT_EQ(read.status, status);
        EXPECT_EQ(read.format, PhotoFormat::Heic);
    }
}

// A Canon maker note as a CR3 file keeps it: a TIFF structure of its own with one entry
// (the image type), its value outside the directory.
Bytes CanonNoteTiff() {
    Tiff note;
    note.ifd0.Ascii(0x0006, "Canon EOS R6 RAW");
    return note.Build();
}

TEST(Cr3Files, EachCmtBoxIsWalkedIntoTheOneDirectory) {
    Tiff ifd0;
    ifd0.ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS R6");
    Tiff exif;
    exif.ifd0.Rational(0x829D, {{40, 10}}).Rational(0x920A, {{105, 1}});
    Tiff gps;
    gps.ifd0.Ascii(0x0001, "N");
    TimgData reader;
    ASSERT_TRUE(reader.ReadJpegBytes("x.cr3", c::Cr3({ifd0.Build(), exif.Build(), CanonNoteTiff(), gps.Build()})))
        << reader.StatusText;
    EXPECT_EQ(reader.Format, PhotoFormat::Cr3);
    const TImageInfo& info = *reader.ExifDirectory;
    EXPECT_EQ(info.TagTextByName("Model"), "Canon EOS R6");
    EXPECT_EQ(info.TagTextByName("FocalLength"), "105.00 mm");
    EXPECT_EQ(info.TagTextByName("FNumber"), "F4.0");
    EXPECT_EQ(info.TagTextByName("GPSLatitudeRef"), "N");
    EXPECT_TRUE(info.MakerNoteDecoded);
    const int type = info.TagIndexByName("ImageType");
    ASSERT_GE(type, 0);
    EXPECT_EQ(info.Tags[static_cast<std::size_t>(type)].Group, 1);
    EXPECT_EQ(info.Tags[static_cast<std::size_t>(type)].Text, "\"Canon EOS R6 RAW\"");
}

TEST(Cr3Files, AMissingOrForeignCmtBoxLeavesTheOthers) {
    Tiff ifd0;
    ifd0.ifd0.Ascii(0x010F, "Canon");
    const Read withoutExif = ReadAs("x.cr3", c::Cr3({ifd0.Build(), {}, CanonNoteTiff()}));
    EXPECT_TRUE(withoutExif.found);
    EXPECT_EQ(withoutExif.make, "Canon");
    // A structure in the other byte order than CMT1's is left out.
    Tiff bigExif(true);
    bigExif.ifd0.Rational(0x920A, {{105, 1}});
    const Read mixed = ReadAs("x.cr3", c::Cr3({ifd0.Build(), bigExif.Build()}));
    EXPECT_EQ(mixed.make, "Canon");
    EXPECT_EQ(mixed.focal, "");
    const Read none = ReadAs("x.cr3", c::Cr3({}));
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.status, "No EXIF data");
}

TEST(RafFiles, TheJpegTheHeaderPointsAtIsRead) {
    const Bytes jpeg = Jpeg().Soi().Exif(Camera("FUJIFILM", true)).Sos().Eoi().Build();
    const Read read = ReadAs("x.raf", c::Raf(jpeg));
    EXPECT_TRUE(read.found);
    EXPECT_EQ(read.format, PhotoFormat::Raf);
    EXPECT_EQ(read.focal, "50.00 mm");
    for (const auto& [offset, length] : {std::pair<std::uint32_t, std::uint32_t>{100000, 10},
                                         {100, 0xFFFFFFF0}, {0xFFFFFFFF, 0xFFFFFFFF}, {50, 10}}) {
        SCOPED_TRACE(offset);
        const Read bad = ReadAs("x.raf", c::Raf(jpeg, offset, length));
        EXPECT_FALSE(bad.found);
        EXPECT_EQ(bad.status, "RAF header points outside the file");
    }
}

TEST(RawFiles, MrwTtwBlockAndRw2EmbeddedJpegAreRead) {
    const Read mrw = ReadAs("x.mrw", c::Mrw(Camera("Konica Minolta", true).Build()));
    EXPECT_TRUE(mrw.found);
    EXPECT_EQ(mrw.format, PhotoFormat::Mrw);
    EXPECT_EQ(mrw.focal, "50.00 mm");

    // IFD0 names the camera; the EXIF block with the exposure is in the JPEG of tag 0x2E.
    const Bytes jpeg = Jpeg().Soi().Exif(Camera("Panasonic")).Sos().Eoi().Build();
    Tiff raw;
    raw.ifd0.Ascii(0x010F, "Panasonic").Undefined(0x002E, jpeg);
    Bytes rw2 = raw.Build();
    rw2[2] = 'U';
    const Read read = ReadAs("x.rw2", rw2);
    EXPECT_TRUE(read.found);
    EXPECT_EQ(read.format, PhotoFormat::Rw2);
    EXPECT_EQ(read.focal, "50.00 mm");
    // Without a JPEG there, IFD0 is what there is.
    Tiff bare;
    bare.ifd0.Ascii(0x010F, "LEICA");
    Bytes rwl = bare.Build();
    rwl[2] = 'U';
    const Read leica = ReadAs("x.rwl", rwl);
    EXPECT_TRUE(leica.found);
    EXPECT_EQ(leica.format, PhotoFormat::Rwl);
    EXPECT_EQ(leica.make, "LEICA");
}

TEST(RawFiles, CrwIsNamedButNotRead) {
    const Read read = ReadAs("x.crw", c::Text(std::string_view("II\x1a\0\0\0HEAPCCDR\0\0", 16)));
    EXPECT_FALSE(read.found);
    EXPECT_EQ(read.format, PhotoFormat::Crw);
    EXPECT_EQ(read.status, "format not read");
}

}  // namespace
}  // namespace quorvela::metadata
