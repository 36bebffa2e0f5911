// The command line overrides a settings file in either direction: each on/off setting has both
// forms, the last one given wins; the lens fields one at a time; relative folders.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "common/text_file.h"
#include "exif_writer.h"
#include "run_cli.h"
#include "support/test_files.h"

namespace quorvela::cli {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using samples::Bytes;
using test::RunCli;

// A Nikon maker note with its own TIFF header, as newer Nikons write it: Quality "FINE".
Bytes NikonNote() {
    Bytes note = samples::ToBytes(std::string_view("Nikon\0\x02\x10\0\0II\x2A\0\x08\0\0\0", 18));
    const Bytes body = samples::Ifd(false).Ascii(0x0004, "FINE ").Layout(8);
    note.insert(note.end(), body.begin(), body.end());
    return note;
}

Bytes Photo(const char* make, const char* model, std::uint32_t focalTenths, bool withNote) {
    samples::Tiff tiff;
    samples::Ifd exif(false);
    exif.Rational(0x829A, {{1, 60}}).Rational(0x829D, {{40, 10}}).Short(0x8827, {100});
    exif.Rational(0x920A, {{focalTenths, 10}});
    if (withNote) exif.Undefined(0x927C, NikonNote());
    tiff.ifd0.Ascii(0x010F, make).Ascii(0x0110, model).Link(0x8769, exif);
    return samples::Jpeg().Soi().Exif(tiff).Sos().Eoi().Build();
}

class AnalyseOverrides : public ::testing::Test {
  protected:
    void SetUp() override {
        // A model no camera list knows: its photo takes the manual factor.
        dir.Write("photos/a.jpg", Photo("Canon", "Canon PowerShot G0", 71, false));
        dir.Write("photos/sub/b.jpg", Photo("NIKON", "E990", 164, true));
        // The table gives the Nikon a factor of 10; the manual factor stays 8,2=38.
        common::WriteTextLines(dir.path() / "cam_equiv.txt", {"[_START]", "[MAKE]nikon", "[MODEL]E990", "[REAL_LENS]1",
                                                              "[35MM_EQUIVALENT]10", "[_END]"});
    }
    // A settings file with the photos as its folder and `lines` besides.
    fs::path Ini(const std::string& lines) const {
        const fs::path ini = dir.path() / "vintrop.ini";
        std::ofstream(ini) << lines << "[INI]\nPath=" << (dir.path() / "photos").string() << '\n';
        return ini;
    }
    json Analyse(const fs::path& ini, const std::vector<std::string>& options) const {
        std::vector<std::string> args = test::AnalyseArgs(dir.path(), {"--settings", ini.string(), "--json"});
        args.insert(args.end(), options.begin(), options.end());
        const auto run = RunCli(args);
        EXPECT_EQ(run.code, 0) << run.err;
        return run.code == 0 ? run.Json() : json{};
    }
    testing::TempDir dir;
};

std::string FirstFocal(const json& j) {
    return j["focal"].empty() ? "" : j["focal"].front()["label"].get<std::string>();
}

TEST_F(AnalyseOverrides, EitherFormOfASwitchOverridesTheSettingsFile) {
    struct Case {
        const char* on;
        const char* off;
        std::string iniLines;  // "%" stands for the switch's value in the file
        std::function<std::string(const json&)> observe;
        const char* whenOn;
        const char* whenOff;
    };
    const Case cases[] = {
        {"--subfolders", "--no-subfolders", "[CHECKMARK]\n1=%\n", [](const json& j) { return j["filesFound"].dump(); },
         "2", "1"},
        {"--steps", "--no-steps", "[CHECKMARK]\n0=%\n", FirstFocal, "30", "33"},
        {"--filter", "--no-filter", "[FilterMake]\n2=canon\n[FilterOn]\n4=%\n",
         [](const json& j) { return j["filesAnalysed"].dump(); }, "1", "2"},
        {"--fraction-shutter", "--decimal-shutter", "[CHECKMARK]\n5=%\n",
         [](const json& j) { return j["shutter"].front()["category"].get<std::string>(); }, "1/60", "0.0167"},
        {"--maker-notes", "--no-maker-notes", "[MakerNote]\n8=%\n",
         [](const json& j) {
             return std::to_string(j["pathList"].dump().find("Maker Notes --> ") != std::string::npos);
         },
         "1", "0"},
        {"--real-length", "--equivalent", "[RealLength]\n5=%\n", FirstFocal, "7", "30"},
        // The Nikon's 16.4 mm: by the table 164, by the manual factor 76.
        {"--always-calc", "--no-always-calc", "[CHECKMARK]\n4=%\n",
         [](const json& j) { return j["focal"].empty() ? "" : j["focal"].back()["label"].get<std::string>(); }, "80",
         "160"},
    };
    for (const Case& c : cases) {
        for (const bool inFile : {false, true}) {
            std::string lines = c.iniLines;
            lines.replace(lines.find('%'), 1, inFile ? "1" : "0");
            const fs::path ini = Ini(lines);
            const struct {
                std::vector<std::string> options;
                bool expected;
            } orders[] = {
                {{}, inFile}, {{c.on}, true}, {{c.off}, false}, {{c.on, c.off}, false}, {{c.off, c.on}, true}};
            for (const auto& order : orders) {
                SCOPED_TRACE(std::string(c.on) + " in file " + (inFile ? "1" : "0") + ", options " +
                             json(order.options).dump());
                EXPECT_EQ(c.observe(Analyse(ini, order.options)), order.expected ? c.whenOn : c.whenOff);
            }
        }
    }
}

TEST_F(AnalyseOverrides, LensFieldsOneAtATimeTheLastOneWins) {
    struct Case {
        const char* iniReal;
        const char* iniEquivalent;
        std::vector<std::string> options;
        const char* focal;  // the Canon's 7.1 mm, steps off
    };
    const Case cases[] = {
        {"1", "2", {}, "14"},
        {"1", "2", {"--lens-real", "2"}, "7"},
        {"1", "2", {"--lens-equiv", "10"}, "71"},
        {"1", "2", {"--lens", "1=3", "--lens-real", "3"}, "7"},
        {"1", "2", {"--lens-real", "3", "--lens", "1=3"}, "21"},
        {"1", "2", {"--lens", "1=3", "--lens-equiv", "5"}, "36"},
        {"1", "2", {"--lens-equiv", "5", "--lens", "1=3"}, "21"},
        // The window's fields keep five characters of a longer value in the file: 10000/1000.
        {"1000", "100000", {}, "71"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.iniReal) + "=" + c.iniEquivalent + " " + json(c.options).dump());
        const fs::path ini =
            Ini(std::string("[LensVAL]\n0=") + c.iniReal + "\n1=" + c.iniEquivalent + "\n[CHECKMARK]\n0=0\n1=0\n");
        EXPECT_EQ(FirstFocal(Analyse(ini, c.options)), c.focal);
    }
    const auto tooLong = RunCli({"analyse", (dir.path() / "photos").string(), "--lens-equiv", "123456"});
    EXPECT_EQ(tooLong.code, 2);
    EXPECT_NE(tooLong.err.find("--lens-equiv takes at most 5 characters"), std::string::npos) << tooLong.err;
}

