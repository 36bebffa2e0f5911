// The lens, period and coverage options of `quorvela-cli analyse`, and runs without them
// against the output frozen before they came (data/golden_*.json, tools/make_analyse_golden.sh).

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "common/ascii.h"
#include "run_cli.h"
#include "support/test_files.h"

namespace quorvela::cli {
namespace {

namespace fs = std::filesystem;
using test::RunCli;

test::CliRun Corpus(const fs::path& scratch, std::vector<std::string> extra) {
    std::vector<std::string> args{"analyse",
                                  testing::CorpusDir().lexically_normal().string(),
                                  "--json",
                                  "--jobs",
                                  "2",
                                  "--decimal-separator",
                                  ".",
                                  "--table",
                                  QUORVELA_SOURCE_DIR "/data/cam_equiv.exp",
                                  "--path-list-file",
                                  (scratch / "vt_debug.txt").string()};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunCli(args);
}

TEST(AnalyseLens, RunsWithoutTheNewOptionsKeepTheirOutputAndGainTheLensAndRatingTallies) {
    QUORVELA_REQUIRE_CORPUS();
    const testing::TempDir scratch;
    const char* locale = std::getenv("LC_ALL");
    const std::string saved = locale != nullptr ? locale : "";
    ::setenv("LC_ALL", "C", 1);  // the frozen runs were made under C
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"golden_default", {}},
        {"golden_real_unstepped", {"--real-length", "--no-steps", "--path-list", "shutter", "--fraction-shutter"}},
        {"golden_filtered", {"--make", "canon", "--path-list", "aperture"}},
    };
    for (const auto& [name, extra] : cases) {
        const auto run = Corpus(scratch.path(), extra);
        ASSERT_EQ(run.code, 0) << run.err;
        nlohmann::json json = run.Json();
        // Every photo that passed the filter has a lens text and a rating.
        int lensCount = 0;
        for (const auto& row : json.at("lens")) lensCount += row["count"].get<int>();
        int rated = 0;
        for (const auto& row : json.at("rating")) rated += row["count"].get<int>();
        int passed = 0;
        for (const auto& [file, photo] : testing::Truth().items()) {
            passed += name != "golden_filtered" ||
                      (photo["Make"].is_string() &&
                       common::UpperAscii(photo["Make"].get<std::string>()).find("CANON") != std::string::npos);
        }
        EXPECT_EQ(lensCount, passed) << name;
        EXPECT_EQ(rated, passed) << name;
        json.erase("lens");
        json.erase("rating");
        std::string shown = json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
        const std::string root = testing::CorpusDir().lexically_normal().string();
        for (auto at = shown.find(root); at != std::string::npos; at = shown.find(root, at))
            shown.replace(at, root.size(), "@CORPUS@");
        std::ifstream frozen(fs::path(QUORVELA_SOURCE_DIR) / "tests/cli_analyse/data" / (name + ".json"));
        EXPECT_EQ(shown, std::string(std::istreambuf_iterator<char>(frozen), {})) << name;
    }
    locale != nullptr ? ::setenv("LC_ALL", saved.c_str(), 1) : ::unsetenv("LC_ALL");
}

TEST(AnalyseLens, UnusableDaysAndRangesEndWithStatusTwo) {
    const testing::TempDir dir;
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--from", "2026-02-30"},
                                                {"--to", "2026-6-1"},
                                                {"--from", "2026-09-01", "--to", "2026-08-31"},
                                                {"--coverage", "70-24"},
                                                {"--coverage", "wide"}}) {
        std::vector<std::string> args = test::AnalyseArgs(dir.path(), {dir.path().string()});
        args.insert(args.end(), bad.begin(), bad.end());
        const auto run = RunCli(args);
        EXPECT_EQ(run.code, 2) << bad[1];
        const char* said = bad.front() == "--coverage" ? "--coverage"
                           : bad.size() == 4           ? "the first day is after the last"
                                                       : "YYYY-MM-DD";
        EXPECT_NE(run.err.find(said), std::string::npos) << run.err;
    }
}

TEST(AnalyseLens, LensFilterPeriodCoverageAndLensPathList) {
    QUORVELA_REQUIRE_CORPUS();
    const testing::TempDir scratch;
    const auto run = Corpus(scratch.path(), {"--lens-model", "18-70", "--from", "2004-03-30", "--to", "2005-01-14",
                                             "--coverage", "18-70", "--real-length", "--path-list", "lens"});
    ASSERT_EQ(run.code, 0) << run.err;
    const nlohmann::json json = run.Json();
    // nikon_d70_01 (2005-01-14) and nikon_d70_02 (2004-03-30); bad_nikon_d70_01 is of 2006.
    // Nikon's note gives the range and apertures; lensfun knows one such lens of the F mount.
    const std::string lens = "Nikon AF-S DX Zoom-Nikkor 18-70mm f/3.5-4.5G IF-ED";
    EXPECT_EQ(json["lens"], (nlohmann::json{{{"category", lens},
                                             {"label", lens},
                                             {"count", 2},
                                             {"range", {18.0, 70.0}},
                                             {"atWideEnd", 0},
                                             {"atLongEnd", 0}}}));
    EXPECT_EQ(json["coverage"], (nlohmann::json{{"from", 18.0}, {"to", 70.0}, {"photos", 2}, {"of", 2}}));
    ASSERT_EQ(json["pathList"].size(), 2U);
    EXPECT_EQ(json["pathList"][0].get<std::string>().rfind(lens + " - ", 0), 0U);
    EXPECT_NE(json["messages"].back().get<std::string>().find(
                  "\nLens: 18-70\nPeriod: 2004-03-30 to 2005-01-14; 0 photos without a date left out"),
              std::string::npos);
}

}  // namespace
}  // namespace quorvela::cli
