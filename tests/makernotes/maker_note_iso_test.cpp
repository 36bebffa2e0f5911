// The ISO each make's maker note keeps: its code tables, and where each kind of note keeps it.

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "metadata/image_info.h"
#include "metadata/img_data.h"
#include "metadata/makernotes/tables.h"
#include "note_files.h"

namespace quorvela::metadata {
namespace {

using samples::Ifd;
using testing::JpegWithNote;
using testing::NikonType3Note;
using testing::NoteCamera;
using testing::NoteMaker;
using testing::Read;
using testing::TiffRelativeNote;

using Iso = std::optional<std::int64_t>;

TEST(CanonCameraIso, CodesAndNumbers) {
    const std::pair<std::int64_t, Iso> cases[] = {
        {0, {}},
        {14, {}},
        {15, {}},
        {16, 50},
        {17, 100},
        {18, 200},
        {19, 400},
        {20, 800},
        {21, {}},
        {0x4000 + 320, 320},
        {0x4000 + 6400, 6400},
        {0x4000, {}},
        {0x7FFF, {}},
    };
    for (const auto& [field, iso] : cases) EXPECT_EQ(CanonCameraIso(field), iso) << field;
}

TEST(CanonShotIso, BaseTimesAutomaticFactor) {
    // {automatic, base, ISO}: raw 1/32 EV steps as the compacts of the corpus store them.
    const std::tuple<std::int64_t, std::int64_t, Iso> cases[] = {
        {0, 160, 100},  {0, 128, 50}, {0, 140, 65},      {96, 192, 1600},
        {32, 160, 200}, {0, 0, {}},   {65504, 192, 100}, {0, 224, 400},
    };
    for (const auto& [automatic, base, iso] : cases) EXPECT_EQ(CanonShotIso(automatic, base), iso) << base;
}

struct NoteIsoCase {
    const char* what;
    NoteCamera camera;
    NoteMaker note;
    Iso iso;
};

// A note of fixed fields: `bytes` as they stand.
NoteMaker Fixed(Bytes bytes) {
    return [bytes](std::uint32_t) { return bytes; };
}

// `size` zero bytes with `value` at `at` in the given order.
Bytes FieldAt(std::size_t size, std::string_view header, std::size_t at, std::uint16_t value, bool bigEndian) {
    Bytes bytes(size, 0);
    std::copy(header.begin(), header.end(), bytes.begin());
    bytes[at + (bigEndian ? 1 : 0)] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[at + (bigEndian ? 0 : 1)] = static_cast<std::uint8_t>(value >> 8);
    return bytes;
}

std::vector<NoteIsoCase> NoteIsoCases(bool big) {
    const auto ifd = [big] { return Ifd(big); };
    const NoteCamera nikon{"NIKON CORPORATION", "NIKON D90", "0221", big};
    const NoteCamera casio{"CASIO", "QV-3000EX", "0210", big};
    const NoteCamera pentax{"PENTAX Corporation", "PENTAX K10D", "0221", big};
    const NoteCamera kodak{"EASTMAN KODAK COMPANY", "KODAK DX4900 ZOOM DIGITAL CAMERA", "0210", big};
    const std::string_view aoc = big ? std::string_view("AOC\0MM", 6) : std::string_view("AOC\0II", 6);
    const std::string_view lo = std::string_view("\x44\x01\x0c\0\0\0\0\0\0\0\0\0\0\0", 14);
    return {
        {"Nikon: ISO used", nikon, NikonType3Note(ifd().Short(0x0002, {0, 400})), 400},
        {"Nikon: Lo 0.3 from the ISO info", nikon, NikonType3Note(ifd().Short(0x0002, {0, 0}).Undefined(0x0025, lo)),
         159},
        {"Nikon: no ISO", nikon, NikonType3Note(ifd().Short(0x0002, {0, 0})), {}},
        {"Nikon type 1",
         {"NIKON", "E950", "0210", big},
         TiffRelativeNote(std::string_view("Nikon\0\x01\0", 8), ifd().Short(0x0006, {2})),
         160},
        {"Casio: the field's number", casio, TiffRelativeNote("", ifd().Short(0x0014, {64})), 64},
        {"Casio QVC: code", casio, TiffRelativeNote(std::string_view("QVC\0\0\0", 6), ifd().Short(0x0014, {4})), 64},
        {"Casio QVC: number", casio, TiffRelativeNote(std::string_view("QVC\0\0\0", 6), ifd().Short(0x3014, {400})),
         400},
        {"Pentax: 1/3 EV code", pentax, TiffRelativeNote(aoc, ifd().Short(0x0014, {9})), 200},
        {"Pentax: 1/2 EV code", pentax, TiffRelativeNote(aoc, ifd().Short(0x0014, {267})), 1100},
        {"Pentax: Auto", pentax, TiffRelativeNote(aoc, ifd().Short(0x0014, {65535})), {}},
        {"Optio 430: code",
         {"Asahi Optical Co.,Ltd", "PENTAX Optio430", "0210", big},
         TiffRelativeNote("", ifd().Short(0x0014, {16})),
         200},
        {"Optio 430RS: Casio's layout",
         {"Asahi Optical Co.,Ltd", "PENTAX Optio 430RS", "0210", big},
         TiffRelativeNote(aoc, ifd().Short(0x0014, {6})),
         100},
        {"Kodak KDK INFO", kodak, Fixed(FieldAt(0xC0, "KDK INFO", 0x68, 108, true)), 108},
        {"Kodak KDK", kodak, Fixed(FieldAt(0xC0, "KDK", 0x68, 200, false)), 200},
        {"Kodak DC280", kodak,
         Fixed(FieldAt(0x80, std::string_view("\0\0\0\0\0\0\0\0\0\0\0\0\x07", 13), 0x4E, 100, true)), 100},
        {"Kodak dated", kodak,
         Fixed(FieldAt(0x80, std::string_view("IIII\x02\0XXXXXXXXXXXXXX2004/05/06 ", 31), 0x34, 80, false)), 80},
        {"Kodak directory", kodak, TiffRelativeNote(big ? "MM" : "II", ifd().Short(0x0001, {0}).Short(0x0014, {15})),
         800},
        {"Kodak KDK INFO cut before its ISO", kodak, Fixed(FieldAt(0x20, "KDK INFO", 0x10, 108, true)), {}},
        {"Pentax: directory claiming 65535 entries", pentax, Fixed(FieldAt(0x20, aoc, 6, 0xFFFF, big)), {}},
        {"Kodak name block",
         kodak,
         Fixed(FieldAt(0x80, std::string_view("\x01\0\0\0\0\0\x04\0DCAM\x07", 13), 0x4E, 100, true)),
         {}},
    };
}

TEST(MakerNoteIso, EachKindOfNoteKeepsItsIsoWhereItsCameraWritesIt) {
    for (const bool big : {false, true}) {
        for (const NoteIsoCase& c : NoteIsoCases(big)) {
            SCOPED_TRACE(std::string(c.what) + (big ? " (MM)" : " (II)"));
            TimgData reader;
            Read(reader, JpegWithNote(c.camera, c.note));
            ASSERT_NE(reader.ExifDirectory, nullptr);
            EXPECT_EQ(reader.ExifDirectory->MakerNoteIso, c.iso);
        }
    }
}

}  // namespace
}  // namespace quorvela::metadata
