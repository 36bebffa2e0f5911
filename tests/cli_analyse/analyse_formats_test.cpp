// Runs over a folder that mixes JPEGs, RAW and HEIF files and shots kept as two files (a RAW or
// HEIF file beside a JPEG of the same name): every shot counts once, and without the other
// formats the run is the JPEG-only run, byte for byte.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "run_cli.h"
#include "support/test_files.h"

namespace quorvela::cli {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using test::Tally;
using test::Total;

const fs::path kFormatsDir = QUORVELA_FORMATS_DIR;

const json& FormatsTruth() {
    static const json truth = [] {
        std::ifstream in(kFormatsDir / "truth.json");
        return json::parse(in);
    }();
    return truth;
}

// A file placed in the folder under `name`, linked to `source`; `counts` when it is the file
// that stands for its shot, with the exiftool values of `truth` (null: it adds no value).
struct Placed {
    std::string name;
    fs::path source;
    bool counts;
    json truth;
};

std::string Fill(const std::string& text, std::size_t n) {
    return text.size() >= n ? text : std::string(n - text.size(), '_') + text;
}

std::string Printf(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

double Number(const json& photo, const char* key) {
    return photo.contains(key) && photo[key].is_number() ? photo[key].get<double>() : 0.0;
}

// Real lengths in categories of 10 mm, lengths up to 28 mm kept; a length shown with two decimals
// is rounded half up to whole millimetres.
std::string FocalCategory(const json& p) {
    const std::string shown = Printf("%.2f", Number(p, "FocalLength"));
    long whole = std::stol(shown);
    if (shown[shown.find('.') + 1] >= '5') ++whole;
    if (whole == 0) return {};
    const long lower = whole / 10 * 10;
    // Halfway between two steps goes up.
    const long step = whole <= 28 ? whole : (lower + 10 - whole > whole - lower ? lower : lower + 10);
    return Fill(std::to_string(step), 5);
}

std::string IsoCategory(const json& p) {
    const auto iso = static_cast<long>(Number(p, "ISO"));
    return iso > 0 ? Fill(std::to_string(iso), 6) : std::string();
}

std::string ApertureCategory(const json& p) {
    const double f = Number(p, "FNumber");
    return f > 0 ? Fill(Printf("F%.1f", f), 6) : std::string();
}

std::string ShutterCategory(const json& p) {
    const double t = Number(p, "ExposureTime");
    if (t <= 0) return {};
    std::string text = Printf("%.4f", std::nearbyint(t * 10000) / 10000);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

// Corpus JPEGs whose exposure values are all in their EXIF directories.
std::vector<std::string> PlainJpegs() {
    std::vector<std::string> names;
    for (const auto& [name, photo] : testing::Truth().items()) {
        const bool plain = !name.starts_with("bad_") && photo["FocalLength_raw"].is_string() &&
                           photo["FNumber_raw"].is_string() && photo["ExposureTime_raw"].is_string() &&
                           Number(photo, "ISO") > 0;
        if (plain && fs::exists(testing::CorpusDir() / name)) names.push_back(name);
    }
    return names;
}

class AnalyseFormats : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!testing::HaveCorpus() || !fs::exists(kFormatsDir / "truth.json")) GTEST_SKIP() << "photo corpus absent";
        const std::vector<std::string> jpegs = PlainJpegs();
        ASSERT_GE(jpegs.size(), 12U);
        for (std::size_t i = 0; i < 9; ++i) Jpeg(jpegs[i], jpegs[i], true);
        for (const auto& [name, photo] : FormatsTruth().items()) Other(name, name, true);
        // Shots of two files. Same name and folder: the JPEG stands, else the HEIF file, else the
        // first RAW file listed; the two RAW files here hold the same shot's values, so which one
        // is listed first does not change the tallies.
        Jpeg("pair1.JPG", jpegs[9], true);
        Other("pair1.NEF", "nikon_nef_01.nef", false);
        Other("pair2.CR3", "canon_r6_cr3_01.cr3", false);
        Other("pair2.HEIC", "heic_03.heic", true);
        Other("pair3.heic", "apple_heic_04.heic", false);
        Jpeg("pair3.jpg", jpegs[10], true);
        Other("pair4.DNG", "adobe_dng_01.dng", true);
        Other("pair4.CR2", "canon_eos_cr2_01.cr2", false);
        // Same name in another folder: two shots.
        Jpeg("pair5.JPG", jpegs[11], true);
        Other("sub/pair5.RW2", "panasonic_rw2_01.rw2", true);
        std::ofstream(dir.path() / "pair1.NEF.xmp") << "<x:xmpmeta/>";
        std::ofstream(dir.path() / "pair3.xmp") << "<x:xmpmeta/>";
        fs::create_directories(dir.path() / "out");
    }

