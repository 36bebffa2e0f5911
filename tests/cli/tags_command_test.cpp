#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli.h"
#include "container_writer.h"
#include "exif_writer.h"
#include "support/test_files.h"

namespace quorvela::cli {
namespace {

using quorvela::samples::Jpeg;
using quorvela::samples::Tiff;
using quorvela::testing::TempDir;

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun Cli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = runCli(args, out, err);
    return {status, out.str(), err.str()};
}

std::string Photo(const TempDir& dir) {
    Tiff tiff(true);
    tiff.ifd0.Ascii(0x010F, "Caf\xE9").Rational(0x920A, {{63, 10}}).Short(0x0112, {6});
    return dir.Write("photo.jpg", Jpeg().Soi().Exif(tiff).Sos().Build()).string();
}

TEST(TagsCommand, JsonHasOneObjectPerFileWithUtf8Texts) {
    TempDir dir;
    const std::string photo = Photo(dir);
    const std::string missing = (dir.path() / "missing.jpg").string();
    const CliRun run = Cli({"tags", "--json", "--decimal-separator", ",", photo, missing});
    ASSERT_EQ(run.status, 1) << run.err;  // the missing file
    const auto json = nlohmann::json::parse(run.out);
    ASSERT_EQ(json.size(), 2u);
    const auto& file = json[0];
    EXPECT_EQ(file["file"], photo);
    EXPECT_EQ(file["status"], "<none>");
    EXPECT_EQ(file["hasAnyMetadata"], true);
    EXPECT_EQ(file["hasExifBlock"], true);
    EXPECT_EQ(file["makerNoteDecoded"], false);
    ASSERT_EQ(file["tags"].size(), 3u);
    EXPECT_EQ(file["tags"][0]["text"], "Caf\xC3\xA9");
    EXPECT_EQ(file["tags"][1]["id"], "0x920A");
    EXPECT_EQ(file["tags"][1]["name"], "FocalLength");
    EXPECT_EQ(file["tags"][1]["description"], "Focal Length");
    EXPECT_EQ(file["tags"][1]["text"], " 6,30 mm");
    EXPECT_EQ(file["tags"][2]["text"], "CounterClockwise 90\xC2\xB0");
    EXPECT_EQ(file["tags"][0]["group"], 0);
    // A file that cannot be read is reported in its own object.
    EXPECT_EQ(json[1]["file"], missing);
    EXPECT_EQ(json[1]["hasAnyMetadata"], false);
    EXPECT_TRUE(json[1]["tags"].empty());
}

TEST(TagsCommand, EveryFormatIsReadAndNamed) {
    namespace c = quorvela::samples::containers;
    TempDir dir;
    Tiff tiff;
    tiff.ifd0.Ascii(0x010F, "Apple").Rational(0x920A, {{425, 100}});
    const std::string heic = dir.Write("IMG_1.HEIC", c::Heif("heic", c::ExifItem(tiff))).string();
    const std::string tiffNamedJpeg = dir.Write("scan.jpg", tiff.Build()).string();
    const std::string png = dir.Write("x.jpg", {0x89, 'P', 'N', 'G'}).string();
    const CliRun run = Cli({"tags", "--json", Photo(dir), heic, tiffNamedJpeg, png});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    ASSERT_EQ(json.size(), 4u);
    const char* const formats[] = {"JPEG", "HEIC", "TIFF", "Unknown"};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(json[i]["format"], formats[i]) << i;
    EXPECT_EQ(json[1]["status"], "<none>");
    EXPECT_EQ(json[1]["tags"][1]["text"], " 4.25 mm");
    EXPECT_EQ(json[2]["tags"][1]["text"], " 4.25 mm");
    EXPECT_EQ(json[3]["status"], "Not an EXIF file");
    const CliRun plain = Cli({"tags", heic});
    EXPECT_NE(plain.out.find("format: HEIC"), std::string::npos) << plain.out;
}

TEST(TagsCommand, PlainOutputIsAlignedText) {
    TempDir dir;
    const CliRun run = Cli({"tags", "--decimal-separator", ".", Photo(dir)});
    ASSERT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("status: <none>"), std::string::npos);
    EXPECT_NE(run.out.find("0x920A FocalLength Focal Length  6.30 mm"), std::string::npos) << run.out;
}

TEST(TagsCommand, WrongArgumentsExitWithTwo) {
    EXPECT_EQ(Cli({}).status, 2);
    EXPECT_EQ(Cli({"tags"}).status, 2);
    EXPECT_EQ(Cli({"tags", "--decimal-separator", ";", "x.jpg"}).status, 2);
    EXPECT_EQ(Cli({"nonsense"}).status, 2);
    EXPECT_EQ(Cli({"--help"}).status, 0);
}

TEST(TagsCommand, WhatIsNoFileIsSaidAndEndsWithStatusOne) {
    TempDir dir;
    const std::string photo = Photo(dir);
    const std::string missing = (dir.path() / "missing.jpg").string();
    const CliRun run = Cli({"tags", "--json", missing, photo, dir.path().string()});
    EXPECT_EQ(run.status, 1);
    const auto json = nlohmann::json::parse(run.out);
    ASSERT_EQ(json.size(), 3U);  // every path listed, the photo with its entries
    EXPECT_EQ(json[0]["status"], "no such file");
    EXPECT_FALSE(json[1]["tags"].empty());
    EXPECT_EQ(json[2]["status"], "not a file");
    EXPECT_NE(run.err.find("no such file: " + missing), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("not a file: " + dir.path().string()), std::string::npos) << run.err;
}

// A stream whose every write fails, as standard output on a full disk.
class FullDisk : public std::streambuf {
  protected:
    int_type overflow(int_type /*c*/) override { return traits_type::eof(); }
    std::streamsize xsputn(const char* /*s*/, std::streamsize /*n*/) override { return 0; }
};

TEST(Cli, AnOutputThatCannotBeWrittenIsAFailure) {
    TempDir dir;
    const std::string photo = Photo(dir);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"tags", photo}, std::vector<std::string>{"tags", "--json", photo},
          std::vector<std::string>{"analyse", dir.path().string(), "--json", "--no-cache", "--path-list", "none"}}) {
        FullDisk full;
        std::ostream out(&full);
        std::ostringstream err;
        EXPECT_EQ(runCli(args, out, err), 1) << args[1];
        EXPECT_NE(err.str().find("the output could not be written"), std::string::npos) << err.str();
    }
}

TEST(TagsCommand, EveryCorpusPhotoGivesValidJson) {
    QUORVELA_REQUIRE_CORPUS();
    std::vector<std::string> args = {"tags", "--json"};
    for (const auto& [name, truth] : quorvela::testing::Truth().items()) {
        args.push_back((quorvela::testing::CorpusDir() / name).string());
    }
    const CliRun run = Cli(args);
    ASSERT_EQ(run.status, 0);
    const auto json = nlohmann::json::parse(run.out);  // throws on invalid UTF-8 or syntax
    EXPECT_EQ(json.size(), args.size() - 2);
}

}  // namespace
}  // namespace quorvela::cli
