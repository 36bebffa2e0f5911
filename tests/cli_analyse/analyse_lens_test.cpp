// The lens, period and coverage options of `quorvela-cli analyse`, and runs without them
// against the output frozen before they came (data/golden_*.json, tools/make_analyse_golden.sh).

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "common/ascii.h"
#include "common/text_file.h"
#include "run_cli.h"
#include "support/test_files.h"

namespace quorvela::cli {
namespace {

namespace fs = std::filesystem;
using test::RunCli;

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// Collation follows LC_ALL; the frozen runs were made under C.
class CLocale {
  public:
    CLocale() {
        if (const char* old = std::getenv("LC_ALL")) saved_ = old;
        ::setenv("LC_ALL", "C", 1);
    }
    ~CLocale() {
        if (saved_) {
            ::setenv("LC_ALL", saved_->c_str(), 1);
        } else {
            ::unsetenv("LC_ALL");
        }
    }
    CLocale(const CLocale&) = delete;
    CLocale& operator=(const CLocale&) = delete;

  private:
    std::optional<std::string> saved_;
};

std::vector<std::string> CorpusArgs(const fs::path& scratch, std::vector<std::string> extra) {
    std::vector<std::string> args{"analyse",       testing::CorpusDir().lexically_normal().string(),
                                  "--json",        "--jobs",
                                  "2",             "--decimal-separator",
                                  ".",             "--table",
                                  QUORVELA_SOURCE_DIR "/data/cam_equiv.exp",
                                  "--path-list-file", (scratch / "vt_debug.txt").string()};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

TEST(AnalyseLens, RunsWithoutTheNewOptionsKeepTheirOutputAndGainTheLensTally) {
    QUORVELA_REQUIRE_CORPUS();
    const CLocale locale;
    const testing::TempDir scratch;
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"golden_default", {}},
        {"golden_real_unstepped", {"--real-length", "--no-steps", "--path-list", "shutter", "--fraction-shutter"}},
        {"golden_filtered", {"--make", "canon", "--path-list", "aperture"}},
    };
    for (const auto& [name, extra] : cases) {
        SCOPED_TRACE(name);
        const auto run = RunCli(CorpusArgs(scratch.path(), extra));
        ASSERT_EQ(run.code, 0) << run.err;
        nlohmann::json json = run.Json();
        ASSERT_TRUE(json.contains("lens"));
        int lensCount = 0;
        for (const auto& row : json["lens"]) lensCount += row["count"].get<int>();
        // Every photo that passed the filter has a lens text, "unknown lens" at least.
        int passed = 0;
        for (const auto& [file, photo] : testing::Truth().items()) {
            const bool canon = photo["Make"].is_string() &&
                               common::UpperAscii(photo["Make"].get<std::string>()).find("CANON") != std::string::npos;
            passed += std::string(name) == "golden_filtered" ? canon : 1;
        }
        EXPECT_EQ(lensCount, passed);
        json.erase("lens");
        const std::string shown = json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
        const std::string root = testing::CorpusDir().lexically_normal().string();
        const std::string frozen = ReadAll(fs::path(QUORVELA_SOURCE_DIR) / "tests/cli_analyse/data" / (std::string(name) + ".json"));
        EXPECT_EQ(ReplaceAll(shown, root, "@CORPUS@"), frozen);
    }
}

TEST(AnalyseLens, UnusableDaysAndRangesEndWithStatusTwo) {
    const testing::TempDir dir;
    common::WriteTextLines(dir.path() / "cam_equiv.txt", {});
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--from", "2026-02-30"}, {"--to", "2026-6-1"}, {"--from", "yesterday"},
          {"--from", "2026-09-01", "--to", "2026-08-31"}, {"--coverage", "70-24"}, {"--coverage", "wide"},
          {"--coverage", "-5"}}) {
        SCOPED_TRACE(bad.front() + " " + bad[1]);
        std::vector<std::string> args = test::AnalyseArgs(dir.path(), {dir.path().string()});
        args.insert(args.end(), bad.begin(), bad.end());
        const auto run = RunCli(args);
        EXPECT_EQ(run.code, 2);
        EXPECT_NE(run.err.find(bad.front() == "--coverage" ? "--coverage" : "YYYY-MM-DD"), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

TEST(AnalyseLens, LensFilterPeriodCoverageAndLensPathList) {
    QUORVELA_REQUIRE_CORPUS();
    const testing::TempDir scratch;
    const auto run = RunCli(CorpusArgs(scratch.path(), {"--lens-model", "18-70", "--from", "2004-03-30", "--to",
                                                        "2005-01-14", "--coverage", "18-70", "--no-steps",
                                                        "--real-length", "--path-list", "lens"}));
    ASSERT_EQ(run.code, 0) << run.err;
    const nlohmann::json json = run.Json();
    // nikon_d70_01 (2005-01-14) and nikon_d70_02 (2004-03-30); bad_nikon_d70_01 is of 2006.
    EXPECT_EQ(json["filesAnalysed"], 2);
    ASSERT_EQ(json["lens"].size(), 1U);
    EXPECT_EQ(json["lens"][0]["label"], "18-70mm f/3.5-4.5");
    EXPECT_EQ(json["coverage"], (nlohmann::json{{"from", 18.0}, {"to", 70.0}, {"photos", 2}, {"of", 2}}));
    ASSERT_EQ(json["pathList"].size(), 2U);
    EXPECT_EQ(json["pathList"][0].get<std::string>().rfind("18-70mm f/3.5-4.5 - ", 0), 0U);
    EXPECT_NE(json["messages"].back().get<std::string>().find(
                  "Lens: 18-70; Period: 2004-03-30 to 2005-01-14; 0 photos without a date left out"),
              std::string::npos);

    const auto plain = RunCli({"analyse", testing::CorpusDir().string(), "--coverage", "35", "--decimal-separator",
                               ".", "--table", QUORVELA_SOURCE_DIR "/data/cam_equiv.exp", "--path-list-file",
                               (scratch.path() / "vt_debug.txt").string()});
    ASSERT_EQ(plain.code, 0) << plain.err;
    EXPECT_NE(plain.out.find("\nLens\n"), std::string::npos);
    EXPECT_NE(plain.out.find("\n35 mm covers "), std::string::npos) << plain.out;
}

}  // namespace
}  // namespace quorvela::cli
