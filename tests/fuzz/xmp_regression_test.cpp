// Every XMP packet that once broke the parser, and the crafted hostile ones, stay in
// xmp_regressions and are read again on every run; the packets past the size limit are made
// here rather than kept.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "metadata/xmp.h"
#include "support/test_files.h"
#include "xmp_one_input.h"

namespace quorvela::fuzz {
namespace {

TEST(XmpFuzzRegressions, EveryKeptPacketReadsCleanly) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QUORVELA_XMP_REGRESSIONS)) {
        if (!entry.is_regular_file() || entry.path().filename() == "README") continue;
        SCOPED_TRACE(entry.path().filename().string());
        ReadOneXmpPacket(testing::ReadFileBytes(entry.path()));
        ++count;
    }
    // An empty folder would pass without reading anything.
    EXPECT_GT(count, 0) << "no kept packets in " << QUORVELA_XMP_REGRESSIONS;
}

TEST(XmpFuzzRegressions, APacketJustOverTheLimitIsRefusedUnread) {
    std::string packet =
        "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>"
        "<rdf:Description xmlns:xmp='http://ns.adobe.com/xap/1.0/' xmp:Rating='4'/></rdf:RDF></x:xmpmeta>";
    packet.resize(metadata::kMaxXmpBytes, ' ');
    EXPECT_EQ(metadata::ParseXmp(packet).Rating.value_or(""), "4") << "the largest packet read";
    packet.push_back(' ');
    EXPECT_EQ(metadata::ParseXmp(packet).Status, metadata::XmpStatus::TooLarge);
    ReadOneXmpPacket(std::span(reinterpret_cast<const std::uint8_t*>(packet.data()), packet.size()));
}

}  // namespace
}  // namespace quorvela::fuzz
