// Every file of the formats corpus (raw, HEIF/HEIC, AVIF, CR3) read by our reader and compared
// with what exiftool reports, in the texts the reader renders for a JPEG.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "common/number_format.h"
#include "metadata/img_data.h"

namespace quorvela::metadata {
namespace {

const std::filesystem::path kFormatsDir = QUORVELA_FORMATS_DIR;

bool HaveFormats() {
    return std::filesystem::exists(kFormatsDir / "truth.json");
}

const nlohmann::json& FormatsTruth() {
    static const nlohmann::json truth = [] {
        std::ifstream in(kFormatsDir / "truth.json");
        return nlohmann::json::parse(in);
    }();
    return truth;
}

#define REQUIRE_FORMATS()                                                   \
    do {                                                                    \
        if (!HaveFormats()) GTEST_SKIP() << "formats corpus absent";        \
    } while (0)

// Where our reader and exiftool differ, and why. Each entry is one file's one tag and the text
// our reader gives there.
struct Exception {
    const char* file;
    const char* tag;
    const char* ours;
    const char* reason;
};
constexpr const char* kCrwNotRead = "CRW (CIFF) is a directory format of its own, not TIFF: it is not read";
const Exception kExceptions[] = {
    {"fujifilm_raf_01.raf", "Model", "FinePix S5Pro  ",
     "the camera pads Model with blanks; exiftool drops trailing blanks, the JPEG reader keeps them"},
    {"canon_crw_01.crw", "Make", "", kCrwNotRead},
    {"canon_crw_01.crw", "Model", "", kCrwNotRead},
    {"canon_crw_01.crw", "FocalLength", "", kCrwNotRead},
    {"canon_crw_01.crw", "FNumber", "", kCrwNotRead},
    {"canon_crw_01.crw", "ISOSpeedRatings", "", kCrwNotRead},
    {"canon_crw_01.crw", "ExposureTime", "", kCrwNotRead},
};

const Exception* FindException(const std::string& file, std::string_view tag) {
    for (const Exception& e : kExceptions) {
        if (file == e.file && tag == e.tag) return &e;
    }
    return nullptr;
}

// A rendered "n/d sec" or "x sec" as a number of seconds.
double SecondsOf(const std::string& text) {
    const auto slash = text.find('/');
    if (slash == std::string::npos) return std::stod(text);
    const double d = std::stod(text.substr(slash + 1));
    return d == 0 ? 0.0 : std::stod(text.substr(0, slash)) / d;
}

struct Comparison {
    std::string tag;
    std::string expected;
};

// exiftool's numbers in the forms the reader renders them; ExposureTime is compared as a value,
// since the reader shows the stored fraction (10/2500) and exiftool its value (0.004).
std::vector<Comparison> Expectations(const nlohmann::json& truth) {
    std::vector<Comparison> out;
    const auto has = [&truth](const char* key) { return truth.contains(key) && !truth[key].is_null(); };
    const auto number = [&truth](const char* key) { return truth[key].get<double>(); };
    if (has("Make")) out.push_back({"Make", truth["Make"].is_string() ? truth["Make"].get<std::string>()
                                                                       : std::to_string(truth["Make"].get<int>())});
    if (has("Model")) out.push_back({"Model", truth["Model"].get<std::string>()});
    if (has("FocalLength")) out.push_back({"FocalLength", common::FormatFixed(number("FocalLength"), 2, 5, '.') + " mm"});
    if (has("FNumber")) out.push_back({"FNumber", "F" + common::FormatFixed(number("FNumber"), 1, 0, '.')});
    if (has("ISO")) out.push_back({"ISOSpeedRatings", std::to_string(truth["ISO"].get<int>())});
    if (has("FocalLengthIn35mmFormat")) {
        out.push_back({"FocalLengthin35mmFilm", common::FormatFixed(number("FocalLengthIn35mmFormat"), 2, 5, '.') + " mm"});
    }
    return out;
}

TEST(FormatConformance, RenderedTagsAgreeWithExiftool) {
    REQUIRE_FORMATS();
    int compared = 0;
    TimgData reader;
    for (const auto& [name, truth] : FormatsTruth().items()) {
        SCOPED_TRACE(name);
        reader.ReadJpegFile((kFormatsDir / name).string());
        const auto text = [&reader](std::string_view tag) {
            return reader.ExifDirectory ? reader.ExifDirectory->TagTextByName(tag) : std::string();
        };
        for (const Comparison& c : Expectations(truth)) {
            ++compared;
            const Exception* known = FindException(name, c.tag);
            EXPECT_EQ(text(c.tag), known != nullptr ? known->ours : c.expected) << c.tag;
        }
        if (!truth["ExposureTime"].is_null()) {
            ++compared;
            const std::string shown = text("ExposureTime");
            if (const Exception* known = FindException(name, "ExposureTime")) {
                EXPECT_EQ(shown, known->ours);
                continue;
            }
            ASSERT_TRUE(shown.size() > 4 && shown.ends_with(" sec")) << shown;
            const double expected = truth["ExposureTime"].get<double>();
            EXPECT_NEAR(SecondsOf(shown), expected, expected * 1e-6) << shown;
        }
    }
    std::printf("[ figures  ] %d values of the formats corpus compared\n", compared);
    EXPECT_GE(compared, 100);
}

// exiftool's file type names (its RAW for a Panasonic file it cannot name further is ours RW2).
TEST(FormatConformance, FormatsAreNamedAsExiftoolNamesThem) {
    REQUIRE_FORMATS();
    const std::map<std::string, std::string> differs = {{"bad_rw2_01.rw2", "RW2"}, {"bad_raf_01.raf", "Unknown"}};
    TimgData reader;
    for (const auto& [name, truth] : FormatsTruth().items()) {
        SCOPED_TRACE(name);
        reader.ReadJpegFile((kFormatsDir / name).string());
        const auto known = differs.find(name);
        const std::string expected = known != differs.end() ? known->second : truth["FileType"].get<std::string>();
        EXPECT_EQ(FormatName(reader.Format), expected);
    }
}

// Files with EXIF data read without a problem; the damaged ones and those without EXIF data
// say why in their status text.
TEST(FormatConformance, EveryFileEndsWithAStatusText) {
    REQUIRE_FORMATS();
    const std::map<std::string, std::string> problems = {
        {"bad_heic_01.heic", "No EXIF data"},       {"bad_heic_02.heic", "No metadata box"},
        {"bad_raf_01.raf", "Not an EXIF file"},     {"canon_crw_01.crw", "format not read"},
        {"heic_02.heic", "No EXIF data"},           {"quicktime_heic_01.heic", "No EXIF data"},
    };
    TimgData reader;
    for (const auto& [name, truth] : FormatsTruth().items()) {
        SCOPED_TRACE(name);
        const bool found = reader.ReadJpegFile((kFormatsDir / name).string());
        const auto problem = problems.find(name);
        EXPECT_EQ(found, problem == problems.end());
        EXPECT_EQ(reader.StatusText, problem != problems.end() ? problem->second : "<none>");
        // exiftool finds EXIF directories exactly where we do.
        EXPECT_EQ(reader.HasExifBlock(), !truth["ExifGroupsFound"].empty());
    }
}

}  // namespace
}  // namespace quorvela::metadata
