#include "viewer/preview_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvela::viewer {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

// An `ftyp` box of the given size field with a major brand and compatible brands.
std::vector<std::uint8_t> Ftyp(std::string_view major, std::string_view compatible, std::uint32_t size = 0) {
    const std::uint32_t length = size != 0 ? size : static_cast<std::uint32_t>(16 + compatible.size());
    std::vector<std::uint8_t> box = {static_cast<std::uint8_t>(length >> 24), static_cast<std::uint8_t>(length >> 16),
                                     static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)};
    const std::string rest = std::string("ftyp") + std::string(major) + std::string(4, '\0') + std::string(compatible);
    box.insert(box.end(), rest.begin(), rest.end());
    return box;
}

struct Case {
    const char* name;
    std::vector<std::uint8_t> head;
    PreviewFormat format;
};

TEST(PreviewFormat, ToldByTheFirstBytes) {
    using F = PreviewFormat;
    const std::vector<Case> cases = {
        {"JPEG", {0xFF, 0xD8, 0xFF, 0xE1}, F::Jpeg},
        {"HEIC", Ftyp("heic", "mif1heic"), F::Heif},
        {"HEIF by a compatible brand only", Ftyp("XXXX", "isommif1"), F::Heif},
        {"AVIF", Ftyp("avif", "mif1miaf"), F::Heif},
        {"Canon HIF", Ftyp("heix", "mif1heix"), F::Heif},
        {"CR3, own brand first", Ftyp("crx ", "crx isom"), F::Raw},
        {"CR3 listing a HEIF brand too", Ftyp("crx ", "mif1"), F::Raw},
        {"MP4 video", Ftyp("isom", "isomavc1mp41"), F::Unknown},
        {"a brand past the box's end",
         [] {
             auto head = Ftyp("isom", "", 16);
             const auto more = Bytes("heic");
             head.insert(head.end(), more.begin(), more.end());
             return head;
         }(),
         F::Unknown},
        {"ftyp cut short",
         Bytes(std::string_view("\0\0\0\x18"
                                "ftyphe",
                                10)),
         F::Unknown},
        {"TIFF, Intel (DNG, CR2, NEF)", Bytes(std::string_view("II*\0\x08\0\0\0", 8)), F::Raw},
        {"TIFF, Motorola", Bytes(std::string_view("MM\0*\0\0\0\x08", 8)), F::Raw},
        {"ORF", Bytes("IIRO\x08"), F::Raw},
        {"RW2", Bytes(std::string_view("IIU\0\x18\0", 6)), F::Raw},
        {"RAF", Bytes("FUJIFILMCCD-RAW 0201"), F::Raw},
        {"CRW", Bytes(std::string_view("II\x1a\0\0\0HEAPCCDR", 14)), F::Raw},
        {"MRW", Bytes(std::string_view("\0MRM\0\0", 6)), F::Raw},
        {"PNG", Bytes("\x89PNG\r\n\x1a\n"), F::Unknown},
        {"text", Bytes("this is text"), F::Unknown},
        {"one byte of a JPEG", {0xFF}, F::Unknown},
        {"empty", {}, F::Unknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PreviewFormatOf(c.head), c.format);
    }
}

}  // namespace
}  // namespace quorvela::viewer
