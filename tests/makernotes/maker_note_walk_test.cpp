// Walking one maker-note directory: what is listed, what is passed over, and how a broken
// note ends its walk.

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <stdexcept>

#include "metadata/img_data.h"
#include "metadata/maker_note.h"
#include "metadata/makernotes/tables.h"
#include "note_files.h"

namespace quorvela::metadata {
namespace {

using samples::Bytes;
using samples::Ifd;
using testing::JpegWithNote;
using testing::NikonType3Note;
using testing::NoteCamera;
using testing::NoteEntry;
using testing::NoteEntryCount;
using testing::Read;
using testing::TiffRelativeNote;
using testing::TiffWithNote;

const NoteCamera kCanon{"Canon", "Canon PowerShot S40", "0220", false};
const NoteCamera kNikon{"NIKON CORPORATION", "NIKON D70", "0221", true};

TEST(MakerNoteWalk, SkipRowsAndUnknownTagsAreNotListedAndTheWalkGoesOn) {
    Ifd note(true);
    note.Ascii(0x0001, "0210")
        .Raw(0x000A, 5, 1, note.U32(0x7FFF0000))  // a skipped rational whose offset leads nowhere
        .Short(0x00AA, {7})                       // not in the table
        .Ascii(0x0005, "AUTO  ");
    TimgData reader;
    Read(reader, JpegWithNote(kNikon, NikonType3Note(note)));
    const TImageInfo& info = *reader.ExifDirectory;
    EXPECT_EQ(reader.StatusText, "<none>");
    EXPECT_EQ(NoteEntryCount(reader), 2);
    ASSERT_NE(NoteEntry(reader, "Family ID"), nullptr);
    ASSERT_NE(NoteEntry(reader, "White Balance"), nullptr);
    EXPECT_EQ(NoteEntry(reader, "White Balance")->Text, "\"AUTO  \"");
    for (const TTagEntry& tag : info.Tags) {
        EXPECT_NE(tag.TagId, 0x000A);
        EXPECT_NE(tag.TagId, 0x00AA);
    }
}

TEST(MakerNoteWalk, EntriesCarryGroupOneAndComeBeforeTheMakerNoteEntry) {
    TimgData reader;
    Read(reader, JpegWithNote(kCanon, TiffRelativeNote("", Ifd(false).Long(0x0008, {1030308}).Ascii(0x0009, "Ann"))));
    const TImageInfo& info = *reader.ExifDirectory;
    const int makerNote = info.TagIndexByName("MakerNote");
    const int imageNumber = info.TagIndexByName("ImageNumber");
    const int owner = info.TagIndexByName("OwnerName");
    ASSERT_GE(makerNote, 0);
    ASSERT_GE(imageNumber, 0);
    ASSERT_GE(owner, 0);
    EXPECT_LT(imageNumber, owner);
    EXPECT_LT(owner, makerNote);
    const TTagEntry& entry = info.Tags[static_cast<std::size_t>(imageNumber)];
    EXPECT_EQ(entry.Group, 1);
    EXPECT_EQ(entry.ValueType, 4);
    EXPECT_EQ(entry.Text, "1030308");
    EXPECT_EQ(entry.RawBytes, (Bytes{0xA4, 0xB8, 0x0F, 0x00}));
    EXPECT_EQ(entry.ByteLength, 4);
    EXPECT_EQ(info.Tags[static_cast<std::size_t>(makerNote)].Group, 0);
}

TEST(MakerNoteWalk, ValueBeyondTheNoteIsReadFromTheExifBlock) {
    // The note's ImageType points at the Make text, which lies before the note.
    const auto noteWith = [](std::uint32_t makeOffset) {
        const Ifd ifd(false);
        return TiffRelativeNote("", Ifd(false).Raw(0x0006, 2, 6, ifd.U32(makeOffset)));
    };
    const Bytes probe = TiffWithNote(kCanon, noteWith(0));
    const Bytes make = samples::ToBytes(std::string_view("Canon\0", 6));
    const auto at = std::search(probe.begin(), probe.end(), make.begin(), make.end());
    ASSERT_NE(at, probe.end());
    TimgData reader;
    Read(reader, JpegWithNote(kCanon, noteWith(static_cast<std::uint32_t>(at - probe.begin()))));
    ASSERT_NE(NoteEntry(reader, "ImageType"), nullptr);
    EXPECT_EQ(NoteEntry(reader, "ImageType")->Text, "\"Canon\"");
}

// A directory read straight from the note bytes, so the status text of a failed walk stays.
struct DirectWalk {
    TimgData reader;
    TImageInfo info{&reader, true, '.'};
    std::span<const TagRow> table = CanonRows();
    void Walk(const Bytes& noteBytes) {
        info.Block = Bytes(200, 0);  // the EXIF block: the note's own bytes and a little more
        std::copy(noteBytes.begin(), noteBytes.end(), info.Block.begin() + 20);
        MakerNoteBlock note;
        note.Block = noteBytes;
        note.Position = 21;
        WalkMakerNoteDirectory(info, note, table, 1, 9 - note.Position + 1);
    }
};

TEST(MakerNoteWalk, ValueOutsideTheExifBlockEndsTheWalkAndKeepsWhatCameBefore) {
    const Ifd ifd(false);
    DirectWalk walk;
    walk.Walk(Ifd(false).Long(0x0008, {7}).Raw(0x0006, 2, 10, ifd.U32(60000)).Long(0x000C, {9}).Layout(0));
    EXPECT_EQ(walk.reader.StatusText.rfind("Error Detected = ", 0), 0u) << walk.reader.StatusText;
    ASSERT_EQ(walk.info.TagCount(), 1);
    EXPECT_EQ(walk.info.Tags[0].TagName, "ImageNumber");
}

TEST(MakerNoteWalk, EntryTableLongerThanTheNoteEndsTheWalk) {
    Bytes note = Ifd(false).Long(0x0008, {7}).Long(0x000C, {9}).Layout(0);
    note[0] = 40;  // forty entries announced, two present
    note.resize(2 + 24);
    DirectWalk walk;
    walk.Walk(note);
    EXPECT_EQ(walk.reader.StatusText.rfind("Error Detected = ", 0), 0u) << walk.reader.StatusText;
    EXPECT_EQ(walk.info.TagCount(), 2);
}

TEST(MakerNoteWalk, NoteTooShortForItsCountEndsAtOnce) {
    DirectWalk walk;
    walk.Walk(Bytes{5});
    EXPECT_EQ(walk.reader.StatusText.rfind("Error Detected = ", 0), 0u);
    EXPECT_EQ(walk.info.TagCount(), 0);
}

TEST(MakerNoteWalk, ReaderThatKeepsNoTagsListsNothingAndReadsNoValue) {
    const Ifd ifd(false);
    DirectWalk walk;
    walk.info.CollectTags = false;
    walk.Walk(Ifd(false).Long(0x0008, {7}).Raw(0x0006, 2, 10, ifd.U32(60000)).Layout(0));
    EXPECT_EQ(walk.info.TagCount(), 0);
    EXPECT_EQ(walk.reader.StatusText, "");
}

std::string FailsAtOnce(const std::string& /*text*/, RenderContext& /*context*/) {
    throw std::invalid_argument("no display form");
}

std::string FailsAfterAnItem(const std::string& /*text*/, RenderContext& context) {
    AddMakerNoteItem(*context.Directory, "Half", "done");
    context.MultiLineResult = true;
    throw std::invalid_argument("half a display form");
}

struct FailingRendererCase {
    const char* what;
    TagRenderer renderer;
    Bytes note;
    const char* text;  // the tested entry's text: its plain value text
};

TEST(MakerNoteWalk, AFailingRendererFailsOnlyItsOwnEntry) {
    const FailingRendererCase cases[] = {
        {"a number", FailsAtOnce, Ifd(false).Long(0x0001, {7}).Long(0x0002, {9}).Layout(0), "7"},
        {"a text with a control character", FailsAtOnce,
         Ifd(false)
             .Ascii(0x0001,
                    "A\x01"
                    "B")
             .Long(0x0002, {9})
             .Layout(0),
         "\"A.B\""},
        {"items added before the failure", FailsAfterAnItem, Ifd(false).Long(0x0001, {7}).Long(0x0002, {9}).Layout(0),
         "7"},
    };
    for (const FailingRendererCase& c : cases) {
        SCOPED_TRACE(c.what);
        const TagRow rows[] = {{0x0001, "Tested", "Tested", {}, {}, c.renderer}, {0x0002, "Next", "Next"}};
        DirectWalk walk;
        walk.table = rows;
        walk.Walk(c.note);
        EXPECT_EQ(walk.reader.StatusText, "");
        ASSERT_EQ(walk.info.TagCount(), 2);
        EXPECT_EQ(walk.info.Tags[0].TagName, "Tested");
        EXPECT_EQ(walk.info.Tags[0].Text, c.text);
        EXPECT_EQ(walk.info.Tags[1].TagName, "Next");
        EXPECT_EQ(walk.info.Tags[1].Text, "9");
    }
}

TEST(MakerNoteWalk, TextsAreCutToFiftyCharactersWithControlsShownAsDots) {
    const std::string owner(80, 'x');
    TimgData reader;
    Read(reader,
         JpegWithNote(
             kCanon,
             TiffRelativeNote("", Ifd(false).Ascii(0x0009, owner).Undefined(0x000C, std::string_view("A\0B\x1F", 4)))));
    ASSERT_NE(NoteEntry(reader, "OwnerName"), nullptr);
    EXPECT_EQ(NoteEntry(reader, "OwnerName")->Text, "\"" + std::string(49, 'x'));
    // UNDEFINED keeps every byte, zeros included, between its quotes.
    ASSERT_NE(NoteEntry(reader, "CameraSerialNumber"), nullptr);
    EXPECT_EQ(NoteEntry(reader, "CameraSerialNumber")->Text, "\"A.B.\"");
}

TEST(MakerNoteWalk, CanonCameraSettingsAddItemsBeforeTheirEntryWhichKeepsTheNumbers) {
    Ifd note(false);
    // Field 0 is the byte length; field 1 macro mode; field 16 the CCD ISO code.
    note.Raw(0x0001, 3, 17, [&] {
        Bytes b;
        for (std::uint16_t v : {34, 2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 17}) {
            const Bytes p = note.U16(v);
            b.insert(b.end(), p.begin(), p.end());
        }
        return b;
    }());
    TimgData reader;
    Read(reader, JpegWithNote(kCanon, TiffRelativeNote("", note)));
    const TImageInfo& info = *reader.ExifDirectory;
    const TTagEntry* iso = NoteEntry(reader, "CCD ISO");
    ASSERT_NE(iso, nullptr);
    EXPECT_EQ(iso->Text, "100");
    EXPECT_EQ(iso->TagName, "CCD ISO");
    EXPECT_EQ(iso->ValueType, 2);
    EXPECT_EQ(iso->RawPosition, 0);
    EXPECT_EQ(iso->ByteLength, 3);
    EXPECT_EQ(std::string(iso->RawBytes.begin(), iso->RawBytes.end()), "100");
    EXPECT_NE(iso->TagId, 0);
    ASSERT_NE(NoteEntry(reader, "Macro mode"), nullptr);
    EXPECT_EQ(NoteEntry(reader, "Macro mode")->Text, "Normal");
    const int settings = info.TagIndexByName("ExposureInfo1");
    ASSERT_GE(settings, 0);
    EXPECT_EQ(info.Tags[static_cast<std::size_t>(settings)].Text,
              "34, 2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 17");
    EXPECT_LT(info.TagIndexByName("CCD ISO"), settings);
}

// A directory whose maker note is read straight from `note`, placed at byte 21 of the EXIF
// block (TIFF offset 12) so that its offsets count as in a JPEG.
struct PlacedNote {
    TimgData reader;
    TImageInfo info{&reader, true, '.'};
    PlacedNote(std::string_view make, const Bytes& note) {
        info.MakeText = std::string(make);
        info.Block = Bytes(20, 0);
        info.Block.insert(info.Block.end(), note.begin(), note.end());
        info.Block.resize(info.Block.size() + 20);
        info.MakerNoteBytes = note;
        info.MakerNotePosition = 21;
    }
};

// A little-endian note of `count` unknown entries that all point at one value of `size` bytes,
// then a Canon LensModel of `lensSize` bytes: the unknown entries use up the value budget.
Bytes NoteSpendingTheBudget(int count, std::uint32_t size, std::uint32_t lensSize) {
    const Ifd le(false);
    const auto entries = static_cast<std::uint32_t>(count + 1);
    const std::uint32_t data = 12 + 2 + 12 * entries + 4;  // TIFF offset of the shared value
    Bytes note = le.U16(static_cast<std::uint16_t>(entries));
    const auto add = [&](std::uint16_t tag, std::uint16_t type, std::uint32_t n, std::uint32_t offset) {
        for (const Bytes& part : {le.U16(tag), le.U16(type), le.U32(n), le.U32(offset)})
            note.insert(note.end(), part.begin(), part.end());
    };
    for (int i = 0; i < count; ++i) add(0x00AA, 7, size, data);
    add(0x0095, 2, lensSize, data + size);
    note.resize(note.size() + 4 + size, 'x');
    note.resize(note.size() + lensSize, 'L');
    return note;
}

struct LensEntryCase {
    const char* what;
    std::string_view make;
    Bytes note;
    std::size_t entries;    // how many lens entries the decode lists
    std::size_t firstSize;  // the value bytes of the first
};

// Looking up the lens entries of a note must give what decoding all of it lists under their
// names, in the same order and with the same bytes, and leave the note as it was.
TEST(MakerNoteWalk, LensEntriesFoundWithoutDecodingAreThoseTheDecodeLists) {
    const Ifd le(false);
    const LensEntryCase cases[] = {
        {"a Canon lens after other entries", "Canon",
         Ifd(false).Long(0x0008, {7}).Ascii(0x0095, "EF-S18-55mm f/3.5-5.6 IS").Layout(12), 1, 25},
        {"a value outside the block ends the walk before the lens", "Canon",
         Ifd(false).Raw(0x0006, 2, 10, le.U32(60000)).Ascii(0x0095, "EF50mm f/1.8").Layout(12), 0, 0},
        {"a skipped entry leading nowhere does not end it", "Canon",
         Ifd(false).Raw(0x0002, 5, 1, le.U32(0x7FFF0000)).Ascii(0x0095, "EF50mm f/1.8").Layout(12), 1, 13},
        {"the value budget spent before the lens clips it", "Canon", NoteSpendingTheBudget(70, 59918, 100), 1, 64},
        {"a Canon lens name under another make is no lens entry", "CASIO",
         Ifd(false).Ascii(0x0095, "EF50mm f/1.8").Layout(12), 0, 0},
        {"every Nikon lens information, in order", "NIKON CORPORATION",
         NikonType3Note(Ifd(false)
                            .Rational(0x0084, {{180, 10}, {550, 10}, {35, 10}, {56, 10}})
                            .Rational(0x0084, {{500, 10}, {500, 10}, {18, 10}, {18, 10}}))(0),
         2, 32},
    };
    constexpr std::string_view kNames[] = {"LensModel", "LensInformation"};
    for (const LensEntryCase& c : cases) {
        SCOPED_TRACE(c.what);
        PlacedNote decoded(c.make, c.note);
        TmsInfo(decoded.info, false).ReadMakerNote();
        std::vector<const TTagEntry*> listed;
        for (const TTagEntry& tag : decoded.info.Tags) {
            if (std::find(std::begin(kNames), std::end(kNames), tag.TagName.view()) != std::end(kNames))
                listed.push_back(&tag);
        }
        PlacedNote looked(c.make, c.note);
        const std::vector<TTagEntry> found = TmsInfo(looked.info, false).FindEntries(kNames);
        EXPECT_TRUE(looked.info.Tags.empty());
        EXPECT_EQ(looked.info.MakerNoteBytes, c.note);
        ASSERT_EQ(listed.size(), c.entries);
        ASSERT_EQ(found.size(), c.entries);
        if (c.entries > 0) {
            EXPECT_EQ(found[0].RawBytes.size(), c.firstSize);
        }
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].Group, 1);
            EXPECT_EQ(found[i].TagName.view(), listed[i]->TagName.view());
            EXPECT_EQ(found[i].ValueType, listed[i]->ValueType);
            EXPECT_EQ(found[i].RawBytes, listed[i]->RawBytes);
            EXPECT_EQ(found[i].RawPosition, listed[i]->RawPosition);
        }
    }
}

}  // namespace
}  // namespace quorvela::metadata
