// make_fuzz_regressions FOLDER: writes the crafted inputs kept in tests/fuzz/regressions.
// Each file is a small JPEG (or TIFF) with one structure that a careless reader would follow
// out of bounds, around in circles or into an overflow; the file name says which. Run again
// after changing a maker, and keep fuzz findings beside them under names of their own.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "container_writer.h"
#include "exif_writer.h"

namespace quorvela::samples {
namespace {

// Where the first entry of IFD0 starts in a TIFF built by Tiff::Build.
constexpr std::size_t kIfd0Entries = 8 + 2;

void PutU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetU32(const Bytes& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | bytes[at + i];
    return value;
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes JpegOfTiff(const Bytes& tiff) {
    return Jpeg().Soi().Segment(0xE1, Concat(ToBytes(std::string_view("Exif\0\0", 6)), tiff)).Sos().Eoi().Build();
}

Bytes JpegOf(const Tiff& tiff) {
    return JpegOfTiff(tiff.Build());
}

// A camera's usual directories: IFD0 with make and model, the EXIF directory with exposure.
Tiff Camera(std::string_view make, std::function<void(Ifd&)> exifMore = {}, bool bigEndian = false) {
    Ifd exif(bigEndian);
    exif.Rational(0x829A, {{1, 250}}).Rational(0x829D, {{28, 10}}).Short(0x8827, {200});
    exif.Undefined(0x9000, "0230").Rational(0x920A, {{70, 10}});
    if (exifMore) exifMore(exif);
    Tiff tiff(bigEndian);
    tiff.ifd0.Ascii(0x010F, make).Ascii(0x0110, "Model 1").Link(0x8769, std::move(exif));
    return tiff;
}

Tiff WithNote(std::string_view make, const Bytes& note) {
    return Camera(make, [&note](Ifd& exif) { exif.Undefined(0x927C, note); });
}

// IFD0's next-directory field, after its `entries` entries.
Bytes NextIfdPointsAt(Tiff tiff, int entries, std::uint32_t target) {
    Bytes bytes = tiff.Build();
    PutU32(bytes, kIfd0Entries + 12 * entries, target);
    return bytes;
}

// The EXIF directory holds an interoperability link back to itself.
Bytes ExifDirectoryLinksToItself() {
    const auto withLink = [](std::uint32_t to) {
        return Camera("Canon", [to](Ifd& exif) { exif.LinkTo(0xA005, to); }).Build();
    };
    const std::uint32_t exifOffset = GetU32(withLink(0), kIfd0Entries + 2 * 12 + 8);
    return JpegOfTiff(withLink(exifOffset));
}

Bytes DirectoryCountPastTheEnd() {
    Bytes tiff = Camera("Canon").Build();
    tiff[8] = 0xFF;
    tiff[9] = 0xFF;
    return JpegOfTiff(tiff);
}

Bytes Truncated(Bytes bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

Bytes NikonNote(const Bytes& directory, std::uint32_t ifdOffset = 8) {
    Bytes note = ToBytes(std::string_view("Nikon\0\x02\x10\0\0II*\0", 14));
    note.resize(18);
    PutU32(note, 14, ifdOffset);
    return Concat(note, directory);
}

// One maker-note entry of a little-endian directory, with its own entry count before it.
Bytes NoteDirectory(std::uint16_t count, std::uint16_t tag, std::uint16_t type, std::uint32_t n, std::uint32_t value) {
    Bytes bytes = {static_cast<std::uint8_t>(count),
                   static_cast<std::uint8_t>(count >> 8),
                   static_cast<std::uint8_t>(tag),
                   static_cast<std::uint8_t>(tag >> 8),
                   static_cast<std::uint8_t>(type),
                   static_cast<std::uint8_t>(type >> 8),
                   0,
                   0,
                   0,
                   0,
                   0,
                   0,
                   0,
                   0,
                   0,
                   0,
                   0,
                   0};
    PutU32(bytes, 6, n);
    PutU32(bytes, 10, value);
    return bytes;
}

// APP13 with one 8BIM IPTC resource whose size field says `size`, holding `datasets`.
Bytes PhotoshopSegment(std::uint32_t size, const Bytes& datasets, std::uint8_t nameLength = 0) {
    Bytes payload =
        ToBytes(std::string_view("Photoshop 3.0\0"
                                 "8BIM\x04\x04",
                                 20));
    payload.insert(payload.end(), {nameLength, 0});
    payload.insert(payload.end(), {static_cast<std::uint8_t>(size >> 24), static_cast<std::uint8_t>(size >> 16),
                                   static_cast<std::uint8_t>(size >> 8), static_cast<std::uint8_t>(size)});
    return Jpeg().Soi().Segment(0xED, Concat(payload, datasets)).Sos().Eoi().Build();
}

Bytes Iptc(const Bytes& datasets) {
    return PhotoshopSegment(static_cast<std::uint32_t>(datasets.size()), datasets);
}

namespace c = containers;

// Where the first `mark` (a box type) stands.
std::ptrdiff_t FindMark(const Bytes& bytes, std::string_view mark) {
    return std::search(bytes.begin(), bytes.end(), mark.begin(), mark.end()) - bytes.begin();
}

// Overwrites the bytes `skip` bytes after the first `mark` with `value` (-4: its box's size).
Bytes PatchAfter(Bytes bytes, std::string_view mark, std::ptrdiff_t skip, const Bytes& value) {
    std::copy(value.begin(), value.end(), bytes.begin() + FindMark(bytes, mark) + skip);
    return bytes;
}

Bytes PhoneHeif(const c::HeifLayout& layout = {}) {
    return c::Heif("heic", c::ExifItem(Camera("Apple")), layout);
}

// Where, after the type of a version-0 'iloc' box, its one extent's offset and length stand.
constexpr std::ptrdiff_t kIlocExtentOffset = 18;
constexpr std::ptrdiff_t kIlocExtentLength = 22;

Bytes NestedMetaBoxes(int depth) {
    Bytes inner = c::Box("free", {});
    for (int i = 0; i < depth; ++i) inner = c::Box("meta", inner);
    return c::Cat({c::Ftyp("heic"), inner});
}

Bytes ManyEmptyBoxes(int count) {
    Bytes bytes = c::Ftyp("heic");
    for (int i = 0; i < count; ++i) bytes = c::Cat({bytes, c::Box("free", {})});
    return c::Cat({bytes, PhoneHeif()});
}

// The Exif item's extent covers the 'meta' box that locates it.
Bytes ExifItemPointsAtItself() {
    const Bytes file = PhoneHeif();
    const auto meta = static_cast<std::uint64_t>(FindMark(file, "meta") - 4);
    const Bytes withOffset = PatchAfter(file, "iloc", kIlocExtentOffset, c::Be(meta, 4));
    return PatchAfter(withOffset, "iloc", kIlocExtentLength, c::Be(64, 4));
}

Bytes CanonCr3(const Bytes& ifd0) {
    Tiff exif;
    exif.ifd0.Rational(0x920A, {{50, 1}});
    return c::Cr3({ifd0, exif.Build(), Tiff().Build()});
}

Bytes Rw2WithJpegAt(std::uint32_t offset, std::uint32_t length) {
    Tiff raw;
    raw.ifd0.Ascii(0x010F, "Panasonic").Raw(0x002E, 7, length, raw.ifd0.U32(offset));
    Bytes bytes = raw.Build();
    bytes[2] = 'U';
    return bytes;
}

// An XMP packet of one rdf:Description with `properties` as its attributes.
std::string XmpPacket(std::string_view properties, std::string_view doctype = "") {
    std::string text(doctype);
    text.append("<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>")
        .append(
            "<rdf:Description xmlns:xmp='http://ns.adobe.com/xap/1.0/' xmlns:xmpNote='http://ns.adobe.com/xmp/note/' ")
        .append(properties)
        .append("/></rdf:RDF></x:xmpmeta>");
    return text;
}

constexpr std::string_view kXmpGuid = "0123456789ABCDEF0123456789ABCDEF";

Bytes XmpStandard(std::string_view packet) {
    return Concat(ToBytes(std::string_view("http://ns.adobe.com/xap/1.0/\0", 29)), ToBytes(packet));
}

Bytes XmpChunk(std::uint32_t full, std::uint32_t offset, std::string_view data) {
    const Bytes header = c::Cat({ToBytes(std::string_view("http://ns.adobe.com/xmp/extension/\0", 35)),
                                 ToBytes(kXmpGuid), c::Be(full, 4), c::Be(offset, 4)});
    return Concat(header, ToBytes(data));
}

Bytes JpegWithXmp(const std::vector<Bytes>& segments) {
    Jpeg jpeg;
    jpeg.Soi().Exif(Camera("Canon"));
    for (const Bytes& segment : segments) jpeg.Segment(0xE1, segment);
    return jpeg.Sos().Eoi().Build();
}

Bytes ThousandEmptyXmpChunks() {
    std::vector<Bytes> segments{XmpStandard(XmpPacket("xmpNote:HasExtendedXMP='" + std::string(kXmpGuid) + "'"))};
    for (int i = 0; i < 1000; ++i) segments.push_back(XmpChunk(1000, static_cast<std::uint32_t>(i), ""));
    return JpegWithXmp(segments);
}

Bytes XmpEntityBomb() {
    std::string doctype = "<!DOCTYPE x:xmpmeta [<!ENTITY a0 'aaaaaaaaaa'>";
    for (int i = 1; i < 10; ++i) {
        std::string value;
        for (int j = 0; j < 10; ++j) value += "&a" + std::to_string(i - 1) + ";";
        doctype += "<!ENTITY a" + std::to_string(i) + " '" + value + "'>";
    }
    return XmpStandard(XmpPacket("xmp:Label='&a9;'", doctype + "]>"));
}

struct Crafted {
    const char* name;
    std::function<Bytes()> make;
};

// clang-format off
const std::vector<Crafted>& CraftedInputs() {
    static const std::vector<Crafted> inputs = {
        {"jpeg-cut-inside-the-exif-segment.jpg", [] { return Truncated(JpegOf(Camera("Canon")), 40); }},
        {"jpeg-cut-after-the-start-marker.jpg", [] { return Bytes{0xFF, 0xD8, 0xFF}; }},
        {"segment-length-below-two.jpg", [] { return Bytes{0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x01, 'E', 'x', 0xFF, 0xD9}; }},
        {"segment-length-past-the-end.jpg", [] { return Concat({0xFF, 0xD8, 0xFF, 0xE1, 0xFF, 0xFF}, ToBytes(std::string_view("Exif\0\0II*\0\x08\0\0\0", 14))); }},
        {"exif-segment-without-tiff.jpg", [] { return Jpeg().Soi().Segment(0xE1, ToBytes(std::string_view("Exif\0\0", 6))).Eoi().Build(); }},
        {"ifd0-next-directory-is-itself.jpg", [] { return JpegOfTiff(NextIfdPointsAt(Camera("Canon"), 3, 8)); }},
        {"exif-directory-link-is-ifd0.jpg", [] { Tiff t; t.ifd0.Ascii(0x010F, "Canon").LinkTo(0x8769, 8); return JpegOf(t); }},
        {"exif-directory-links-to-itself.jpg", ExifDirectoryLinksToItself},
        {"ifd0-offset-past-the-end.jpg", [] { Tiff t = Camera("Canon"); t.ifd0OffsetField = 0x7FFFFFF0; return JpegOf(t); }},
        {"ifd0-offset-inside-the-header.jpg", [] { Tiff t = Camera("Canon"); t.ifd0OffsetField = 1; return JpegOf(t); }},
        {"ifd0-entry-count-past-the-end.jpg", DirectoryCountPastTheEnd},
        {"gps-directory-offset-past-the-end.jpg", [] { Tiff t = Camera("Canon"); t.ifd0.LinkTo(0x8825, 0xFFFFFFF0); return JpegOf(t); }},
        {"value-offset-past-the-end.jpg", [] { return JpegOf(Camera("Canon", [](Ifd& e) { e.Raw(0x9003, 2, 64, e.U32(0xFFFFFFF0)); })); }},
        {"rational-count-overflows-to-one-value.jpg", [] { return JpegOf(Camera("Canon", [](Ifd& e) { e.Raw(0x9204, 10, 0x20000001, e.U32(8)); })); }},
        {"long-count-overflows-to-an-inline-value.jpg", [] { return JpegOf(Camera("Canon", [](Ifd& e) { e.Raw(0xA002, 4, 0x40000001, e.U32(640)); })); }},
        {"unknown-and-zero-value-types.jpg", [] { return JpegOf(Camera("Canon", [](Ifd& e) { e.Raw(0xA001, 0, 5, e.U32(1)).Raw(0xA002, 0xFFFF, 1, e.U32(1)); })); }},
        {"extreme-rationals-and-shorts.jpg", [] { return JpegOf(Camera("Canon", [](Ifd& e) {
             e.SRational(0x9201, {{INT32_MIN, -1}}).SRational(0x9204, {{INT32_MIN, 0}}).Rational(0xA20E, {{0xFFFFFFFF, 0}}).Short(0xA405, {0xFFFF});
         })); }},
        {"big-endian-texts-without-terminator.jpg", [] { Tiff t(true); t.ifd0.Ascii(0x010F, "NIKON CORPORATION", false).Ascii(0x0110, std::string(300, 'D'), false); return JpegOf(t); }},
        {"nikon-note-directory-offset-past-the-end.jpg", [] { return JpegOf(WithNote("NIKON CORPORATION", NikonNote({}, 0xFFFFFF00))); }},
        {"nikon-note-value-offset-past-the-end.jpg", [] { return JpegOf(WithNote("NIKON CORPORATION", NikonNote(NoteDirectory(1, 0x0084, 5, 4, 0x7FFFFFF0)))); }},
        {"nikon-note-huge-count.jpg", [] { return JpegOf(WithNote("NIKON CORPORATION", NikonNote(NoteDirectory(1, 0x0001, 7, 0xFFFFFFFF, 8)))); }},
        {"canon-note-entry-count-past-the-end.jpg", [] { return JpegOf(WithNote("Canon", NoteDirectory(0x7FFF, 0x0001, 3, 1, 0))); }},
        {"canon-note-value-offset-before-the-block.jpg", [] { return JpegOf(WithNote("Canon", NoteDirectory(1, 0x0001, 3, 40, 0xFFFFFF00))); }},
        {"fuji-note-directory-offset-past-the-end.jpg", [] { return JpegOf(WithNote("FUJIFILM", Concat(ToBytes("FUJIFILM"), {0x00, 0x00, 0xFF, 0xFF}))); }},
        {"casio-note-huge-entry-count.jpg", [] { return JpegOf(WithNote("CASIO COMPUTER CO.,LTD.", Concat(ToBytes(std::string_view("QVC\0\0\0", 6)), {0xFF, 0xFF}))); }},
        {"iptc-dataset-length-past-the-end.jpg", [] { return Iptc(Concat(IptcDataset(2, 25, "a"), {0x1C, 0x02, 0x19, 0x7F, 0xFF, 'x'})); }},
        {"iptc-extended-dataset-length.jpg", [] { return Iptc({0x1C, 0x02, 0x78, 0x80, 0x04, 0xFF, 0xFF, 0xFF, 0xFF, 'x'}); }},
        {"iptc-resource-size-past-the-segment.jpg", [] { return PhotoshopSegment(0x7FFFFFFF, IptcDataset(2, 5, "title")); }},
        {"iptc-resource-name-past-the-segment.jpg", [] { return PhotoshopSegment(8, IptcDataset(2, 5, "title"), 0xFF); }},
        {"tiff-file-with-a-directory-loop.tif", [] { return NextIfdPointsAt(Camera("NIKON CORPORATION", {}, false), 3, 8); }},
        {"heic-meta-size-past-the-end.heic", [] { return PatchAfter(PhoneHeif(), "meta", -4, c::Be(0x7FFFFFFF, 4)); }},
        {"heic-meta-64bit-size-past-the-end.heic", [] { return PatchAfter(PhoneHeif({0, 0, 4, 4, 0, 1, true}), "meta", 4, c::Be(0xFFFFFFFFFFFFFFF0, 8)); }},
        {"heic-box-size-smaller-than-its-header.heic", [] { return PatchAfter(PhoneHeif(), "iinf", -4, c::Be(3, 4)); }},
        {"heic-nested-meta-boxes.heic", [] { return NestedMetaBoxes(2000); }},
        {"heic-many-empty-boxes.heic", [] { return ManyEmptyBoxes(6000); }},
        {"heic-iloc-extent-outside-the-file.heic", [] { return PatchAfter(PhoneHeif(), "iloc", kIlocExtentOffset, c::Be(0xFFFFFFF0, 4)); }},
        {"heic-iloc-extent-length-past-the-end.heic", [] { return PatchAfter(PhoneHeif(), "iloc", kIlocExtentLength, c::Be(0xFFFFFFFF, 4)); }},
        {"heic-iloc-many-extents.heic", [] { return PhoneHeif({1, 0, 4, 4, 0, 300}); }},
        {"heic-iloc-extent-count-without-extents.heic", [] { return PatchAfter(PhoneHeif({1, 0, 0, 0}), "iloc", 18, c::Be(0xFFFF, 2)); }},
        {"heic-iloc-item-count-past-the-box.heic", [] { return PatchAfter(PhoneHeif({2}), "iloc", 10, c::Be(0xFFFFFFFF, 4)); }},
        {"heic-exif-item-points-at-itself.heic", ExifItemPointsAtItself},
        {"heic-exif-tiff-offset-past-the-item.heic", [] { return c::Heif("heic", c::Cat({c::Be(0xFFFFFFF0, 4), Camera("Apple").Build()})); }},
        {"cr3-cmt1-ifd-offset-past-the-end.cr3", [] { Tiff t = Camera("Canon"); t.ifd0OffsetField = 0xFFFFFFF0; return CanonCr3(t.Build()); }},
        {"cr3-cmt-box-size-past-the-end.cr3", [] { return PatchAfter(CanonCr3(Camera("Canon").Build()), "CMT2", -4, c::Be(0x7FFFFFFF, 4)); }},
        {"cr3-uuid-box-size-past-the-end.cr3", [] { return PatchAfter(CanonCr3(Camera("Canon").Build()), "uuid", -4, c::Be(0xFFFFFFFF, 4)); }},
        {"raf-jpeg-offset-past-the-end.raf", [] { return c::Raf(JpegOf(Camera("FUJIFILM")), 0xFFFFFF00, 100); }},
        {"raf-jpeg-length-past-the-end.raf", [] { return c::Raf(JpegOf(Camera("FUJIFILM")), 100, 0x7FFFFFFF); }},
        {"mrw-ttw-length-past-the-end.mrw", [] { return PatchAfter(c::Mrw(Camera("Minolta").Build()), std::string_view("\0TTW", 4), 4, c::Be(0xFFFFFFFF, 4)); }},
        {"mrw-block-length-skips-past-the-end.mrw", [] { return PatchAfter(c::Mrw(Camera("Minolta").Build()), std::string_view("\0PRD", 4), 4, c::Be(0xFFFFFFF0, 4)); }},
        {"rw2-jpeg-offset-past-the-end.rw2", [] { return Rw2WithJpegAt(0xFFFFFF00, 0x1000); }},
        {"rw2-jpeg-is-the-raw-file-itself.rw2", [] { return Rw2WithJpegAt(0, 0x1000); }},
        {"jpeg-xmp-standard-packet-is-an-entity-bomb.jpg", [] { return JpegWithXmp({XmpEntityBomb()}); }},
        {"jpeg-xmp-extended-chunk-offset-past-its-length.jpg", [] { return JpegWithXmp({XmpStandard(XmpPacket("xmpNote:HasExtendedXMP='" + std::string(kXmpGuid) + "'")), XmpChunk(64, 0xFFFFFF00, "<x/>")}); }},
        {"jpeg-xmp-thousand-empty-extended-chunks.jpg", ThousandEmptyXmpChunks},
        {"tiff-xmp-packet-past-the-end.tif", [] { Tiff t = Camera("NIKON CORPORATION"); t.ifd0.Raw(0x02BC, 7, 0x100000, t.ifd0.U32(0xFFFFFF00)); return t.Build(); }},
        {"heic-xmp-item-outside-the-file.heic", [] { return c::HeifWithXmp(Camera("Apple"), XmpPacket("xmp:Rating='3'"), "application/rdf+xml", "", false, 0xFFFFFF00); }},
        {"cr3-xmp-box-size-past-the-end.cr3", [] { return PatchAfter(c::Cr3WithXmp(Camera("Canon"), XmpPacket("xmp:Rating='3'"), false), "<x:xmpmeta", -24, c::Be(0xFFFFFFFF, 4)); }},
    };
    return inputs;
}
// clang-format on

}  // namespace
}  // namespace quorvela::samples

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_fuzz_regressions FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (const auto& [name, make] : quorvela::samples::CraftedInputs()) {
        const quorvela::samples::Bytes bytes = make();
        std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
        if (!out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
            std::cerr << "cannot write " << (folder / name).string() << '\n';
            return 1;
        }
    }
    return 0;
}
