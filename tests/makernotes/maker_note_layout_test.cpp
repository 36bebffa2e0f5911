// Which table and layout each make's note is read with, and where its offsets count from.

#include <gtest/gtest.h>

#include "metadata/img_data.h"
#include "note_files.h"

namespace quorvela::metadata {
namespace {

using samples::Ifd;
using testing::FujiNote;
using testing::JpegWithNote;
using testing::NikonType3Note;
using testing::NoteCamera;
using testing::NoteEntry;
using testing::NoteEntryCount;
using testing::NoteMaker;
using testing::NoteRelativeNote;
using testing::Read;
using testing::TiffRelativeNote;
using testing::TiffWithNote;

struct LayoutCase {
    const char* what;
    NoteCamera camera;
    NoteMaker note;
    bool decoded;
    const char* description;  // of an entry the note must yield; null when none
    const char* text;
};

// Each note holds a value longer than four bytes, so the offset base of its layout is
// checked as well: a wrong base reads the wrong bytes or none.
std::vector<LayoutCase> LayoutCases(bool bigEndian) {
    const auto ifd = [bigEndian] { return Ifd(bigEndian); };
    return {
        {"Nikon, ExifVersion above 0210: embedded TIFF header",
         {"NIKON", "E5700", "0220", bigEndian},
         NikonType3Note(ifd().Short(0x0002, {0, 200}).Ascii(0x0003, "COLOR")),
         true,
         "ISO Speed",
         "0, 200"},
        {"Nikon, ExifVersion 0210 with the newer note's header: still the newer layout",
         {"NIKON CORPORATION", "NIKON D300S", "0210", bigEndian},
         NikonType3Note(ifd().Short(0x0002, {0, 400}).Ascii(0x0003, "COLOR")),
         true,
         "ISO Speed",
         "0, 400"},
        {"Nikon, ExifVersion 0220 with the older note's header: still type 1",
         {"NIKON", "E950", "0220", bigEndian},
         TiffRelativeNote(std::string_view("Nikon\0\x01\0", 8), ifd().Ascii(0x0002, "08.00").Short(0x0006, {5})),
         true,
         "ISOSpeed",
         "ISO100"},
        {"Nikon, ExifVersion 0210 and a \"Nikon\" header: type 1 at byte 8",
         {"NIKON", "E950", "0210", bigEndian},
         TiffRelativeNote(std::string_view("Nikon\0\x01\0", 8), ifd().Ascii(0x0002, "08.00").Short(0x0006, {5})),
         true,
         "FamilyID",
         "\"08.00\""},
        {"Nikon type 1: a SHORT in the entry is its first two bytes",
         {"NIKON", "E950", "0210", bigEndian},
         TiffRelativeNote(std::string_view("Nikon\0\x01\0", 8), ifd().Ascii(0x0002, "08.00").Short(0x0006, {5})),
         true,
         "ISOSpeed",
         "ISO100"},
        {"Nikon without a header: type 2 at byte 0",
         {"NIKON", "E990", "0210", bigEndian},
         TiffRelativeNote("", ifd().Short(0x0002, {0, 100}).Ascii(0x0004, "FINE  ")),
         true,
         "Quality",
         "\"FINE  \""},
        {"Nikon without ExifVersion in a JPEG, D model: still type 1",
         {"NIKON", "NIKON D1", "", bigEndian},
         TiffRelativeNote(std::string_view("Nikon\0\x01\0", 8), ifd().Ascii(0x0002, "08.00")),
         true,
         "FamilyID",
         "\"08.00\""},
        {"Olympus is not decoded",
         {"OLYMPUS OPTICAL CO.,LTD", "C2000Z", "0210", bigEndian},
         TiffRelativeNote(std::string_view("OLYMP\0\x01\0", 8), ifd().Short(0x0200, {1, 2, 3})),
         false,
         nullptr,
         nullptr},
        {"Casio \"QVC\": type 2 at byte 6",
         {"CASIO COMPUTER CO.,LTD.", "EX-Z3", "0220", bigEndian},
         TiffRelativeNote(std::string_view("QVC\0\0\0", 6), ifd().Short(0x3014, {50}).Ascii(0x3006, "Tokyo")),
         true,
         "CCD Sensitivity",
         "50"},
        {"Casio \"QVC\": offsets from the TIFF header",
         {"CASIO COMPUTER CO.,LTD.", "EX-Z3", "0220", bigEndian},
         TiffRelativeNote(std::string_view("QVC\0\0\0", 6), ifd().Short(0x3014, {50}).Ascii(0x3006, "Tokyo")),
         true,
         "Time Zone",
         "\"Tokyo\""},
        {"Casio without a header: type 1 at byte 0",
         {"CASIO", "QV-3000EX", "0210", bigEndian},
         TiffRelativeNote("", ifd().Short(0x0014, {64}).Rational(0x0006, {{2500, 1}})),
         true,
         "CCDSensitivity",
         "Normal"},
        {"Canon: byte 0, offsets from the TIFF header",
         {"Canon", "Canon PowerShot G2", "0210", bigEndian},
         TiffRelativeNote("", ifd().Ascii(0x0006, "IMG:PowerShot G2 JPEG").Long(0x0008, {1030308})),
         true,
         "ImageType",
         "\"IMG:PowerShot G2 JPEG\""},
        {"Epson (make \"SEIKO EPSON\"): byte 8",
         {"SEIKO EPSON CORP.", "PhotoPC 3100Z", "0210", bigEndian},
         TiffRelativeNote(std::string_view("EPSON\0\x01\0", 8), ifd().Ascii(0x0209, "OLYMPUS DIGITAL CAMERA")),
         true,
         "CameraID",
         "\"OLYMPUS DIGITAL CAMERA\""},
        {"Sanyo: byte 8",
         {"SANYO Electric Co.,Ltd.", "SX113", "0210", bigEndian},
         TiffRelativeNote(std::string_view("SANYO\0\x01\0", 8), ifd().Short(0x0201, {3}).Long(0x0200, {0, 1, 2})),
         true,
         "Special Mode",
         "0, 1, 2"},
        {"Minolta: byte 0",
         {"Minolta Co., Ltd.", "DiMAGE 7i", "0220", bigEndian},
         TiffRelativeNote("", ifd().Undefined(0x0E00, "PrintIM0300")),
         true,
         "PIMdata",
         "\"PrintIM0300\""},
        {"Konica Minolta is another make",
         {"KONICA MINOLTA", "DiMAGE Z3", "0220", bigEndian},
         TiffRelativeNote("", ifd().Undefined(0x0E00, "PrintIM0300")),
         false,
         nullptr,
         nullptr},
        {"Pentax: byte 6, in the byte order after \"AOC\"",
         {"PENTAX Corporation", "K10D", "0221", bigEndian},
         TiffRelativeNote(bigEndian ? std::string_view("AOC\0MM", 6) : std::string_view("AOC\0II", 6),
                          ifd().Short(0x0001, {1}).Short(0x0014, {9})),
         true,
         "ISO Speed",
         "200"},
        {"Olympus is not decoded",
         {"OLYMPUS OPTICAL CO.,LTD", "C2000Z", "0210", bigEndian},
         TiffRelativeNote(std::string_view("OLYMP\0\x01\0", 8), ifd().Short(0x0200, {0, 1, 2})),
         false,
         nullptr,
         nullptr},
    };
}

TEST(MakerNoteLayout, EachMakeIsReadWithItsTableAndOffsetBase) {
    for (const bool bigEndian : {false, true}) {
        for (const LayoutCase& c : LayoutCases(bigEndian)) {
            SCOPED_TRACE(std::string(c.what) + (bigEndian ? " (MM)" : " (II)"));
            TimgData reader;
            Read(reader, JpegWithNote(c.camera, c.note));
            ASSERT_NE(reader.ExifDirectory, nullptr);
            EXPECT_EQ(reader.ExifDirectory->MakerNoteDecoded, c.decoded);
            if (c.description == nullptr) {
                EXPECT_EQ(NoteEntryCount(reader), 0);
                continue;
            }
            const TTagEntry* entry = NoteEntry(reader, c.description);
            ASSERT_NE(entry, nullptr);
            EXPECT_EQ(entry->Text, c.text);
        }
    }
}

TEST(MakerNoteLayout, FujiIsReadLittleEndianFromTheNoteStartAndTheFileOrderComesBack) {
    Ifd note(false);
    note.Short(0x1001, {3}).Ascii(0x1000, "NORMAL ").Short(0x1031, {256});
    const NoteCamera camera{"FUJIFILM", "FinePix40i", "0210", true};
    TimgData reader;
    // ExifImageWidth follows the note: it must be read big-endian again.
    Read(reader, JpegWithNote(camera, FujiNote(note), [](Ifd& ifd) { ifd.Long(0xA002, {3072}); }));
    ASSERT_NE(reader.ExifDirectory, nullptr);
    const TImageInfo& info = *reader.ExifDirectory;
    EXPECT_TRUE(info.MakerNoteDecoded);
    EXPECT_TRUE(info.BigEndian);
    EXPECT_EQ(info.PixelWidth, 3072);
    EXPECT_EQ(info.TagTextByName("ExifImageWidth"), "3072");
    ASSERT_NE(NoteEntry(reader, "Sharpness"), nullptr);
    EXPECT_EQ(NoteEntry(reader, "Sharpness")->Text, "Normal");
    ASSERT_NE(NoteEntry(reader, "Quality"), nullptr);
    EXPECT_EQ(NoteEntry(reader, "Quality")->Text, "\"NORMAL \"");
    ASSERT_NE(NoteEntry(reader, "PictureMode"), nullptr);
    EXPECT_EQ(NoteEntry(reader, "PictureMode")->Text, "Aperture prior AE");
}

TEST(MakerNoteLayout, NikonRawFileWithoutVersionAndADModelUsesTheEmbeddedHeader) {
    const NoteCamera camera{"NIKON CORPORATION", "NIKON D70", "", false};
    // A header other than "Nikon\0\2", so that only the model letter and the raw file decide.
    const auto note = NikonType3Note(Ifd(false).Short(0x0002, {0, 200}).Ascii(0x0004, "FINE  "),
                                     std::string_view("NIKON\0\0\0\0\0", 10));
    TimgData raw;
    Read(raw, TiffWithNote(camera, note), "photo.nef");
    ASSERT_NE(NoteEntry(raw, "ISO Speed"), nullptr);
    EXPECT_EQ(NoteEntry(raw, "ISO Speed")->Text, "0, 200");
    EXPECT_EQ(NoteEntry(raw, "Quality")->Text, "\"FINE  \"");

    // The same note in a JPEG without ExifVersion is taken for the older layout.
    TimgData jpeg;
    Read(jpeg, JpegWithNote(camera, note));
    EXPECT_TRUE(jpeg.ExifDirectory->MakerNoteDecoded);
    EXPECT_EQ(NoteEntry(jpeg, "ISO Speed"), nullptr);

    // With the newer note's own header the layout is known whatever the version says.
    TimgData headed;
    Read(headed, JpegWithNote(camera, NikonType3Note(Ifd(false).Short(0x0002, {0, 200}))));
    ASSERT_NE(NoteEntry(headed, "ISO Speed"), nullptr);
    EXPECT_EQ(NoteEntry(headed, "ISO Speed")->Text, "0, 200");
}

TEST(MakerNoteLayout, TiffHeaderOffsetsInARawFileCountFromItsHeader) {
    const NoteCamera camera{"Canon", "Canon EOS D30", "0210", false};
    TimgData raw;
    Read(raw, TiffWithNote(camera, TiffRelativeNote("", Ifd(false).Ascii(0x0007, "Firmware Version 1.0.4"))),
         "photo.nef");
    ASSERT_NE(NoteEntry(raw, "FirmwareVersion"), nullptr);
    EXPECT_EQ(NoteEntry(raw, "FirmwareVersion")->Text, "\"Firmware Version 1.0.4\"");
}

TEST(MakerNoteLayout, ModelWithoutASpaceIsJudgedByItsFirstLetter) {
    const auto note = NikonType3Note(Ifd(false).Short(0x0002, {0, 400}), std::string_view("NIKON\0\0\0\0\0", 10));
    TimgData d1;
    Read(d1, TiffWithNote({"NIKON", "D1", "", false}, note), "photo.nef");
    EXPECT_NE(NoteEntry(d1, "ISO Speed"), nullptr);
    TimgData e900;
    Read(e900, TiffWithNote({"NIKON", "E900", "", false}, note), "photo.nef");
    EXPECT_EQ(NoteEntry(e900, "ISO Speed"), nullptr);
}

}  // namespace
}  // namespace quorvela::metadata
