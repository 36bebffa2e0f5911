// Files other than JPEG: the format told from content, the containers walked to their TIFF
// structures, and damaged containers answered with a status text.

#include <gtest/gtest.h>

#include <ostream>

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
    bool operator==(const Read&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Read& r) {
    return out << r.found << " '" << r.status << "' " << FormatName(r.format) << " '" << r.make << "' '" << r.focal
               << "'";
}

Read ReadAs(std::string_view name, const Bytes& bytes) {
    TimgData reader;
    const bool found = reader.ReadJpegBytes(name, bytes);
    const auto text = [&reader](std::string_view tag) {
        return reader.ExifDirectory ? reader.ExifDirectory->TagTextByName(tag) : std::string();
    };
    return {found, reader.StatusText, reader.Format, text("Make"), text("FocalLength")};
}

Bytes B(std::string_view bytes) {
    return c::Text(bytes);
}

TEST(FormatFromContent, FirstBytesNameTheFormat) {
    using F = PhotoFormat;
    const std::pair<Bytes, F> cases[] = {
        {{0xFF, 0xD8, 0xFF, 0xE1}, F::Jpeg},
        {B({"II*\0\x08\0\0\0", 8}), F::Tiff},
        {B({"MM\0*", 4}), F::Tiff},
        {B({"II*\0\x10\0\0\0CR", 10}), F::Cr2},
        {B("IIRO"), F::Orf},
        {B("IIRS"), F::Orf},
        {B("MMOR"), F::Orf},
        {B({"IIU\0", 4}), F::Rw2},
        {B("FUJIFILMCCD-RAW 0201"), F::Raf},
        {B({"\0MRM", 4}), F::Mrw},
        {B({"II\x1a\0\0\0HEAPCCDR", 14}), F::Crw},
        {c::Ftyp("heic"), F::Heic},
        {c::Ftyp("mif1"), F::Heif},
        {c::Ftyp("heix"), F::Heif},
        {c::Ftyp("avif"), F::Avif},
        {c::Ftyp("crx "), F::Cr3},
        {c::Ftyp("qt  "), F::Unknown},
        {B("FUJIFILM</tiff:M"), F::Unknown},
        {B("\x89PNG"), F::Unknown},
        {{}, F::Unknown},
    };
    for (const auto& [bytes, format] : cases) EXPECT_EQ(FormatFromContent(bytes), format) << FormatName(format);
}

TEST(FormatFromContent, TiffFilesAreNamedByTagsThenExtensionThenMake) {
    using F = PhotoFormat;
    const struct {
        F content;
        std::string_view make;
        bool dng;
        std::string_view file;
        F named;
    } cases[] = {
        {F::Tiff, "Canon", true, "IMG_1.CR2", F::Dng}, {F::Tiff, "NIKON", false, "DSC_1.NRW", F::Nrw},
        {F::Tiff, "NIKON", false, "DSC_1", F::Nef},    {F::Tiff, "NIKON", false, "scan.tif", F::Tiff},
        {F::Tiff, "SONY", false, "a.sr2", F::Sr2},     {F::Tiff, "SONY", false, "a.raw", F::Arw},
        {F::Tiff, "PENTAX", false, "x", F::Pef},       {F::Tiff, "Hasselblad", false, "x", F::ThreeFr},
        {F::Tiff, "", false, "folder.nef/x", F::Tiff}, {F::Rw2, "LEICA", false, "x.rw2", F::Rwl},
        {F::Rw2, "Panasonic", false, "x.rwl", F::Rw2}, {F::Cr2, "Canon", false, "x.tif", F::Cr2},
    };
    for (const auto& [content, make, dng, file, named] : cases) {
        EXPECT_EQ(NameTiffFormat(content, make, dng, file), named) << file;
    }
}

TEST(TiffFiles, TheHeaderSaysWhereIfd0Is) {
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian);
        // A CR2 puts "CR" and the raw directory's offset after the header: IFD0 is at 16.
        Tiff tiff = Camera("Canon", bigEndian);
        tiff.ifd0OffsetField = 16;
        const Bytes header = tiff.Build();
        const Bytes cr2 = c::Cat({Bytes(header.begin(), header.begin() + 8),
                                  c::Text(std::string_view("CR\2\0\0\0\0\0", 8)), tiff.ifd0.Layout(16)});
        EXPECT_EQ(ReadAs("x.cr2", cr2), (Read{true, "<none>", PhotoFormat::Cr2, "Canon", "50.00 mm"}));
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
        EXPECT_EQ(ReadAs("x.heic", c::Heif("heic", item, layout)),
                  (Read{true, "<none>", PhotoFormat::Heic, "Apple", "50.00 mm"}))
            << name;
    }
    const Bytes withoutDistance(item.begin() + 4, item.end());
    EXPECT_EQ(ReadAs("x.heic", c::Heif("heic", withoutDistance)).make, "Apple");
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
        EXPECT_EQ(ReadAs("x.heic", bytes), (Read{false, status, PhotoFormat::Heic, "", ""})) << name;
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
    const Read canon{true, "<none>", PhotoFormat::Cr3, "Canon", ""};
    EXPECT_EQ(ReadAs("x.cr3", c::Cr3({ifd0.Build(), {}, CanonNoteTiff()})), canon);
    // A structure in the other byte order than CMT1's is left out.
    Tiff bigExif(true);
    bigExif.ifd0.Rational(0x920A, {{105, 1}});
    EXPECT_EQ(ReadAs("x.cr3", c::Cr3({ifd0.Build(), bigExif.Build()})), canon);
    EXPECT_EQ(ReadAs("x.cr3", c::Cr3({})), (Read{false, "No EXIF data", PhotoFormat::Cr3, "", ""}));
}

