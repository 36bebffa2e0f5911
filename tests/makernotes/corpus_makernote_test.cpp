// The corpus photos read with their maker notes and IPTC records, against exiftool's truth.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "common/ascii.h"
#include "common/code_page.h"
#include "metadata/img_data.h"
#include "metadata/iptc.h"
#include "metadata/maker_note.h"
#include "metadata/makernotes/tables.h"
#include "support/test_files.h"

namespace quorvela::metadata {
namespace {

using testing::CorpusDir;
using testing::Truth;

const std::set<std::string> kDecodedMakes = {"NIKON", "CASIO", "FUJIF", "CANON", "SEIKO",
                                             "SANYO", "MINOL", "EASTM", "PENTA"};
// Kodak's kinds of note (as exiftool names them) that keep no ISO: the reader leaves them be.
const std::set<std::string> kUndecodedKinds = {"MakerNoteKodak2",  "MakerNoteKodak4",  "MakerNoteKodak7",
                                               "MakerNoteKodak8a", "MakerNoteKodak8b", "MakerNoteKodak8c"};

std::string TextOf(const nlohmann::json& value) {
    return value.is_string() ? value.get<std::string>() : std::string();
}

// The ISO a reader of the maker-note entries finds: the digits of the first entry whose
// "description = text" names an ISO speed, from its first comma on when it has one.
std::optional<std::string> MakerNoteIso(const TImageInfo& info) {
    for (const TTagEntry& tag : info.Tags) {
        if (tag.Group != 1) continue;
        const std::string line = tag.Description + " = " + tag.Text;
        const std::string upper = common::UpperAscii(line);
        if (upper.find("ISO SPEED") == std::string::npos && upper.find("CCD SENSITIVITY") == std::string::npos &&
            upper.find("CCD ISO") == std::string::npos) {
            continue;
        }
        const auto comma = line.find(',');
        std::string digits;
        for (const char c : line.substr(comma == std::string::npos ? 0 : comma)) {
            if (c >= '0' && c <= '9') digits += c;
        }
        return digits.empty() ? "0" : digits;
    }
    return std::nullopt;
}

// exiftool's maker-note ISO in the same form: the last number of "0 200", "0" for texts
// such as "Auto" or "n/a", and a value with decimals kept as it is (it cannot agree).
std::string ExiftoolIso(const nlohmann::json& value) {
    if (value.is_number_integer()) return std::to_string(value.get<long long>());
    if (value.is_number()) return std::to_string(value.get<double>());
    const std::string text = TextOf(value);
    const std::string last = text.substr(text.find_last_of(' ') == std::string::npos ? 0 : text.find_last_of(' ') + 1);
    return common::ParseInteger(last) ? std::to_string(*common::ParseInteger(last)) : "0";
}

TEST(CorpusMakerNotes, EveryNoteOfADecodedMakeIsDecodedAndNoOther) {
    QUORVELA_REQUIRE_CORPUS();
    std::map<std::string, int> decodedPerMake;
    for (const auto& [name, truth] : Truth().items()) {
        SCOPED_TRACE(name);
        TimgData reader;
        reader.ReadJpegFile((CorpusDir() / name).string());
        const bool hasNote = !truth["MakerNote"].is_null();
        const std::string make = common::UpperAscii(TextOf(truth["Make"]).substr(0, 5));
        const bool expected = hasNote && kDecodedMakes.count(make) != 0 &&
                              kUndecodedKinds.count(TextOf(truth["MakerNote"]["exiftool_type"])) == 0;
        const bool decoded = reader.ExifDirectory != nullptr && reader.ExifDirectory->MakerNoteDecoded;
        EXPECT_EQ(decoded, expected);
        if (decoded) ++decodedPerMake[make];
    }
    for (const auto& [make, count] : decodedPerMake)
        std::printf("[ figures  ] %s: %d notes decoded\n", make.c_str(), count);
    EXPECT_EQ(decodedPerMake.size(), kDecodedMakes.size());
}

// Files where our maker-note ISO and exiftool's differ, and why.
const std::map<std::string, const char*> kIsoDisagreements = {
    {"nikon_d90_01.jpg",
     "ISO Speed (0x0002) holds four zero bytes for the \"Lo 0.3\" setting; exiftool takes 158.7 from the ISO info "
     "block, which no table here reads"},
};

TEST(CorpusMakerNotes, IsoAgreesWithExiftool) {
    QUORVELA_REQUIRE_CORPUS();
    int compared = 0;
    int agreed = 0;
    for (const auto& [name, truth] : Truth().items()) {
        const auto& notes = truth["MakerNoteISO"];
        if (notes.is_null()) continue;
        TimgData reader;
        reader.ReadJpegFile((CorpusDir() / name).string());
        if (!reader.ExifDirectory || !reader.ExifDirectory->MakerNoteDecoded) continue;
        const auto layout = ChooseMakerNoteLayout(*reader.ExifDirectory, false);
        ASSERT_TRUE(layout.has_value()) << name;
        const TagRow* table = layout->Table.data();
        const char* key = table == NikonType2Rows().data()   ? "MakerNotes:Nikon:ISO"
                          : table == CasioType2Rows().data() ? "MakerNotes:Casio:ISO"
                          : table == CanonRows().data()      ? "MakerNotes:Canon:CameraISO"
                                                             : nullptr;
        if (key == nullptr || !notes.contains(key)) continue;
        const auto ours = MakerNoteIso(*reader.ExifDirectory);
        if (!ours) continue;
        SCOPED_TRACE(name);
        ++compared;
        const std::string theirs = ExiftoolIso(notes[key]);
        if (const auto known = kIsoDisagreements.find(name); known != kIsoDisagreements.end()) {
            EXPECT_NE(*ours, theirs) << "no longer disagrees: " << known->second;
            continue;
        }
        EXPECT_EQ(*ours, theirs);
        agreed += *ours == theirs;
    }
    std::printf("[ figures  ] maker-note ISO: %d of %d files agree with exiftool\n", agreed, compared);
    EXPECT_GE(compared, 25);
}

// The group-1 entries of a reading as description and text.
std::vector<std::pair<std::string, std::string>> NoteEntries(const TimgData& reader) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const TTagEntry& tag : reader.ExifDirectory->Tags) {
        if (tag.Group == 1) out.emplace_back(tag.Description.str(), tag.Text);
    }
    return out;
}

