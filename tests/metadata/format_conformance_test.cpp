// Every file of the formats corpus (raw, HEIF/HEIC, AVIF, CR3) read by our reader and compared
// with what exiftool reports, in the texts the reader renders for a JPEG.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "common/number_format.h"
#include "metadata/img_data.h"

namespace quorvela::metadata {
namespace {

const std::filesystem::path kFormatsDir = QUORVELA_FORMATS_DIR;

// Where our reader and exiftool differ, and why: one file's one tag and the text we give.
struct Exception {
    const char* file;
    const char* tag;
    const char* ours;
    const char* reason;
};
constexpr const char* kCrwShotInfo =
    "a CRW keeps its ISO in Canon's shot information only: it is taken from there as a maker note's ISO";
const Exception kExceptions[] = {
    {"fujifilm_raf_01.raf", "Model", "FinePix S5Pro  ",
     "the camera pads Model with blanks; exiftool drops trailing blanks, the JPEG reader keeps them"},
    {"canon_crw_01.crw", "ISOSpeedRatings", "", kCrwShotInfo},
};

// Files that give no values, with the reason in their status text; every other file reads
// with "<none>". The other names where exiftool names a format otherwise.
const std::map<std::string, std::string> kProblems = {
    {"bad_heic_01.heic", "No EXIF data"},       {"bad_heic_02.heic", "No metadata box"},
    {"bad_raf_01.raf", "Not an EXIF file"},     {"heic_02.heic", "No EXIF data"},
    {"quicktime_heic_01.heic", "No EXIF data"},
};
// exiftool calls a Panasonic file it cannot name further RAW; ours goes by the "IIU" mark.
const std::map<std::string, std::string> kOtherNames = {{"bad_rw2_01.rw2", "RW2"}, {"bad_raf_01.raf", "Unknown"}};

// exiftool's numbers in the forms the reader renders them.
std::map<std::string, std::string> Expectations(const nlohmann::json& truth) {
    std::map<std::string, std::string> out;
    const auto has = [&truth](const char* key) { return !truth[key].is_null(); };
    const auto fixed = [&truth](const char* key, int precision, int width) {
        return common::FormatFixed(truth[key].get<double>(), precision, width, '.');
    };
    if (has("Make")) out["Make"] = truth["Make"].is_string() ? truth["Make"].get<std::string>() : truth["Make"].dump();
    if (has("Model")) out["Model"] = truth["Model"].get<std::string>();
    if (has("FocalLength")) out["FocalLength"] = fixed("FocalLength", 2, 5) + " mm";
    if (has("FNumber")) out["FNumber"] = "F" + fixed("FNumber", 1, 0);
    if (has("ISO")) out["ISOSpeedRatings"] = truth["ISO"].dump();
    if (has("FocalLengthIn35mmFormat")) out["FocalLengthin35mmFilm"] = fixed("FocalLengthIn35mmFormat", 2, 5) + " mm";
    return out;
}

// The reader shows the stored fraction ("10/2500 sec"), exiftool its value (0.004).
double SecondsOf(const std::string& text) {
    const auto slash = text.find('/');
    if (slash == std::string::npos) return std::stod(text);
    const double d = std::stod(text.substr(slash + 1));
    return d == 0 ? 0.0 : std::stod(text.substr(0, slash)) / d;
}

std::string Expected(const std::string& file, const std::string& tag, const std::string& exiftool) {
    for (const Exception& e : kExceptions) {
        if (file == e.file && tag == e.tag) return e.ours;
    }
    return exiftool;
}

TEST(FormatConformance, EveryFileAgreesWithExiftoolOrTheDifferenceIsExplained) {
    if (!std::filesystem::exists(kFormatsDir / "truth.json")) GTEST_SKIP() << "formats corpus absent";
    std::ifstream in(kFormatsDir / "truth.json");
    const nlohmann::json all = nlohmann::json::parse(in);
    int compared = 0;
    TimgData reader;
    for (const auto& [name, truth] : all.items()) {
        SCOPED_TRACE(name);
        const bool found = reader.ReadJpegFile((kFormatsDir / name).string());
        const auto problem = kProblems.find(name);
        EXPECT_EQ(found, problem == kProblems.end());
        EXPECT_EQ(reader.StatusText, problem != kProblems.end() ? problem->second : "<none>");
        const auto other = kOtherNames.find(name);
        EXPECT_EQ(FormatName(reader.Format),
                  other != kOtherNames.end() ? other->second : truth["FileType"].get<std::string>());
        // A CRW's records are read as the EXIF directories a TIFF-based raw file would hold.
        EXPECT_EQ(reader.HasExifBlock(), !truth["ExifGroupsFound"].empty() || name == "canon_crw_01.crw");
        const auto text = [&reader](std::string_view tag) {
            return reader.ExifDirectory ? reader.ExifDirectory->TagTextByName(tag) : std::string();
        };
        for (const auto& [tag, value] : Expectations(truth)) {
            ++compared;
            EXPECT_EQ(text(tag), Expected(name, tag, value)) << tag;
        }
        if (truth["ExposureTime"].is_null()) continue;
        ++compared;
        const std::string shown = text("ExposureTime");
        if (Expected(name, "ExposureTime", "x").empty()) {
            EXPECT_EQ(shown, "");
            continue;
        }
        ASSERT_TRUE(shown.ends_with(" sec")) << shown;
        const double seconds = truth["ExposureTime"].get<double>();
        EXPECT_NEAR(SecondsOf(shown), seconds, seconds * 1e-6) << shown;
    }
    std::printf("[ figures  ] %d values of the formats corpus compared\n", compared);
    EXPECT_GE(compared, 100);
}

}  // namespace
}  // namespace quorvela::metadata