    void Jpeg(const std::string& name, const std::string& source, bool counts) {
        Place({name, testing::CorpusDir() / source, counts, testing::Truth()[source]});
        ++jpegs;
    }
    void Other(const std::string& name, const std::string& source, bool counts) {
        Place({name, kFormatsDir / source, counts, counts ? FormatsTruth()[source] : json()});
    }
    void Place(Placed file) {
        fs::create_directories((dir.path() / "photos" / file.name).parent_path());
        fs::create_symlink(file.source, dir.path() / "photos" / file.name);
        placed.push_back(std::move(file));
    }

    test::CliRun Run(const std::vector<std::string>& extra) const {
        std::vector<std::string> args{"analyse",
                                      (dir.path() / "photos").string(),
                                      "--json",
                                      "--real-length",
                                      "--decimal-separator",
                                      ".",
                                      "--table",
                                      QUORVELA_SOURCE_DIR "/data/cam_equiv.exp",
                                      "--path-list-file",
                                      (dir.path() / "out" / "vt_debug.txt").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        test::CliRun run = test::RunCli(args);
        EXPECT_EQ(run.code, 0) << run.err;
        return run;
    }

    // The tally of one quantity over the files that stand for their shots.
    Tally Expected(std::string (*category)(const json&)) const {
        Tally tally;
        for (const Placed& file : placed) {
            if (!file.counts || file.truth.is_null()) continue;
            if (const std::string c = category(file.truth); !c.empty()) ++tally[c];
        }
        return tally;
    }

    int Shots() const {
        int shots = 0;
        for (const Placed& file : placed) shots += file.counts ? 1 : 0;
        return shots;
    }

    testing::TempDir dir;
    std::vector<Placed> placed;
    int jpegs = 0;
};

std::set<std::string> Lines(const json& result) {
    return {result["pathList"].begin(), result["pathList"].end()};
}

TEST_F(AnalyseFormats, EveryShotIsFoundOnce) {
    EXPECT_EQ(Run({}).Json()["filesFound"], Shots());
    EXPECT_EQ(Run({"--formats", "jpeg"}).Json()["filesFound"], jpegs);
}

// The path list of a run with the other formats is the JPEG-only run's plus lines of shots that
// have no JPEG; a RAW or HEIF file beside a JPEG is never listed.
TEST_F(AnalyseFormats, PathListIsTheJpegListPlusShotsWithoutJpeg) {
    const std::set<std::string> all = Lines(Run({}).Json());
    const std::set<std::string> jpegOnly = Lines(Run({"--formats", "jpeg"}).Json());
    for (const std::string& line : jpegOnly) EXPECT_TRUE(all.count(line)) << line;
    for (const std::string& line : all) {
        for (const char* hidden : {"pair1.NEF", "pair2.CR3", "pair3.heic"}) {
            EXPECT_EQ(line.find(hidden), std::string::npos) << line;
        }
    }
}

// Without the other formats, the run over the mixed folder is the run over its JPEGs alone.
TEST_F(AnalyseFormats, JpegOnlyRunIgnoresEveryOtherFile) {
    const std::string mixed = Run({"--formats", "jpeg"}).out;
    for (const Placed& file : placed) {
        const std::string extension = fs::path(file.name).extension().string();
        if (extension != ".JPG" && extension != ".jpg") fs::remove(dir.path() / "photos" / file.name);
    }
    EXPECT_EQ(Run({"--formats", "jpeg"}).out, mixed);
    EXPECT_EQ(Run({}).out, mixed);
}

// The tallies of every shot, worked out from exiftool's values of the file that stands for it.
TEST_F(AnalyseFormats, TalliesCountEachShotOnce) {
    const json result = Run({}).Json();
    const Tally focal = Expected(FocalCategory);
    EXPECT_EQ(test::TallyOf(result["focal"]), focal);
    EXPECT_EQ(result["filesAnalysed"], Total(focal));
    EXPECT_EQ(test::TallyOf(result["iso"]), Expected(IsoCategory));
    EXPECT_EQ(test::TallyOf(result["aperture"]), Expected(ApertureCategory));
    EXPECT_EQ(test::TallyOf(result["shutter"]), Expected(ShutterCategory));
}

}  // namespace
}  // namespace quorvela::cli
