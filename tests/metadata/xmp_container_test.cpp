// The XMP packet where each kind of file keeps it: crafted layouts the corpora lack (extended
// JPEG packets, TIFF entries and HEIF items out of the ordinary), then the real files.

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
using samples::Jpeg;
using samples::Tiff;

constexpr const char* kAbsent = nullptr;
constexpr std::string_view kGuid = "0123456789ABCDEF0123456789ABCDEF";

std::string Packet(std::string_view properties) {
    std::string text(
        "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'"
        " xmlns:xmp='http://ns.adobe.com/xap/1.0/' xmlns:aux='http://ns.adobe.com/exif/1.0/aux/'"
        " xmlns:xmpNote='http://ns.adobe.com/xmp/note/'><rdf:Description ");
    return text.append(properties).append("/></rdf:RDF></x:xmpmeta>");
}

Bytes Standard(std::string_view packet) {
    return c::Cat({c::Text(std::string_view("http://ns.adobe.com/xap/1.0/\0", 29)), c::Text(packet)});
}

Bytes Extension(std::string_view guid, std::size_t full, std::size_t offset, std::string_view data) {
    return c::Cat({c::Text(std::string_view("http://ns.adobe.com/xmp/extension/\0", 35)), c::Text(guid), c::Be(full, 4),
                   c::Be(offset, 4), c::Text(data)});
}

Tiff Camera(bool bigEndian = false) {
    Tiff tiff(bigEndian);
    tiff.ifd0.Ascii(0x010F, "Maker");
    return tiff;
}

// A JPEG of an EXIF block, then `app1` as APP1 segments, then the start of the scan.
Bytes JpegWith(const std::vector<Bytes>& app1) {
    Jpeg jpeg;
    jpeg.Soi().Exif(Camera());
    for (const Bytes& segment : app1) jpeg.Segment(0xE1, segment);
    return jpeg.Sos().Build();
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
    EXPECT_EQ(xmp->Rating.value_or("-"), expected->rating ? expected->rating : "-");
    EXPECT_EQ(xmp->Label.value_or("-"), expected->label ? expected->label : "-");
    EXPECT_EQ(xmp->Lens.value_or("-"), expected->lens ? expected->lens : "-");
}

// A run's reader: its facts' entries only, the scan ending with the EXIF block, XMP asked for.
void ConfigureAsARun(TimgData& reader) {
    reader.RenderOnDemand = true;
    reader.DeferMakerNote = true;
    reader.DecodeIptc = false;
    reader.StopAfterExif = true;
    reader.ReadXmp = true;
}

TEST(JpegXmp, PutsTheExtendedPacketTogetherBehindTheStandardOne) {
    const Bytes main = Standard(Packet("xmp:Label='Main' xmpNote:HasExtendedXMP='" + std::string(kGuid) + "'"));
    const std::string extended = Packet("xmp:Rating='4' xmp:Label='Extended' aux:Lens='Lens B'");
    const std::size_t half = extended.size() / 2;
    const Bytes first = Extension(kGuid, extended.size(), 0, std::string_view(extended).substr(0, half));
    const Bytes second = Extension(kGuid, extended.size(), half, std::string_view(extended).substr(half));
    // More chunks than the APP1 segments a file may hold otherwise.
    std::string padded = Packet("xmp:Rating='2'");
    padded.resize(7000, ' ');
    std::vector<Bytes> seventy{main};
    for (std::size_t at = 0; at < padded.size(); at += 100) {
        seventy.push_back(Extension(kGuid, padded.size(), at, std::string_view(padded).substr(at, 100)));
    }
    const Bytes rated = Standard(Packet("xmp:Rating='3'"));
    const std::pair<Bytes, std::optional<Expected>> cases[] = {
        {JpegWith({main, second, first}), Expected{XmpStatus::Ok, "4", "Main", "Lens B"}},
        {JpegWith(seventy), Expected{XmpStatus::Ok, "2", "Main"}},
        {JpegWith({main, second}), Expected{XmpStatus::Malformed, kAbsent, "Main"}},  // a chunk missing
        {JpegWith({main, Extension(std::string(32, 'F'), extended.size(), 0, extended)}),
         Expected{XmpStatus::Malformed, kAbsent, "Main"}},  // the chunk of another packet
        {JpegWith({main, Extension(kGuid, 5'000'000, 0, "<x")}), Expected{XmpStatus::TooLarge, kAbsent, "Main"}},
        {JpegWith({rated, Standard(Packet("xmp:Rating='5'"))}), Expected{XmpStatus::Ok, "3"}},
        {Jpeg().Soi().Exif(Camera()).Sos().Segment(0xE1, rated).Build(), std::nullopt},  // past the scan's start
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        for (const bool stopAfterExif : {true, false}) {
            SCOPED_TRACE(std::to_string(i) + (stopAfterExif ? ", a run's reader" : ", a reader of every segment"));
            TimgData reader;
            ConfigureAsARun(reader);
            reader.StopAfterExif = stopAfterExif;
            reader.ReadJpegBytes("photo.jpg", cases[i].first);
            ExpectFacts(reader.Xmp, cases[i].second);
        }
    }
}

