// The XMP packet found where each kind of file keeps it: a JPEG's APP1 segments (with the
// extended packet), IFD0 of a TIFF-structured file, the XMP item of a HEIF file, the XMP box of
// a CR3 file; crafted layouts, then the real files of the corpora.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "common/ascii.h"
#include "container_writer.h"
#include "metadata/img_data.h"
#include "support/test_files.h"

namespace quorvela::metadata {
namespace {

namespace c = samples::containers;
using samples::Ifd;
using samples::Jpeg;
using samples::Tiff;

constexpr const char* kAbsent = nullptr;
constexpr std::string_view kGuid = "0123456789ABCDEF0123456789ABCDEF";

std::string Packet(std::string_view description) {
    std::string text(
        "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'"
        " xmlns:xmp='http://ns.adobe.com/xap/1.0/' xmlns:aux='http://ns.adobe.com/exif/1.0/aux/'"
        " xmlns:xmpNote='http://ns.adobe.com/xmp/note/'><rdf:Description ");
    text.append(description).append("/></rdf:RDF></x:xmpmeta>");
    return text;
}

Bytes Standard(std::string_view packet) {
    return c::Cat({c::Text(std::string_view("http://ns.adobe.com/xap/1.0/\0", 29)), c::Text(packet)});
}

Bytes Extension(std::string_view guid, std::size_t full, std::size_t offset, std::string_view data) {
    return c::Cat({c::Text(std::string_view("http://ns.adobe.com/xmp/extension/\0", 35)), c::Text(guid), c::Be(full, 4),
                   c::Be(offset, 4), c::Text(data)});
}

Tiff Camera(bool bigEndian = false) {
    Ifd exif(bigEndian);
    exif.Rational(0x920A, {{50, 1}});
    Tiff tiff(bigEndian);
    tiff.ifd0.Ascii(0x010F, "Maker").Link(0x8769, std::move(exif));
    return tiff;
}

struct Expected {
    XmpStatus status = XmpStatus::Ok;
    const char* rating = kAbsent;
    const char* label = kAbsent;
    const char* lens = kAbsent;
};

void ExpectFacts(const std::optional<XmpFacts>& xmp, const std::optional<Expected>& expected) {
    ASSERT_EQ(xmp.has_value(), expected.has_value()) << (xmp ? xmp->Problem : "no XMP found");
    if (!xmp) return;
    EXPECT_EQ(xmp->Status, expected->status) << xmp->Problem;
    const auto check = [](const std::optional<std::string>& value, const char* want, const char* what) {
        if (want == kAbsent) {
            EXPECT_FALSE(value) << what << " '" << value.value_or("") << "'";
        } else {
            EXPECT_EQ(value.value_or("<absent>"), want) << what;
        }
    };
    check(xmp->Rating, expected->rating, "rating");
    check(xmp->Label, expected->label, "label");
    check(xmp->Lens, expected->lens, "lens");
}

// A run's reader: the entries of its facts only, the scan ending with the EXIF block.
void ConfigureAsARun(TimgData& reader) {
    reader.RenderOnDemand = true;
    reader.DeferMakerNote = true;
    reader.DecodeIptc = false;
    reader.StopAfterExif = true;
    reader.ReadXmp = true;
}

struct JpegCase {
    const char* name;
    Bytes file;
    std::optional<Expected> xmp;
};

TEST(JpegXmp, FindsThePacketWhereWritersPutIt) {
    const Bytes rated = Standard(Packet("xmp:Rating='3' aux:Lens='Lens A'"));
    const Bytes main = Standard(Packet("xmp:Label='Main' xmpNote:HasExtendedXMP='" + std::string(kGuid) + "'"));
    const std::string extended = Packet("xmp:Rating='4' xmp:Label='Extended' aux:Lens='Lens B'");
    const std::size_t half = extended.size() / 2;
    const Bytes first = Extension(kGuid, extended.size(), 0, std::string_view(extended).substr(0, half));
    const Bytes second = Extension(kGuid, extended.size(), half, std::string_view(extended).substr(half));
    const Expected both{XmpStatus::Ok, "4", "Main", "Lens B"};
    // An extended packet of more chunks than a file may have other APP1 segments.
    std::string padded = Packet("xmp:Rating='2'");
    padded.resize(7000, ' ');
    Jpeg many;
    many.Soi().Exif(Camera()).Segment(0xE1, main);
    for (std::size_t at = 0; at < padded.size(); at += 100) {
        many.Segment(0xE1, Extension(kGuid, padded.size(), at, std::string_view(padded).substr(at, 100)));
    }
    const JpegCase cases[] = {
        {"right after the EXIF block", Jpeg().Soi().App0().Exif(Camera()).Segment(0xE1, rated).Dqt().Sos().Build(),
         Expected{XmpStatus::Ok, "3", kAbsent, "Lens A"}},
        {"ahead of the EXIF block", Jpeg().Soi().Segment(0xE1, rated).Exif(Camera()).Dqt().Sos().Build(),
         Expected{XmpStatus::Ok, "3", kAbsent, "Lens A"}},
        {"after other application segments and a comment",
         Jpeg().Soi().Exif(Camera()).Segment(0xE2, Bytes(3000, 7)).App13({}).Comment("c").Segment(0xE1, rated).Build(),
         Expected{XmpStatus::Ok, "3", kAbsent, "Lens A"}},
        {"after the tables and the frame header",
         Jpeg().Soi().Exif(Camera()).Dqt().Sof0().Segment(0xE1, rated).Sos().Eoi().Build(),
         Expected{XmpStatus::Ok, "3", kAbsent, "Lens A"}},
        {"without an EXIF block", Jpeg().Soi().App0().Segment(0xE1, rated).Dqt().Sos().Build(),
         Expected{XmpStatus::Ok, "3", kAbsent, "Lens A"}},
        {"the first of two standard packets",
         Jpeg().Soi().Exif(Camera()).Segment(0xE1, rated).Segment(0xE1, Standard(Packet("xmp:Rating='5'"))).Build(),
         Expected{XmpStatus::Ok, "3", kAbsent, "Lens A"}},
        {"none past the start of the scan", Jpeg().Soi().Exif(Camera()).Sos().Segment(0xE1, rated).Build(),
         std::nullopt},
        {"an extended packet in chunks out of order",
         Jpeg().Soi().Exif(Camera()).Segment(0xE1, main).Segment(0xE1, second).Segment(0xE1, first).Sos().Build(),
         both},
        {"extended chunks around the standard packet",
         Jpeg().Soi().Segment(0xE1, second).Segment(0xE1, main).Segment(0xE1, first).Exif(Camera()).Sos().Build(),
         both},
        {"an extended packet of seventy chunks", many.Sos().Build(), Expected{XmpStatus::Ok, "2", "Main", kAbsent}},
        {"an extended packet with a chunk missing",
         Jpeg().Soi().Exif(Camera()).Segment(0xE1, main).Segment(0xE1, second).Sos().Build(),
         Expected{XmpStatus::Malformed, kAbsent, "Main", kAbsent}},
        {"chunks of another packet",
         Jpeg()
             .Soi()
             .Exif(Camera())
             .Segment(0xE1, main)
             .Segment(0xE1, Extension("FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", extended.size(), 0, extended))
             .Sos()
             .Build(),
         Expected{XmpStatus::Malformed, kAbsent, "Main", kAbsent}},
        {"an extended packet above 4 MiB",
         Jpeg().Soi().Exif(Camera()).Segment(0xE1, main).Segment(0xE1, Extension(kGuid, 5'000'000, 0, "<x")).Build(),
         Expected{XmpStatus::TooLarge, kAbsent, "Main", kAbsent}},
    };
    for (const JpegCase& jpeg : cases) {
        SCOPED_TRACE(jpeg.name);
        for (const bool stopAfterExif : {true, false}) {
            SCOPED_TRACE(stopAfterExif ? "a run's reader" : "a reader of every segment");
            TimgData reader;
            ConfigureAsARun(reader);
            reader.StopAfterExif = stopAfterExif;
            reader.ReadJpegBytes("photo.jpg", jpeg.file);
            ExpectFacts(reader.Xmp, jpeg.xmp);
            EXPECT_EQ(reader.HasExif(), std::string_view(jpeg.name) != "without an EXIF block");
        }
    }
}

TEST(JpegXmp, IsReadOnlyWhenAskedFor) {
    TimgData reader;
    const Bytes file = Jpeg().Soi().Exif(Camera()).Segment(0xE1, Standard(Packet("xmp:Rating='3'"))).Sos().Build();
    reader.ReadJpegBytes("photo.jpg", file);
    EXPECT_FALSE(reader.Xmp);
    reader.ReadXmp = true;
    reader.ReadJpegBytes("photo.jpg", file);
    ASSERT_TRUE(reader.Xmp);
    reader.ReadJpegBytes("photo.jpg", Jpeg().Soi().Exif(Camera()).Sos().Build());
    EXPECT_FALSE(reader.Xmp) << "the packet of the file read before";
}

struct FileCase {
    const char* name;
    std::string fileName;
    Bytes file;
    std::optional<Expected> xmp;
};

void ExpectFileCases(std::span<const FileCase> cases) {
    for (const FileCase& file : cases) {
        SCOPED_TRACE(file.name);
        TimgData reader;
        ConfigureAsARun(reader);
        reader.ReadJpegBytes(file.fileName, file.file);
        ExpectFacts(reader.Xmp, file.xmp);
    }
}

// A TIFF structure whose IFD0 XMLPacket entry has `type` and `count` and points at `offset`,
// with the packet there (or nothing when it lies past `size`).
Bytes TiffPointingAt(bool bigEndian, std::uint16_t type, std::uint32_t count, std::uint32_t offset,
                     const std::string& packet) {
    Tiff tiff = Camera(bigEndian);
    tiff.ifd0.Raw(0x02BC, type, count, tiff.ifd0.U32(offset));
    Bytes bytes = tiff.Build();
    if (!packet.empty()) {
        bytes.resize(offset, 0);
        bytes.insert(bytes.end(), packet.begin(), packet.end());
    }
    return bytes;
}

TEST(TiffXmp, FindsThePacketOfIfd0) {
    const std::string packet = Packet("xmp:Rating='2' xmp:Label='Red'");
    const auto count = static_cast<std::uint32_t>(packet.size());
    const Expected rated{XmpStatus::Ok, "2", "Red", kAbsent};
    Tiff undefined = Camera();
    undefined.ifd0.Undefined(0x02BC, packet);
    Tiff bytes = Camera(true);
    bytes.ifd0.Raw(0x02BC, 1, count, samples::ToBytes(packet));
    const FileCase cases[] = {
        {"UNDEFINED values, little-endian", "photo.dng", undefined.Build(), rated},
        {"BYTE values, big-endian", "photo.nef", bytes.Build(), rated},
        {"beyond the bytes read for the directories", "photo.tif", TiffPointingAt(false, 7, count, 300'000, packet),
         rated},
        {"a count past the end of the file", "photo.tif", TiffPointingAt(false, 7, 100'000, 2000, ""),
         Expected{XmpStatus::Malformed}},
        {"a count above 4 MiB, not read", "photo.tif", TiffPointingAt(false, 7, 5'000'000, 2000, ""),
         Expected{XmpStatus::TooLarge}},
        {"no XMLPacket entry", "photo.tif", Camera().Build(), std::nullopt},
    };
    ExpectFileCases(cases);
}

TEST(IsoMediaXmp, FindsTheXmpItemAndTheXmpBox) {
    const std::string packet = Packet("xmp:Rating='5' aux:Lens='FE 24-105mm F4 G OSS'");
    const Expected rated{XmpStatus::Ok, "5", kAbsent, "FE 24-105mm F4 G OSS"};
    std::string huge = packet;
    huge.resize(kMaxXmpBytes + 1, ' ');
    const FileCase cases[] = {
        {"a HEIF item in 'mdat'", "photo.heic", c::HeifWithXmp(Camera(), packet, "application/rdf+xml"), rated},
        {"a HEIF item in 'idat'", "photo.heic", c::HeifWithXmp(Camera(), packet, "application/rdf+xml", "", true),
         rated},
        {"a content type in capitals", "photo.heic", c::HeifWithXmp(Camera(), packet, "Application/RDF+XML"), rated},
        {"a 'mime' item of another type", "photo.heic", c::HeifWithXmp(Camera(), packet, "image/jpeg"), std::nullopt},
        {"a compressed item, not read", "photo.heic",
         c::HeifWithXmp(Camera(), packet, "application/rdf+xml", "deflate"), std::nullopt},
        {"an item outside the file", "photo.heic",
         c::HeifWithXmp(Camera(), packet, "application/rdf+xml", "", false, 0x7FFF'0000),
         Expected{XmpStatus::Malformed}},
        {"a CR3 box at the top level", "photo.cr3", c::Cr3WithXmp(Camera(), packet, false), rated},
        {"a CR3 box inside 'moov'", "photo.cr3", c::Cr3WithXmp(Camera(), packet, true), rated},
        {"a CR3 box above 4 MiB, not read", "photo.cr3", c::Cr3WithXmp(Camera(), huge, false),
         Expected{XmpStatus::TooLarge}},
    };
    ExpectFileCases(cases);
}

TEST(IsoMediaXmp, ReadsTheXmpOfAFileWithoutExif) {
    const Bytes ftyp = c::Ftyp("avif");
    Bytes file = c::HeifWithXmp(Camera(), Packet("xmp:Rating='1'"), "application/rdf+xml");
    std::copy(ftyp.begin(), ftyp.end(), file.begin());  // same length: the offsets stay
    // The Exif item's type is changed, so the file holds no EXIF item.
    const std::string_view exifType = "Exif";
    const auto at = std::search(file.begin(), file.end(), exifType.begin(), exifType.end());
    ASSERT_NE(at, file.end());
    std::copy_n("Xexi", 4, at);
    TimgData reader;
    reader.ReadXmp = true;
    EXPECT_FALSE(reader.ReadJpegBytes("photo.avif", file));
    EXPECT_EQ(reader.StatusText, "No EXIF data");
    ExpectFacts(reader.Xmp, Expected{XmpStatus::Ok, "1"});
}

// exiftool's XMP of the formats corpus (`exiftool -xmp:all`): the files not named hold no
// packet where the reader looks (canon_crw_01.crw keeps its packet in a CRW trailer, dng_02.dng
// in the directory of its preview, not in IFD0).
const std::map<std::string, Expected> kFormatsXmp = {
    {"adobe_dng_01.dng", {XmpStatus::Ok, kAbsent, kAbsent, "18.0-55.0 mm"}},
    {"apple_heic_04.heic", {}},
    {"avif_02.avif", {}},
    {"avif_exif_01.avif", {XmpStatus::Ok, "5"}},
    {"canon_eos_cr3_01.cr3", {XmpStatus::Ok, "0"}},
    {"canon_hif_01.hif", {XmpStatus::Ok, "0"}},
    {"canon_r6_cr3_01.cr3", {XmpStatus::Ok, "0"}},
    {"heic_03.heic", {XmpStatus::Ok, "0", kAbsent, "18.0-250.0 mm f/3.5-6.3"}},
    {"heif_05.heif", {}},
    {"sony_hif_01.hif", {XmpStatus::Ok, "0"}},
};

TEST(CorpusXmp, TheFormatsCorpusGivesWhatExiftoolFinds) {
    const std::filesystem::path folder = QUORVELA_FORMATS_DIR;
    if (!std::filesystem::exists(folder / "truth.json")) GTEST_SKIP() << "formats corpus absent";
    int withXmp = 0;
    TimgData reader;
    ConfigureAsARun(reader);
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name == "truth.json" || name == "README.md") continue;
        SCOPED_TRACE(name);
        reader.ReadJpegFile(entry.path().string());
        const auto expected = kFormatsXmp.find(name);
        ExpectFacts(reader.Xmp,
                    expected == kFormatsXmp.end() ? std::nullopt : std::optional<Expected>(expected->second));
        withXmp += reader.Xmp ? 1 : 0;
    }
    EXPECT_EQ(withXmp, static_cast<int>(kFormatsXmp.size()));
}

// exiftool's values of the photo corpus's packets; every other packet holds none of them.
// One packet is not XML: DxO Optics Pro wrote an element named "exif:TIFF/EPStandardID", which
// exiftool's own parser reads past.
const std::map<std::string, Expected> kCorpusValues = {
    {"nikon_d300s_01.jpg", {XmpStatus::Malformed}},
    {"canon_eos5dmk3_01.jpg", {XmpStatus::Ok, "0"}},
    {"canon_eosrp_01.jpg", {XmpStatus::Ok, "0", kAbsent, "RF35mm F1.8 MACRO IS STM"}},
    {"canon_powershots5is_01.jpg", {XmpStatus::Ok, kAbsent, kAbsent, "6.0-72.0mm"}},
    {"canon_powershotsx240hs_01.jpg", {XmpStatus::Ok, "0"}},
    {"nikon_d5300_01.jpg", {XmpStatus::Ok, "0"}},
    {"nikon_d70_03.jpg", {XmpStatus::Ok, kAbsent, kAbsent, "100.0 mm f/2.8"}},
    {"nomake_xmp_01.jpg", {XmpStatus::Ok, "3"}},
    {"pentax_istdl_01.jpg", {XmpStatus::Ok, "1"}},
};

TEST(CorpusXmp, EveryPhotoWithXmpIsFoundWithItsValues) {
    QUORVELA_REQUIRE_CORPUS();
    TimgData reader;
    ConfigureAsARun(reader);
    int found = 0;
    for (const auto& [name, truth] : testing::Truth().items()) {
        SCOPED_TRACE(name);
        reader.ReadJpegFile((testing::CorpusDir() / name).string());
        // The segments as the truth's walker saw them: a packet without properties (one of
        // them is empty) counts, where exiftool reports no XMP.
        const bool present = truth["segments"].is_object() && truth["segments"].value("has_xmp", false);
        const auto values = kCorpusValues.find(name);
        ExpectFacts(reader.Xmp, !present                        ? std::nullopt
                                : values == kCorpusValues.end() ? std::optional<Expected>(Expected{})
                                                                : std::optional<Expected>(values->second));
        found += reader.Xmp ? 1 : 0;
    }
    EXPECT_GE(found, 29);
}

// What a photo's reading gives apart from its XMP, for a comparison.
std::string Everything(const TimgData& reader) {
    std::string text = reader.StatusText + "|" + std::to_string(reader.SectionsRead) + "|" +
                       std::to_string(reader.ExifSection) + "|" + std::to_string(reader.IptcSection) + "|" +
                       std::to_string(reader.CommentSection) + "|" + std::to_string(reader.App0Section);
    if (!reader.ExifDirectory) return text;
    for (const TTagEntry& tag : reader.ExifDirectory->Tags) {
        text += "|" + std::to_string(tag.TagId) + "=" + reader.ExifDirectory->TagTextByName(tag.TagName.view());
    }
    return text;
}

TEST(CorpusXmp, ReadingTheXmpChangesNothingElse) {
    QUORVELA_REQUIRE_CORPUS();
    TimgData without;
    TimgData with;
    for (TimgData* reader : {&without, &with}) ConfigureAsARun(*reader);
    without.ReadXmp = false;
    for (const bool stopAfterExif : {true, false}) {
        without.StopAfterExif = with.StopAfterExif = stopAfterExif;
        for (const auto& [name, truth] : testing::Truth().items()) {
            SCOPED_TRACE(name);
            const std::string path = (testing::CorpusDir() / name).string();
            EXPECT_EQ(without.ReadJpegFile(path), with.ReadJpegFile(path));
            EXPECT_EQ(Everything(without), Everything(with));
        }
    }
}

// The corpus of ratings, labels and lenses: the sidecars and the embedded packet, in the order
// truth.json lists them, give its values (a rating that only the EXIF Rating entry holds is
// not XMP's to give).
TEST(CorpusXmp, SidecarsAndEmbeddedPacketsGiveTheTruth) {
    const std::filesystem::path folder = QUORVELA_XMP_DIR;
    if (!std::filesystem::exists(folder / "truth.json")) GTEST_SKIP() << "XMP corpus absent";
    std::ifstream in(folder / "truth.json");
    const nlohmann::json all = nlohmann::json::parse(in);
    TimgData reader;
    ConfigureAsARun(reader);
    int ratings = 0;
    for (const auto& [name, truth] : all.items()) {
        SCOPED_TRACE(name);
        std::vector<XmpFacts> places;
        for (const auto& sidecar : truth["sidecars"]) {
            places.push_back(ReadXmpSidecar((folder / sidecar.get<std::string>()).string()));
            EXPECT_EQ(places.back().Status, XmpStatus::Ok) << places.back().Problem;
        }
        reader.ReadJpegFile((folder / name).string());
        if (reader.Xmp) places.push_back(*reader.Xmp);
        const auto first = [&places](std::optional<std::string> XmpFacts::*value) {
            for (const XmpFacts& place : places) {
                if (place.*value) return place.*value;
            }
            return std::optional<std::string>();
        };
        if (const auto rating = first(&XmpFacts::Rating)) {
            EXPECT_EQ(std::stoi(*rating), truth["rating"].get<int>());
            ++ratings;
        }
        EXPECT_EQ(first(&XmpFacts::Label).value_or(""), truth["label"].get<std::string>());
        // The truth keeps the lens as written; the reader trims it.
        EXPECT_EQ(first(&XmpFacts::Lens).value_or(""), common::Trim(truth["xmpLens"].get<std::string>()));
    }
    EXPECT_GE(ratings, 40);
}

}  // namespace
}  // namespace quorvela::metadata
