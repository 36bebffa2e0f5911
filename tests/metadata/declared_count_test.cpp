// Corpus photos whose entry declares a count far beyond the EXIF data: what the block holds
// is read, and a maker-note value that is not there ends the note's walk.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "exif_writer.h"
#include "metadata/img_data.h"
#include "support/test_files.h"

namespace quorvela::metadata {
namespace {

using testing::CorpusDir;
using testing::ReadFileBytes;

constexpr std::uint32_t kHugeCount = 0x01000000;

struct CountCase {
    const char* what;
    const char* file;
    std::uint16_t tag;
    std::uint16_t type;
    bool bigEndian;         // of the directory that holds the entry
    const char* grownTag;   // its text must start with the whole text of the untouched photo
    const char* firstGone;  // the first maker-note entry no longer listed; null when all stay
};

const CountCase kCases[] = {
    {"UserComment: every character of the comment", "ge_e1035_01.jpg", 0x9286, 7, true, "UserComment", nullptr},
    {"MakerNote: every entry of the note", "canon_eos20d_01.jpg", 0x927C, 7, false, nullptr, nullptr},
    {"a note entry whose value is not there ends the walk", "fujifilm_finepixe500_01.jpg", 0x1300, 3, false, nullptr,
     "BlurWarning"},
};

// The photo with the count of its one entry of that tag and type set to kHugeCount.
std::vector<std::uint8_t> WithHugeCount(std::vector<std::uint8_t> bytes, const CountCase& c) {
    const samples::Ifd order(c.bigEndian);
    std::vector<std::uint8_t> head = order.U16(c.tag);
    const std::vector<std::uint8_t> type = order.U16(c.type);
    head.insert(head.end(), type.begin(), type.end());
    const auto at = std::search(bytes.begin(), bytes.end(), head.begin(), head.end());
    EXPECT_NE(at, bytes.end());
    if (at == bytes.end()) return bytes;
    EXPECT_EQ(std::search(at + 1, bytes.end(), head.begin(), head.end()), bytes.end()) << "entry not unique";
    const std::vector<std::uint8_t> count = order.U32(kHugeCount);
    std::copy(count.begin(), count.end(), at + 4);
    return bytes;
}

std::vector<std::pair<std::string, std::string>> NoteEntries(const TImageInfo& info, const char* upTo) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const TTagEntry& tag : info.Tags) {
        if (tag.Group != 1) continue;
        if (upTo != nullptr && tag.Description == upTo) break;
        out.emplace_back(tag.Description.str(), tag.Text);
    }
    return out;
}

TEST(DeclaredCount, AValueIsReadAsFarAsTheDataHoldsIt) {
    QUORVELA_REQUIRE_CORPUS();
    for (const CountCase& c : kCases) {
        SCOPED_TRACE(std::string(c.what) + " (" + c.file + ")");
        const std::vector<std::uint8_t> bytes = ReadFileBytes(CorpusDir() / c.file);
        TimgData original;
        ASSERT_TRUE(original.ReadJpegBytes(c.file, bytes));
        TimgData mutated;
        ASSERT_TRUE(mutated.ReadJpegBytes(c.file, WithHugeCount(bytes, c)));
        const TImageInfo& before = *original.ExifDirectory;
        const TImageInfo& after = *mutated.ExifDirectory;
        if (c.grownTag == nullptr) {
            ASSERT_FALSE(NoteEntries(before, nullptr).empty());
        }
        EXPECT_EQ(NoteEntries(after, nullptr), NoteEntries(before, c.firstGone));
        if (c.grownTag != nullptr) {
            const std::string whole = before.TagTextByName(c.grownTag);
            ASSERT_FALSE(whole.empty());
            EXPECT_EQ(after.TagTextByName(c.grownTag).substr(0, whole.size()), whole);
        }
    }
}

}  // namespace
}  // namespace quorvela::metadata