TEST(RafFiles, TheJpegTheHeaderPointsAtIsRead) {
    const Bytes jpeg = Jpeg().Soi().Exif(Camera("FUJIFILM", true)).Sos().Eoi().Build();
    EXPECT_EQ(ReadAs("x.raf", c::Raf(jpeg)), (Read{true, "<none>", PhotoFormat::Raf, "FUJIFILM", "50.00 mm"}));
    for (const auto& [offset, length] :
         {std::pair<std::uint32_t, std::uint32_t>{100000, 10}, {100, 0xFFFFFFF0}, {0xFFFFFFFF, 0xFFFFFFFF}, {50, 10}}) {
        EXPECT_EQ(ReadAs("x.raf", c::Raf(jpeg, offset, length)),
                  (Read{false, "RAF header points outside the file", PhotoFormat::Raf, "", ""}))
            << offset;
    }
}

TEST(RawFiles, MrwTtwBlockAndRw2EmbeddedJpegAreRead) {
    EXPECT_EQ(ReadAs("x.mrw", c::Mrw(Camera("Minolta", true).Build())),
              (Read{true, "<none>", PhotoFormat::Mrw, "Minolta", "50.00 mm"}));

    // IFD0 names the camera; the EXIF block with the exposure is in the JPEG of tag 0x2E.
    const Bytes jpeg = Jpeg().Soi().Exif(Camera("Panasonic")).Sos().Eoi().Build();
    Tiff raw;
    raw.ifd0.Ascii(0x010F, "Panasonic").Undefined(0x002E, jpeg);
    Bytes rw2 = raw.Build();
    rw2[2] = 'U';
    EXPECT_EQ(ReadAs("x.rw2", rw2), (Read{true, "<none>", PhotoFormat::Rw2, "Panasonic", "50.00 mm"}));
    // Without a JPEG there, IFD0 is what there is.
    Tiff bare;
    bare.ifd0.Ascii(0x010F, "LEICA");
    Bytes rwl = bare.Build();
    rwl[2] = 'U';
    EXPECT_EQ(ReadAs("x.rwl", rwl), (Read{true, "<none>", PhotoFormat::Rwl, "LEICA", ""}));
}

}  // namespace
}  // namespace quorvela::metadata

namespace quorvela::metadata {
namespace {

// A CRW: the header, then one heap of `records` (tag, bytes) whose table ends the file.
Bytes Crw(const std::vector<std::pair<std::uint16_t, Bytes>>& records, bool loop = false) {
    Bytes file = {'I', 'I', 14, 0, 0, 0, 'H', 'E', 'A', 'P', 'C', 'C', 'D', 'R'};
    const auto put = [&file](std::uint32_t value, int width) {
        for (int i = 0; i < width; ++i) file.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    std::vector<std::pair<std::uint32_t, std::uint32_t>> placed;  // offset in the heap, size
    for (const auto& [tag, bytes] : records) {
        placed.emplace_back(static_cast<std::uint32_t>(file.size() - 14), static_cast<std::uint32_t>(bytes.size()));
        file.insert(file.end(), bytes.begin(), bytes.end());
    }
    const auto table = static_cast<std::uint32_t>(file.size() - 14);
    put(static_cast<std::uint32_t>(records.size() + (loop ? 1 : 0)), 2);
    for (std::size_t i = 0; i < records.size(); ++i) {
        put(records[i].first, 2);
        put(placed[i].second, 4);
        put(placed[i].first, 4);
    }
    if (loop) {  // a sub-heap that is the heap itself
        put(0x300a, 2);
        put(static_cast<std::uint32_t>(file.size() + 10 + 4 - 14), 4);
        put(0, 4);
    }
    put(table, 4);
    return file;
}

TEST(CrwFiles, TheHeapsRecordsBecomeTheDirectoriesAndDamageIsAStatus) {
    const Bytes names = {'C', 'a', 'n', 'o', 'n', 0,   'C', 'a', 'n', 'o',
                         'n', ' ', 'E', 'O', 'S', ' ', 'D', '6', '0', 0};
    const Bytes focal = {0, 0, 50, 0, 0, 0, 0, 0};  // focal type, 50 mm, focal-plane sizes
    TimgData reader;
    ASSERT_TRUE(reader.ReadJpegBytes("a.crw", Crw({{0x080a, names}, {0x1029, focal}})));
    EXPECT_EQ(FormatName(reader.Format), "CRW");
    EXPECT_EQ(reader.ExifDirectory->TagTextByName("Model"), "Canon EOS D60");
    EXPECT_EQ(reader.ExifDirectory->TagTextByName("FocalLength"), "50.00 mm");

    // A heap that holds itself, a cut file and a table beyond the heap end with a status.
    EXPECT_TRUE(reader.ReadJpegBytes("loop.crw", Crw({{0x080a, names}}, true)));
    const Bytes whole = Crw({{0x080a, names}});
    EXPECT_FALSE(reader.ReadJpegBytes("cut.crw", Bytes(whole.begin(), whole.end() - 3)));
    EXPECT_EQ(reader.StatusText, "No camera records in the CRW file");
    Bytes far = whole;
    far[far.size() - 2] = 0x7F;
    EXPECT_FALSE(reader.ReadJpegBytes("far.crw", far));
}

}  // namespace
}  // namespace quorvela::metadata
