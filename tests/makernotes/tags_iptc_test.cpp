// quorvela-cli tags shows each file's IPTC records and its maker-note entries.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli.h"
#include "note_files.h"
#include "support/test_files.h"

namespace quorvela::cli {
namespace {

using samples::Bytes;
using samples::IptcDataset;
using samples::Jpeg;
using testing::TempDir;

std::string IptcPhoto(const TempDir& dir) {
    Bytes datasets = IptcDataset(2, 25, "sea");
    for (const Bytes& more : {IptcDataset(2, 80, "Zo\xEB"), IptcDataset(2, 200, "x")}) {
        datasets.insert(datasets.end(), more.begin(), more.end());
    }
    return dir.Write("iptc.jpg", Jpeg().Soi().App13(datasets).Sos().Eoi().Build()).string();
}

std::string RunCli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runCli(args, out, err), 0) << err.str();
    return out.str();
}

TEST(TagsIptc, JsonListsTheRecordsOfEachFile) {
    const TempDir dir;
    const auto json = nlohmann::json::parse(RunCli({"tags", "--json", IptcPhoto(dir)}));
    ASSERT_EQ(json.size(), 1u);
    const auto& iptc = json[0]["iptc"];
    ASSERT_EQ(iptc.size(), 3u);
    EXPECT_EQ(iptc[0],
              (nlohmann::json{
                  {"record", 2}, {"dataset", 25}, {"name", "Keywords"}, {"description", "Keywords"}, {"text", "sea"}}));
    EXPECT_EQ(iptc[1]["text"], "Zo\xC3\xAB");
    EXPECT_EQ(iptc[2]["name"], "Custom_200");
}

TEST(TagsIptc, PlainOutputHasAnIptcSection) {
    const TempDir dir;
    const std::string out = RunCli({"tags", IptcPhoto(dir)});
    const auto section = out.find("IPTC records:");
    ASSERT_NE(section, std::string::npos) << out;
    EXPECT_NE(out.find("2:25  Keywords (Keywords): sea", section), std::string::npos) << out;
    EXPECT_NE(out.find("2:80  ByLine (ByLine): Zo\xC3\xAB", section), std::string::npos) << out;
}

TEST(TagsIptc, MakerNoteEntriesAreListedWithGroupOne) {
    const TempDir dir;
    const auto note = testing::TiffRelativeNote("", samples::Ifd(false).Ascii(0x0009, "Ann"));
    const std::string photo =
        dir.Write("canon.jpg", testing::JpegWithNote({"Canon", "Canon PowerShot S40", "0220", false}, note)).string();
    const auto json = nlohmann::json::parse(RunCli({"tags", "--json", photo}));
    EXPECT_EQ(json[0]["makerNoteDecoded"], true);
    EXPECT_TRUE(json[0]["iptc"].empty());
    const auto& tags = json[0]["tags"];
    const auto owner = std::find_if(tags.begin(), tags.end(), [](const auto& t) { return t["name"] == "OwnerName"; });
    ASSERT_NE(owner, tags.end());
    EXPECT_EQ((*owner)["group"], 1);
    EXPECT_EQ((*owner)["text"], "\"Ann\"");
}

}  // namespace
}  // namespace quorvela::cli