TEST(CorpusMakerNotes, OlderNikonNoteIsReadByItsHeaderWhateverTheExifVersion) {
    QUORVELA_REQUIRE_CORPUS();
    // Little-endian ExifVersion entry: tag 0x9000, UNDEFINED, four bytes held in the entry.
    const std::vector<std::uint8_t> versionEntry = {0x00, 0x90, 0x07, 0x00, 0x04, 0x00, 0x00, 0x00};
    for (const char* name : {"nikon_e900_01.jpg", "nikon_e950_01.jpg"}) {
        SCOPED_TRACE(name);
        std::vector<std::uint8_t> bytes = testing::ReadFileBytes(CorpusDir() / name);
        TimgData original;
        ASSERT_TRUE(original.ReadJpegBytes(name, bytes));
        // An editor that rewrote the version to 0220 left the camera's note as it was.
        const auto at = std::search(bytes.begin(), bytes.end(), versionEntry.begin(), versionEntry.end());
        ASSERT_NE(at, bytes.end());
        const std::string_view rewritten = "0220";
        std::copy(rewritten.begin(), rewritten.end(), at + 8);
        TimgData edited;
        ASSERT_TRUE(edited.ReadJpegBytes(name, bytes));
        ASSERT_EQ(edited.ExifDirectory->VersionText, "0220");
        ASSERT_FALSE(NoteEntries(original).empty());
        EXPECT_EQ(NoteEntries(edited), NoteEntries(original));
    }
}

// Fields where our IPTC texts and exiftool's differ, and why.
constexpr const char* kLateApp13 = "its APP13 is the 25th segment: the scan keeps 20 segments, so none is read";
constexpr const char* kUtf8 = "the records declare UTF-8 (dataset 1:90); the reader keeps bytes as Windows-1252";
constexpr const char* kRejected = "exiftool rejects the block (\"Bad IPTC data tag\"); the reader takes its datasets";
const std::map<std::string, const char*> kIptcDisagreements = {
    {"fujifilm_finepix2400zoom_02.jpg Keywords", kLateApp13},
    {"fujifilm_finepix2400zoom_02.jpg By-line", kLateApp13},
    {"fujifilm_finepix2400zoom_02.jpg Caption-Abstract", kLateApp13},
    {"nikon_d1x_01.jpg By-line", kUtf8},
    {"nikon_d1x_01.jpg Caption-Abstract", kUtf8},
    {"nikon_e5700_01.jpg Keywords", kRejected},
    {"nikon_e5700_01.jpg Caption-Abstract", kRejected},
};

TEST(CorpusIptc, KeywordsBylineAndCaptionAgreeWithExiftool) {
    QUORVELA_REQUIRE_CORPUS();
    const std::pair<const char*, const char*> fields[] = {
        {"Keywords", "Keywords"}, {"By-line", "ByLine"}, {"Caption-Abstract", "ImageCaption"}};
    int compared = 0;
    int agreed = 0;
    for (const auto& [name, truth] : Truth().items()) {
        TimgData reader;
        reader.ReadJpegFile((CorpusDir() / name).string());
        const nlohmann::json& iptc = truth["IPTC"];
        for (const auto& [key, record] : fields) {
            std::optional<std::string> theirs;
            if (!iptc.is_null() && !iptc[key].is_null()) {
                const nlohmann::json& value = iptc[key];
                if (std::string(key) == "Keywords") {
                    std::string merged;
                    for (const auto& item : value.is_array() ? value : nlohmann::json::array({value})) {
                        merged = MergeCommaText(merged, TextOf(item));
                    }
                    theirs = merged;
                } else {
                    theirs = TextOf(value.is_array() ? value[0] : value);  // the first of repeated records
                }
            }
            std::optional<std::string> ours;
            if (reader.IptcRecords && reader.IptcRecords->FindRecord(record) >= 0) {
                ours = common::Cp1252ToUtf8(reader.IptcRecords->RecordValue(record, ""));
            }
            if (!ours && !theirs) continue;
            const std::string field = name + " " + key;
            SCOPED_TRACE(field);
            ++compared;
            if (const auto known = kIptcDisagreements.find(field); known != kIptcDisagreements.end()) {
                EXPECT_NE(ours, theirs) << "no longer disagrees: " << known->second;
                continue;
            }
            EXPECT_EQ(ours, theirs);
            agreed += ours == theirs;
        }
    }
    std::printf("[ figures  ] IPTC Keywords, By-line, Caption: %d of %d agree with exiftool\n", agreed, compared);
    EXPECT_GE(agreed, 25);
}

}  // namespace
}  // namespace quorvela::metadata
