#include "xmp_one_input.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "metadata/img_data.h"
#include "metadata/xmp.h"

namespace quorvela::fuzz {
namespace {

using Bytes = std::vector<std::uint8_t>;
using metadata::XmpFacts;

constexpr std::string_view kStandardSignature("http://ns.adobe.com/xap/1.0/\0", 29);
// The longest packet one APP1 segment holds after its length bytes and the signature.
constexpr std::size_t kMaxJpegPacket = 0xFFFF - 2 - kStandardSignature.size();

[[noreturn]] void Broken(const char* what, const std::string& detail) {
    std::fprintf(stderr, "broken: %s: %s\n", what, detail.c_str());
    std::abort();
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Whether `text` is whole UTF-8 characters: every lead byte followed by the continuation bytes
// it announces.
bool WholeUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        if (length == 0 || length > text.size() - i) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

void CheckFacts(const XmpFacts& facts, bool refusedGivesNothing) {
    if (facts.Ok() != facts.Problem.empty()) Broken("a problem text exactly when refused", facts.Problem);
    for (const auto* value : {&facts.Rating, &facts.Label, &facts.Lens}) {
        if (!*value) continue;
        const std::string& text = **value;
        if (!facts.Ok() && refusedGivesNothing) Broken("a value from a refused packet", text);
        if (text.empty() || text.size() > metadata::kMaxXmpValueBytes) Broken("a value's size", text);
        if (IsXmlSpace(text.front()) || IsXmlSpace(text.back())) Broken("a value not trimmed", text);
        if (!WholeUtf8(text)) Broken("a value cut inside a character", text);
    }
}

std::string Describe(const XmpFacts& facts) {
    std::string text = std::to_string(static_cast<int>(facts.Status)) + " '" + facts.Problem + "'";
    for (const auto* value : {&facts.Rating, &facts.Label, &facts.Lens}) text += " [" + value->value_or("-") + "]";
    return text;
}

void ExpectSame(const std::optional<XmpFacts>& found, const XmpFacts& packet, const char* where) {
    if (!found) Broken(where, "no XMP found");
    if (Describe(*found) != Describe(packet)) Broken(where, Describe(*found) + " instead of " + Describe(packet));
}

// A TIFF file whose IFD0 holds one XMLPacket entry (UNDEFINED), the packet right after it.
Bytes InTiff(std::span<const std::uint8_t> packet) {
    Bytes tiff = {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0xBC, 0x02, 7, 0};
    const auto count = static_cast<std::uint32_t>(packet.size());
    for (int i = 0; i < 4; ++i) tiff.push_back(static_cast<std::uint8_t>(count >> (8 * i)));
    tiff.insert(tiff.end(), {26, 0, 0, 0, 0, 0, 0, 0});  // the packet's offset, no next directory
    tiff.insert(tiff.end(), packet.begin(), packet.end());
    return tiff;
}

// A JPEG whose one APP1 segment is the packet, then the start of its scan.
Bytes InJpeg(std::span<const std::uint8_t> packet) {
    const std::size_t length = 2 + kStandardSignature.size() + packet.size();
    Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xE1, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)};
    jpeg.insert(jpeg.end(), kStandardSignature.begin(), kStandardSignature.end());
    jpeg.insert(jpeg.end(), packet.begin(), packet.end());
    jpeg.insert(jpeg.end(), {0xFF, 0xDA, 0x00, 0x02});
    return jpeg;
}

}  // namespace

void ReadOneXmpPacket(std::span<const std::uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const metadata::XmpDocument document = metadata::ParseXmpDocument(text, "XMP");
    CheckFacts(document.Facts, true);
    metadata::TimgData reader;
    reader.ReadXmp = true;
    if (bytes.size() > 4) {  // four bytes fit inside the entry: no packet
        reader.ReadJpegBytes("input.tif", InTiff(bytes));
        ExpectSame(reader.Xmp, document.Facts, "the packet in a TIFF file");
    }
    if (bytes.size() <= kMaxJpegPacket) {
        reader.StopAfterExif = true;
        reader.ReadJpegBytes("input.jpg", InJpeg(bytes));
        if (!reader.Xmp) Broken("the packet in a JPEG", "no XMP found");
        CheckFacts(*reader.Xmp, false);
        // A packet naming an extended packet, which no segment holds, says so; any other gives
        // what it gave alone.
        if (document.ExtendedGuid.empty()) ExpectSame(reader.Xmp, document.Facts, "the packet in a JPEG");
    }
}

}  // namespace quorvela::fuzz
