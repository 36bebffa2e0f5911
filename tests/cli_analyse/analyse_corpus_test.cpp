// Whole runs of `quorvela-cli analyse` over the real photos, against tallies worked out here
// from exiftool's values in truth.json by the rules of the focal-length, ISO, aperture and
// shutter categories, written independently of the engine.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "run_cli.h"
#include "support/test_files.h"

namespace quorvela::cli {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using test::Tally;
using test::Total;

std::string Fill(const std::string& text, std::size_t n) {
    return text.size() >= n ? text : std::string(n - text.size(), '_') + text;
}

std::string Printf(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::optional<double> Rational(const json& value) {
    if (!value.is_string()) return std::nullopt;
    const std::string text = value.get<std::string>();
    const auto slash = text.find('/');
    if (slash == std::string::npos) return std::nullopt;
    const double d = std::stod(text.substr(slash + 1));
    if (d == 0) return std::nullopt;
    return std::stod(text.substr(0, slash)) / d;
}

// Whole millimetres of a length text: the whole part, plus one when the first decimal is 5-9.
long WholeMillimetres(const std::string& text) {
    const auto point = text.find('.');
    long whole = std::stol(text.substr(0, point));
    if (point != std::string::npos && point + 1 < text.size() && text[point + 1] >= '5') ++whole;
    return whole;
}

// The step ranges as stated: lower = 10k, upper = lower + 10; lengths up to 28 kept.
long Step(long n) {
    if (n <= 28) return n;
    for (long k = 0; k <= 9999; ++k) {
        const long lower = 10 * k;
        const long upper = lower + 10;
        if (lower <= n && n <= upper) return upper - n > n - lower ? lower : upper;
    }
    return -1;
}

// The focal category of a photo whose focal length is scaled by `factor`, or empty.
std::string FocalCategory(const json& photo, double factor, bool steps) {
    const auto focal = Rational(photo["FocalLength_raw"]);
    if (!focal) return {};
    // The reader shows two decimals; the scaled value is kept to 4 significant digits or 2 decimals.
    const double shown = std::stod(Printf("%.2f", *focal));
    const auto value = static_cast<double>(static_cast<long double>(factor) * shown);
    const std::string text = value < 100    ? Printf("%.2f", value)
                             : value < 1000 ? Printf("%.1f", value)
                                            : Printf("%.0f", value);
    const long whole = WholeMillimetres(text);
    if (std::stod(text) == 0) return {};  // 0 mm means unknown
    return Fill(std::to_string(steps ? Step(whole) : whole), 5);
}

std::string IsoCategory(const json& photo) {
    if (!photo["ISO"].is_number_integer() || photo["ISO"].get<long>() == 0) return {};
    return Fill(std::to_string(photo["ISO"].get<long>()), 6);
}

std::string ApertureCategory(const json& photo) {
    const auto f = Rational(photo["FNumber_raw"]);
    return f ? Fill(Printf("F%.1f", *f), 6) : std::string();
}

std::optional<double> ExposureSeconds(const json& photo) {
    if (const auto t = Rational(photo["ExposureTime_raw"])) return t;
    if (const auto apex = Rational(photo["ShutterSpeedValue_raw"])) {
        return std::stod(Printf("%.4f", 1.0 / std::pow(2.0, *apex)));  // shown with four decimals
    }
    return std::nullopt;
}

std::string ShutterCategory(const json& photo, bool fraction) {
    const auto v = ExposureSeconds(photo);
    if (!v || *v <= 0) return {};
    if (fraction) {
        return *v < 1 ? "1/" + Printf("%.0f", std::nearbyint(1 / *v)) : Printf("%.0f", std::nearbyint(*v));
    }
    std::string text = Printf("%.4f", std::nearbyint(*v * 10000) / 10000);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

// A value exiftool left out of truth.json (it files tags of a damaged IFD0 under another
// group) but exiv2 read: the raw value from the exiv2 listing of the photo's main directories.
json Exiv2Value(const std::string& name, const std::string& tag) {
    std::ifstream in(testing::CorpusDir() / "truth-exiv2" / (fs::path(name).stem().string() + ".txt"));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, group, tagName, type, count, value;
        fields >> id >> group >> tagName >> type >> count >> value;
        if (tagName == tag && (group == "Image" || group == "Photo") && count == "1") return value;
    }
    return nullptr;
}

// The exposure values of a photo: truth.json's, completed from exiv2's where exiftool has none.
json Completed(const std::string& name, json photo) {
    const std::pair<const char*, const char*> fields[] = {{"FocalLength_raw", "FocalLength"},
                                                          {"FNumber_raw", "FNumber"},
                                                          {"ExposureTime_raw", "ExposureTime"},
                                                          {"ShutterSpeedValue_raw", "ShutterSpeedValue"}};
    for (const auto& [field, tag] : fields) {
        if (photo[field].is_null()) photo[field] = Exiv2Value(name, tag);
    }
    if (photo["ISO"].is_null()) {
        const json iso = Exiv2Value(name, "ISOSpeedRatings");
        if (iso.is_string()) photo["ISO"] = std::stol(iso.get<std::string>());
    }
    return photo;
}

// The corpus photos as truth.json lists them, for files that are in the folder.
std::vector<std::pair<std::string, json>> Photos() {
    std::vector<std::pair<std::string, json>> photos;
    for (const auto& [name, photo] : testing::Truth().items()) {
        if (fs::exists(testing::CorpusDir() / name)) photos.emplace_back(name, Completed(name, photo));
    }
    return photos;
}

Tally Expected(const std::function<std::string(const json&)>& category,
               const std::function<bool(const std::string&, const json&)>& take = {}) {
    Tally tally;
    for (const auto& [name, photo] : Photos()) {
        if (take && !take(name, photo)) continue;
        if (const std::string c = category(photo); !c.empty()) ++tally[c];
    }
    return tally;
}

json Analyse(std::vector<std::string> extra, const fs::path& folder = testing::CorpusDir()) {
    static testing::TempDir out;
    std::vector<std::string> args{"analyse",
                                  folder.string(),
                                  "--json",
                                  "--decimal-separator",
                                  ".",
                                  "--table",
                                  QUORVELA_SOURCE_DIR "/data/cam_equiv.exp",
                                  "--path-list-file",
                                  (out.path() / "vt_debug.txt").string(),
                                  "--cache",
                                  (out.path() / "photos.db").string()};
    args.insert(args.end(), extra.begin(), extra.end());
    const test::CliRun run = test::RunCli(args);
    EXPECT_EQ(run.code, 0) << run.err;
    return run.Json();
}

// Files without the EXIF ISO tag but with an ISO in their maker note may gain an ISO category
// once maker notes are decoded: each may add one count, nothing else may differ.
void ExpectIsoTally(const Tally& actual, const Tally& expected, int mayAdd) {
    int added = 0;
    for (const auto& [category, count] : actual) {
        const auto found = expected.find(category);
        const int want = found == expected.end() ? 0 : found->second;
        EXPECT_GE(count, want) << category;
        added += count - want;
    }
    for (const auto& [category, count] : expected) EXPECT_TRUE(actual.count(category)) << category;
    EXPECT_LE(added, mayAdd);
}

int MakerNoteIsoOnly(const std::function<bool(const std::string&, const json&)>& take = {}) {
    int n = 0;
    for (const auto& [name, photo] : Photos()) {
        if (take && !take(name, photo)) continue;
        n += photo["ISO"].is_null() && !photo["MakerNoteISO"].is_null();
    }
    return n;
}

TEST(AnalyseCorpus, TalliesAgreeWithExiftoolValues) {
    QUORVELA_REQUIRE_CORPUS();
    const json result = Analyse({"--real-length"});
    EXPECT_EQ(result["filesFound"], 132);
    EXPECT_EQ(test::TallyOf(result["focal"]), Expected([](const json& p) { return FocalCategory(p, 1.0, true); }));
    EXPECT_EQ(result["filesAnalysed"], Total(test::TallyOf(result["focal"])));
    ExpectIsoTally(test::TallyOf(result["iso"]), Expected(IsoCategory), MakerNoteIsoOnly());
    EXPECT_EQ(test::TallyOf(result["aperture"]), Expected(ApertureCategory));
    EXPECT_EQ(test::TallyOf(result["shutter"]), Expected([](const json& p) { return ShutterCategory(p, false); }));
}

TEST(AnalyseCorpus, FocalLengthModesAndFormats) {
    QUORVELA_REQUIRE_CORPUS();
    const json unstepped = Analyse({"--real-length", "--no-steps"});
    EXPECT_EQ(test::TallyOf(unstepped["focal"]), Expected([](const json& p) { return FocalCategory(p, 1.0, false); }));
    const json calculated = Analyse({"--always-calc", "--lens", "1=1,5", "--no-steps"});
    EXPECT_EQ(test::TallyOf(calculated["focal"]), Expected([](const json& p) { return FocalCategory(p, 1.5, false); }));
    const json fraction = Analyse({"--fraction-shutter"});
    EXPECT_EQ(test::TallyOf(fraction["shutter"]), Expected([](const json& p) { return ShutterCategory(p, true); }));
}

TEST(AnalyseCorpus, StoredThirtyFiveMillimetreValuesArePlottedAsStored) {
    QUORVELA_REQUIRE_CORPUS();
    const json result = Analyse({"--no-steps", "--path-list", "focal"});
    std::set<std::string> lines(result["pathList"].begin(), result["pathList"].end());
    int checked = 0;
    for (const auto& [name, photo] : Photos()) {
        if (!photo["FocalLengthIn35mmFormat_stored"].is_boolean() || !photo["FocalLengthIn35mmFormat_stored"]) continue;
        const long stored = photo["FocalLengthIn35mmFormat"].get<long>();
        if (stored == 0) continue;
        const std::string start = Fill(std::to_string(stored), 5) + " mm - " + (testing::CorpusDir() / name).string();
        const auto found = lines.lower_bound(start);
        EXPECT_TRUE(found != lines.end() && found->rfind(start, 0) == 0) << start;
        ++checked;
    }
    EXPECT_GT(checked, 30);
}

TEST(AnalyseCorpus, PathListForEachQuantity) {
    QUORVELA_REQUIRE_CORPUS();
    struct Case {
        const char* quantity;
        std::function<std::string(const json&)> category;
        std::size_t width;
        const char* after;
    };
    const Case cases[] = {
        {"iso", IsoCategory, 0, ""},
        {"aperture", ApertureCategory, 5, " - "},
        {"shutter", [](const json& p) { return ShutterCategory(p, false); }, 7, " sec - "},
        {"focal", [](const json& p) { return FocalCategory(p, 1.0, true); }, 5, " mm = "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.quantity);
        const json result = Analyse({"--path-list", c.quantity, "--real-length"});
        const json& lines = result["pathList"];
        if (std::string(c.quantity) == "iso") {
            EXPECT_GE(static_cast<int>(lines.size()), Total(Expected(c.category)));
            for (const auto& line : lines) EXPECT_EQ(line.get<std::string>().rfind("ISO ", 0), 0U);
            continue;
        }
        EXPECT_EQ(static_cast<int>(lines.size()), Total(Expected(c.category)));
        for (const auto& [name, photo] : Photos()) {
            std::string category = c.category(photo);
            if (category.empty()) continue;
            std::string shown = std::string(c.quantity) == "aperture" ? category.substr(1) : category;
            while (shown.size() < c.width) shown.insert(0, "_");
            const std::string start = shown + c.after;
            const std::string path = (testing::CorpusDir() / name).string();
            bool found = false;
            for (const auto& line : lines) {
                const std::string text = line.get<std::string>();
                found = found || (text.rfind(start, 0) == 0 && text.find(" - " + path) != std::string::npos);
            }
            EXPECT_TRUE(found) << start << path;
        }
    }
}

// The comma separator reaches every rendered value and every parse of it: the same tallies
// come out, written with commas.
TEST(AnalyseCorpus, CommaSeparatorGivesTheSameTallies) {
    QUORVELA_REQUIRE_CORPUS();
    const json point = Analyse({"--real-length"});
    const json comma = Analyse({"--real-length", "--decimal-separator", ","});
    for (const char* quantity : {"focal", "iso", "aperture", "shutter"}) {
        SCOPED_TRACE(quantity);
        Tally withPoints;
        for (const auto& [shown, count] : test::TallyOf(comma[quantity])) {
            std::string category = shown;
            EXPECT_EQ(category.find('.'), std::string::npos);
            std::replace(category.begin(), category.end(), ',', '.');
            withPoints[category] += count;
        }
        EXPECT_EQ(withPoints, test::TallyOf(point[quantity]));
    }
}

TEST(AnalyseCorpus, FilterByMake) {
    QUORVELA_REQUIRE_CORPUS();
    const json result = Analyse({"--real-length", "--make", "canon"});
    const auto canon = [](const std::string&, const json& p) {
        if (!p["Make"].is_string()) return false;
        std::string make = p["Make"].get<std::string>();
        for (char& ch : make) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        return make.find("CANON") != std::string::npos;
    };
    EXPECT_EQ(result["filesFound"], 132);
    const Tally focal = Expected([](const json& p) { return FocalCategory(p, 1.0, true); }, canon);
    EXPECT_EQ(test::TallyOf(result["focal"]), focal);
    EXPECT_EQ(result["filesAnalysed"], Total(focal));
    EXPECT_EQ(test::TallyOf(result["aperture"]), Expected(ApertureCategory, canon));
    ExpectIsoTally(test::TallyOf(result["iso"]), Expected(IsoCategory, canon), MakerNoteIsoOnly(canon));
    ASSERT_EQ(result["messages"].size(), 1U);
    EXPECT_EQ(result["messages"][0].get<std::string>().rfind(
                  "Filtering selected, " + std::to_string(Total(focal)) + " files out of a total of 132 files", 0),
              0U);
}

TEST(AnalyseCorpus, SubfoldersOnAndOff) {
    QUORVELA_REQUIRE_CORPUS();
    testing::TempDir tree;
    fs::create_directories(tree.path() / "sub" / "deeper");
    std::set<std::string> top;
    int i = 0;
    for (const auto& [name, photo] : Photos()) {
        const fs::path where = i % 3 == 0   ? tree.path()
                               : i % 3 == 1 ? tree.path() / "sub"
                                            : tree.path() / "sub" / "deeper";
        if (i % 3 == 0) top.insert(name);
        fs::create_symlink(testing::CorpusDir() / name, where / name);
        ++i;
    }
    const auto inTop = [&](const std::string& name, const json&) { return top.count(name) != 0; };
    const json all = Analyse({"--real-length"}, tree.path());
    EXPECT_EQ(all["filesFound"], 132);
    EXPECT_EQ(test::TallyOf(all["aperture"]), Expected(ApertureCategory));
    const json own = Analyse({"--real-length", "--no-subfolders"}, tree.path());
    EXPECT_EQ(own["filesFound"], static_cast<int>(top.size()));
    EXPECT_EQ(test::TallyOf(own["aperture"]), Expected(ApertureCategory, inTop));
    EXPECT_EQ(test::TallyOf(own["focal"]), Expected([](const json& p) { return FocalCategory(p, 1.0, true); }, inTop));
}

}  // namespace
}  // namespace quorvela::cli