TEST(JpegXmp, IsReadOnlyWhenAskedFor) {
    TimgData reader;
    reader.ReadJpegBytes("photo.jpg", JpegWith({Standard(Packet("xmp:Rating='3'"))}));
    EXPECT_FALSE(reader.Xmp);
    reader.ReadXmp = true;
    reader.ReadJpegBytes("photo.jpg", JpegWith({Standard(Packet("xmp:Rating='3'"))}));
    EXPECT_TRUE(reader.Xmp);
    reader.ReadJpegBytes("photo.jpg", JpegWith({}));
    EXPECT_FALSE(reader.Xmp) << "the packet of the file read before";
}

// A TIFF file whose IFD0 XMLPacket entry has `type` and `count`, pointing at `offset`, where
// `packet` stands.
Bytes TiffPointingAt(std::uint16_t type, std::uint32_t count, std::uint32_t offset, const std::string& packet,
                     bool bigEndian = false) {
    Tiff tiff = Camera(bigEndian);
    tiff.ifd0.Raw(0x02BC, type, count, tiff.ifd0.U32(offset));
    Bytes bytes = tiff.Build();
    bytes.resize(std::max<std::size_t>(bytes.size(), offset), 0);
    return c::Cat({bytes, c::Text(packet)});
}

TEST(ContainerXmp, FindsTheEntryTheItemAndTheBoxTheCorporaLack) {
    const std::string packet = Packet("xmp:Rating='5' aux:Lens='FE 24-105mm'");
    const auto count = static_cast<std::uint32_t>(packet.size());
    const Expected rated{XmpStatus::Ok, "5", kAbsent, "FE 24-105mm"};
    std::string huge = packet;
    huge.resize(kMaxXmpBytes + 1, ' ');
    const std::tuple<const char*, Bytes, std::optional<Expected>> cases[] = {
        {"photo.nef", TiffPointingAt(1, count, 200, packet, true), rated},  // BYTE values, big-endian
        {"photo.dng", TiffPointingAt(7, count, 300'000, packet), rated},    // past the bytes read for directories
        {"photo.tif", TiffPointingAt(7, 100'000, 200, ""), Expected{XmpStatus::Malformed}},  // past the end
        {"photo.tif", TiffPointingAt(7, 5'000'000, 200, ""), Expected{XmpStatus::TooLarge}},
        {"photo.heic", c::HeifWithXmp(Camera(), packet, "application/rdf+xml", "", true), rated},  // in 'idat'
        {"photo.heic", c::HeifWithXmp(Camera(), packet, "image/jpeg"), std::nullopt},
        {"photo.heic", c::HeifWithXmp(Camera(), packet, "application/rdf+xml", "deflate"), std::nullopt},
        {"photo.heic", c::HeifWithXmp(Camera(), packet, "application/rdf+xml", "", false, 0x7FFF'0000),
         Expected{XmpStatus::Malformed}},                             // outside the file
        {"photo.cr3", c::Cr3WithXmp(Camera(), packet, true), rated},  // inside 'moov'
        {"photo.cr3", c::Cr3WithXmp(Camera(), huge, false), Expected{XmpStatus::TooLarge}},
    };
    for (const auto& [name, file, expected] : cases) {
        SCOPED_TRACE(name);
        TimgData reader;
        ConfigureAsARun(reader);
        reader.ReadJpegBytes(name, file);
        ExpectFacts(reader.Xmp, expected);
    }
}

TEST(ContainerXmp, ReadsTheXmpItemOfAHeifFileWithoutExif) {
    Bytes file = c::HeifWithXmp(Camera(), Packet("xmp:Rating='1'"), "application/rdf+xml");
    const std::string_view exifType = "Exif";  // the first is the Exif item's type: renamed
    std::copy_n("Xexi", 4, std::search(file.begin(), file.end(), exifType.begin(), exifType.end()));
    TimgData reader;
    reader.ReadXmp = true;
    EXPECT_FALSE(reader.ReadJpegBytes("photo.heic", file));
    EXPECT_EQ(reader.StatusText, "No EXIF data");
    ExpectFacts(reader.Xmp, Expected{XmpStatus::Ok, "1"});
}

// exiftool's XMP of the formats corpus; the files not named hold none where the reader looks
// (canon_crw_01.crw keeps its packet in a CRW trailer, dng_02.dng in its preview's directory).
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
    TimgData reader;
    ConfigureAsARun(reader);
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name == "truth.json" || name == "README.md") continue;
        SCOPED_TRACE(name);
        reader.ReadJpegFile(entry.path().string());
        const auto expected = kFormatsXmp.find(name);
        ExpectFacts(reader.Xmp, expected == kFormatsXmp.end() ? std::nullopt : std::optional(expected->second));
    }
}

// exiftool's values of the photo corpus's packets; the other packets hold none. One is not
// XML: DxO Optics Pro named an element "exif:TIFF/EPStandardID", which exiftool reads past.
const std::map<std::string, Expected> kCorpusXmp = {
    {"canon_eos5dmk3_01.jpg", {XmpStatus::Ok, "0"}},
    {"canon_eosrp_01.jpg", {XmpStatus::Ok, "0", kAbsent, "RF35mm F1.8 MACRO IS STM"}},
    {"canon_powershots5is_01.jpg", {XmpStatus::Ok, kAbsent, kAbsent, "6.0-72.0mm"}},
    {"canon_powershotsx240hs_01.jpg", {XmpStatus::Ok, "0"}},
    {"nikon_d300s_01.jpg", {XmpStatus::Ok}},  // DxO's invalid XML names no property read: not parsed
    {"nikon_d5300_01.jpg", {XmpStatus::Ok, "0"}},
    {"nikon_d70_03.jpg", {XmpStatus::Ok, kAbsent, kAbsent, "100.0 mm f/2.8"}},
    {"nomake_xmp_01.jpg", {XmpStatus::Ok, "3"}},
    {"pentax_istdl_01.jpg", {XmpStatus::Ok, "1"}},
};

// What a reading gives apart from its XMP.
std::string Everything(bool found, const TimgData& reader) {
    std::string text = std::to_string(found) + reader.StatusText + "|" + std::to_string(reader.SectionsRead) +
                       std::to_string(reader.ExifSection) + std::to_string(reader.IptcSection) +
                       std::to_string(reader.CommentSection);
    for (const TTagEntry& tag : reader.ExifDirectory ? reader.ExifDirectory->Tags : std::vector<TTagEntry>()) {
        text += "|" + reader.ExifDirectory->TagTextByName(tag.TagName.view());
    }
    return text;
}

// Every photo whose segments hold a packet (wherever: after the tables, ahead of the EXIF
// block, extended) gives it, and the rest of its reading stays as without XMP.
TEST(CorpusXmp, ThePhotoCorpusGivesItsPacketsAndNothingElseChanges) {
    QUORVELA_REQUIRE_CORPUS();
    TimgData with;
    TimgData without;
    ConfigureAsARun(with);
    ConfigureAsARun(without);
    without.ReadXmp = false;
    for (const auto& [name, truth] : testing::Truth().items()) {
        SCOPED_TRACE(name);
        const std::string path = (testing::CorpusDir() / name).string();
        const std::string withText = Everything(with.ReadJpegFile(path), with);
        EXPECT_EQ(withText, Everything(without.ReadJpegFile(path), without));
        const bool present = truth["segments"].is_object() && truth["segments"].value("has_xmp", false);
        const auto values = kCorpusXmp.find(name);
        ExpectFacts(with.Xmp, !present                     ? std::nullopt
                              : values == kCorpusXmp.end() ? std::optional(Expected{})
                                                           : std::optional(values->second));
    }
}

// The corpus of ratings, labels and lenses: the sidecars and the embedded packet, in the order
// truth.json lists them, give its values (a rating only the EXIF Rating entry holds is not
// XMP's to give; the truth keeps a lens untrimmed).
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
        EXPECT_EQ(first(&XmpFacts::Lens).value_or(""), common::Trim(truth["xmpLens"].get<std::string>()));
    }
    EXPECT_GE(ratings, 40);
}

}  // namespace
}  // namespace quorvela::metadata
