#include "viewer/preview_format.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvela::viewer {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

// An `ftyp` box: size, "ftyp", major brand, version, compatible brands.
std::vector<std::uint8_t> Ftyp(std::string_view major, std::string_view compatible) {
    const auto size = static_cast<char>(16 + compatible.size());
    return Bytes(std::string("\0\0\0", 3) + size + "ftyp" + std::string(major) + std::string(4, '\0') +
                 std::string(compatible));
}

// The corpus shows the common files; these are the boxes where a wrong guess is easy.
TEST(PreviewFormat, ToldByTheBrandsOfTheFirstBox) {
    EXPECT_EQ(PreviewFormatOf(Ftyp("XXXX", "isommif1")), PreviewFormat::Heif);     // among the compatible brands
    EXPECT_EQ(PreviewFormatOf(Ftyp("crx ", "crx mif1")), PreviewFormat::Raw);      // a CR3 naming a HEIF brand too
    EXPECT_EQ(PreviewFormatOf(Ftyp("isom", "isomavc1")), PreviewFormat::Unknown);  // MP4 video
    EXPECT_EQ(PreviewFormatOf(Ftyp("hevs", "")), PreviewFormat::Heif);  // a major brand the metadata reader leaves
    EXPECT_EQ(PreviewFormatOf(Bytes("FOVb\x04\0\x02\0")), PreviewFormat::Raw);  // Sigma X3F, for LibRaw
}

}  // namespace
}  // namespace quorvela::viewer
