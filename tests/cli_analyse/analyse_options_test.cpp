// The options, exit statuses and outputs of `quorvela-cli analyse`, on small folders made here.

#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/text_file.h"
#include "exif_writer.h"
#include "run_cli.h"
#include "support/test_files.h"

namespace quorvela::cli {
namespace {

namespace fs = std::filesystem;
using test::RunCli;

std::vector<std::uint8_t> Photo(const char* make, const char* model, std::uint32_t focalTenths, std::uint16_t iso) {
    samples::Tiff tiff;
    samples::Ifd exif(false);
    exif.Rational(0x829A, {{1, 60}}).Rational(0x829D, {{40, 10}}).Short(0x8827, {iso});
    exif.Rational(0x920A, {{focalTenths, 10}});
    tiff.ifd0.Ascii(0x010F, make).Ascii(0x0110, model).Link(0x8769, exif);
    return samples::Jpeg().Soi().Exif(tiff).Sos().Eoi().Build();
}

class AnalyseOptions : public ::testing::Test {
  protected:
    void SetUp() override {
        // A model no camera list knows: its photo takes the manual factor.
        dir.Write("photos/a.jpg", Photo("Canon", "Canon PowerShot G0", 71, 100));
        dir.Write("photos/b.jpg", Photo("NIKON", "E990", 82, 200));
        dir.Write("photos/sub/c.jpg", Photo("NIKON", "E990", 164, 200));
        common::WriteTextLines(dir.path() / "cam_equiv.txt", {});
    }
    std::vector<std::string> Args(std::vector<std::string> extra) const {
        std::vector<std::string> args = test::AnalyseArgs(dir.path(), {(dir.path() / "photos").string()});
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }
    static std::vector<std::string> Labels(const nlohmann::json& rows) {
        std::vector<std::string> labels;
        for (const auto& row : rows)
            labels.push_back(row["label"].get<std::string>() + "x" + std::to_string(row["count"].get<int>()));
        return labels;
    }
    testing::TempDir dir;
};

TEST_F(AnalyseOptions, DefaultsOfAFirstStart) {
    const auto run = RunCli(Args({"--json"}));
    ASSERT_EQ(run.code, 0) << run.err;
    const auto json = run.Json();
    // 8.2 x 38 / 8.2 = 38 -> 40; 7.1 -> 32.90 -> 30; 16.4 -> 76 -> 80: steps of 10, factor 8,2=38.
    EXPECT_EQ(Labels(json["focal"]), (std::vector<std::string>{"30x1", "40x1", "80x1"}));
    EXPECT_EQ(json["filesFound"], 3);
    EXPECT_EQ(json["summary"], "Files analyzed: 3 out of total: 3");
    EXPECT_EQ(json["stopped"], false);
    EXPECT_EQ(json["pathList"].size(), 3U);
    EXPECT_EQ(json["shutter"][0]["category"], "0.0167");
    EXPECT_EQ(json["iso"][0]["category"], "___100");
    // The path list went to its file too, with CR LF line ends.
    EXPECT_EQ(common::ReadTextLines(dir.path() / "vt_debug.txt").size(), 3U);
}

TEST_F(AnalyseOptions, EveryOptionReachesTheRun) {
    common::WriteTextLines(dir.path() / "cam_equiv.txt", {"[_START]", "[MAKE]nikon", "[MODEL]E990", "[REAL_LENS]8,2",
                                                          "[35MM_EQUIVALENT]38", "[_END]"});
    struct Case {
        std::vector<std::string> options;
        const char* key;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {{"--no-subfolders"}, "focal", {"30x1", "40x1"}},
        {{"--no-steps"}, "focal", {"33x1", "38x1", "76x1"}},
        {{"--step", "25", "--ignore", "0"}, "focal", {"25x1", "50x1", "75x1"}},
        {{"--ignore", "40"}, "focal", {"33x1", "38x1", "80x1"}},
        {{"--real-length"}, "focal", {"7x1", "8x1", "16x1"}},
        {{"--always-calc", "--lens", "1=2"}, "focal", {"14x1", "16x1", "30x1"}},
        {{"--lens", "1=2"}, "focal", {"14x1", "40x1", "80x1"}},  // the table still serves the Nikon
        {{"--fraction-shutter"}, "shutter", {"1/60x3"}},
        {{"--make", "nikon"}, "iso", {"200x2"}},
        {{"--model", "G0"}, "iso", {"100x1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.front());
        std::vector<std::string> options = c.options;
        options.push_back("--json");
        const auto run = RunCli(Args(options));
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(Labels(run.Json()[c.key]), c.labels);
    }
}

TEST_F(AnalyseOptions, PathListChoiceAndMakerNotes) {
    const auto iso = RunCli(Args({"--json", "--path-list", "iso", "--maker-notes"})).Json();
    ASSERT_EQ(iso["pathList"].size(), 3U);
    EXPECT_EQ(iso["pathList"][0], "ISO _100 - " + (dir.path() / "photos" / "a.jpg").string() +
                                      "  - Make: Canon - Model: Canon PowerShot G0");
    const auto none = RunCli(Args({"--json", "--path-list", "none"})).Json();
    EXPECT_TRUE(none["pathList"].empty());
}

TEST_F(AnalyseOptions, SettingsFileAndOverrides) {
    const fs::path ini = dir.path() / "vintrop.ini";
    std::ofstream(ini) << "[CHECKMARK]\n0=0\n1=0\n5=1\n[RadioButton]\n0=3\n[INI]\nPath="
                       << (dir.path() / "photos").string() << "\n";
    const auto fromFile =
        RunCli({"analyse", "--settings", ini.string(), "--json", "--decimal-separator", ".", "--table",
                (dir.path() / "none.txt").string(), "--path-list-file", (dir.path() / "vt.txt").string()});
    // The table named does not exist: a clear refusal.
    EXPECT_EQ(fromFile.code, 2);
    EXPECT_NE(fromFile.err.find("none.txt"), std::string::npos);

    const auto run =
        RunCli({"analyse", "--settings", ini.string(), "--json", "--decimal-separator", ".", "--path-list-file",
                (dir.path() / "vt.txt").string(), "--table", (dir.path() / "cam_equiv.txt").string()});
    ASSERT_EQ(run.code, 0) << run.err;
    const auto json = run.Json();
    EXPECT_EQ(json["filesFound"], 2);  // subfolders off
    // Steps off; the E990's crop factor (4.84) comes from the camera list: 8.2 mm -> 40 mm.
    EXPECT_EQ(Labels(json["focal"]), (std::vector<std::string>{"33x1", "40x1"}));
    EXPECT_EQ(json["shutter"][0]["category"], "1/60");
    EXPECT_EQ(json["pathList"][0].get<std::string>().substr(0, 7), "___1/60");

    const auto overridden = RunCli(Args({"--settings", ini.string(), "--json", "--step", "20"}));
    EXPECT_EQ(Labels(overridden.Json()["focal"]), (std::vector<std::string>{"33x1", "40x1"}));
}

TEST_F(AnalyseOptions, ExitStatusesAndMessages) {
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* text;  // expected in stdout (status 0 and 1) or stderr (status 2)
    };
    const std::string missing = (dir.path() / "missing").string();
    const Case cases[] = {
        {{"analyse", missing}, 2, "no such folder: "},
        {{"analyse", (dir.path() / "photos" / "a.jpg").string()}, 2, "not a folder: "},
        {{"analyse", (dir.path() / "photos").string(), "--step", "0"}, 2, "--step"},
        {{"analyse", (dir.path() / "photos").string(), "--ignore", "50"}, 2, "--ignore"},
        {{"analyse", (dir.path() / "photos").string(), "--path-list", "colour"}, 2, "--path-list"},
        {{"analyse", (dir.path() / "photos").string(), "--formats", "raw"}, 2, "--formats"},
        {{"analyse", (dir.path() / "photos").string(), "--lens", "82"}, 2, "--lens"},
        {{"analyse", (dir.path() / "photos").string(), "--decimal-separator", ";"}, 2, "--decimal-separator"},
        {{"analyse", (dir.path() / "photos").string(), "--mn-label", "record"},
         2,
         "You need to fill Maker and/or Model, and/or enter two strings at the Maker note."},
        {{"analyse", (dir.path() / "photos").string(), "--settings", missing}, 2, "missing"},
        {{"analyse", (dir.path() / "photos").string(), "--make", "pentax"},
         0,
         "None of the jpeg files match the make and/or model filter strings."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        std::vector<std::string> args = c.args;
        for (const std::string& extra : {std::string("--path-list-file"), (dir.path() / "vt.txt").string(),
                                         std::string("--table"), (dir.path() / "cam_equiv.txt").string()}) {
            args.push_back(extra);
        }
        const auto run = RunCli(args);
        EXPECT_EQ(run.code, c.code);
        if (c.code == 2) {
            EXPECT_EQ(run.out, "");
        }
        EXPECT_NE((c.code == 2 ? run.err : run.out).find(c.text), std::string::npos) << run.out << run.err;
    }
}

TEST_F(AnalyseOptions, APathListThatCannotBeWrittenEndsWithStatusOne) {
    const auto run = RunCli({"analyse", (dir.path() / "photos").string(), "--json", "--no-cache", "--table",
                             (dir.path() / "cam_equiv.txt").string(), "--path-list-file",
                             (dir.path() / "no folder" / "vt.txt").string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("the path list was not written"), std::string::npos) << run.err;
    EXPECT_FALSE(run.Json()["pathList"].empty());  // the output is whole all the same
}

TEST_F(AnalyseOptions, PlainOutputHasTablesMessagesAndSummary) {
    const auto run = RunCli(Args({"--make", "nikon"}));
    ASSERT_EQ(run.code, 0) << run.err;
    for (const char* piece :
         {"Focal length (35mm equivalent, mm)", "ISO", "Aperture", "Shutter speed (s)", "100.0%", "\xE2\x96\x88",
          "Filtering selected, 2 files out of a total of 3", "\nMake: nikon\n", "Files analyzed: 2 out of total: 3"}) {
        EXPECT_NE(run.out.find(piece), std::string::npos) << piece;
    }
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
}

TEST_F(AnalyseOptions, EmptyFolderSaysSoAndSucceeds) {
    fs::create_directory(dir.path() / "photos" / "empty");
    const auto run = RunCli({"analyse", (dir.path() / "photos" / "empty").string(), "--json", "--path-list-file",
                             (dir.path() / "vt.txt").string(), "--table", (dir.path() / "cam_equiv.txt").string()});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.Json()["messages"], nlohmann::json::array({"No jpeg files found."}));
}

TEST_F(AnalyseOptions, FilterTextsMeetTheMetadataCodePage) {
    dir.Write("photos/d.jpg", Photo("Caf\xE9 \x80 Cameras", "M\xFCnchen", 82, 400));  // Windows-1252 tags
    const auto run = RunCli(Args({"--json", "--make", "caf\xC3\xA9 \xE2\x82\xAC", "--model", "\xC3\xBC"}));
    ASSERT_EQ(run.code, 0) << run.err;
    const auto json = run.Json();
    EXPECT_EQ(json["filesAnalysed"], 1);
    EXPECT_EQ(Labels(json["iso"]), std::vector<std::string>{"400x1"});
    // The summary repeats the filter in UTF-8, and the path list shows the camera in UTF-8.
    EXPECT_NE(json["messages"][0].get<std::string>().find("\nMake: caf\xC3\xA9 \xE2\x82\xAC\nModel: \xC3\xBC"),
              std::string::npos);
    EXPECT_NE(json["pathList"][0].get<std::string>().find("Model: M\xC3\xBCnchen"), std::string::npos);
}

TEST_F(AnalyseOptions, FileNamesThatAreNotUtf8StillGiveValidJson) {
    dir.Write("photos/caf\xE9 \xFF.jpg", Photo("NIKON", "E990", 82, 200));
    const auto run = RunCli(Args({"--json", "--no-subfolders"}));
    ASSERT_EQ(run.code, 0) << run.err;
    const auto json = run.Json();
    EXPECT_EQ(json["filesAnalysed"], 3);
    EXPECT_EQ(json["pathList"].size(), 3U);
}

// Ctrl-C during a run stops it after the current folder and still reports what was gathered.
TEST_F(AnalyseOptions, InterruptStopsTheRunAndKeepsTheResult) {
    for (int i = 0; i < 400; ++i) {
        dir.Write("many/f" + std::to_string(i) + "/a.jpg", Photo("NIKON", "E990", 82, 200));
    }
    // Signals that arrive outside the run are ignored rather than ending the test program.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction previous {};
    ::sigaction(SIGINT, &ignore, &previous);
    std::atomic<bool> done{false};
    std::thread interrupter([&] {
        while (!done) {
            ::kill(::getpid(), SIGINT);
            std::this_thread::sleep_for(std::chrono::microseconds(100));  // well inside a fast run
        }
    });
    const auto run = RunCli({"analyse", (dir.path() / "many").string(), "--json", "--path-list-file",
                             (dir.path() / "vt.txt").string(), "--table", (dir.path() / "cam_equiv.txt").string()});
    done = true;
    interrupter.join();
    ::sigaction(SIGINT, &previous, nullptr);
    EXPECT_EQ(run.code, 130);
    const auto json = run.Json();
    EXPECT_EQ(json["stopped"], true);
    EXPECT_LT(json["filesAnalysed"].get<int>(), 400);
    EXPECT_EQ(json["messages"].back(), "Plot interrupted, graph not complete.");
    EXPECT_EQ(json["pathList"].size(), json["filesAnalysed"].get<std::size_t>());
}

std::string FileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// --chart writes each chart asked for as a picture, without a display; a wrong one is refused
// before the run, one that cannot be written is said and fails the run.
TEST_F(AnalyseOptions, ChartsAreWrittenAsPictures) {
    const fs::path png = dir.path() / "focal.png";
    const fs::path svg = dir.path() / "iso.svg";
    const auto run = RunCli(Args({"--chart", "focal=" + png.string(), "--chart", "iso=" + svg.string()}));
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(FileBytes(png).substr(0, 4), "\x89PNG");
    EXPECT_NE(FileBytes(svg).find("<svg"), std::string::npos);

    const auto refused = RunCli(Args({"--chart", "zoom=x.png"}));
    EXPECT_EQ(refused.code, 2);
    EXPECT_NE(refused.err.find("--chart needs QUANTITY=FILE"), std::string::npos) << refused.err;

    const std::string nowhere = (dir.path() / "no-such-folder" / "focal.png").string();
    const auto unwritten = RunCli(Args({"--chart", "focal=" + nowhere}));
    EXPECT_EQ(unwritten.code, 1);
    EXPECT_NE(unwritten.err.find("the chart could not be written: " + nowhere), std::string::npos) << unwritten.err;
}

}  // namespace
}  // namespace quorvela::cli