// The path list names each photo by its full path, as the window's does, however the folder
// was given.
TEST_F(AnalyseOverrides, RelativeFolderIsMadeAbsolute) {
    const fs::path photos = dir.path() / "photos";
    struct Case {
        const char* folder;
        bool inSettings;
    };
    const Case cases[] = {{"photos", false}, {"./photos/", false}, {"sub/../photos", false}, {"photos", true}};
    fs::create_directory(dir.path() / "sub");
    // Back to the first working folder however the test ends, before the folder goes.
    struct WorkingFolder {
        fs::path before = fs::current_path();
        ~WorkingFolder() {
            std::error_code error;
            fs::current_path(before, error);
        }
    } restore;
    fs::current_path(dir.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.folder) + (c.inSettings ? " in the settings file" : ""));
        std::ofstream(dir.path() / "vintrop.ini") << "[INI]\nPath=" << (c.inSettings ? c.folder : "") << '\n';
        std::vector<std::string> options{"--no-subfolders", "--path-list", "iso"};
        if (!c.inSettings) options.emplace_back(c.folder);
        const json j = Analyse(dir.path() / "vintrop.ini", options);
        ASSERT_EQ(j["pathList"].size(), 1U);
        // ".." stays for the file system to resolve: it may pass through a link.
        const fs::path root = j["root"].get<std::string>();
        EXPECT_TRUE(root.is_absolute()) << root;
        EXPECT_TRUE(fs::equivalent(root, photos)) << root;
        EXPECT_NE(j["pathList"][0].get<std::string>().find(" - " + (root / "a.jpg").string() + " "), std::string::npos)
            << j["pathList"][0];
    }
}

}  // namespace
}  // namespace quorvela::cli
