#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

#include "photo_facts.h"

namespace quorvela::library {

namespace {

// The layout: a flags byte, the texts in declaration order, the sensor's and the lens's
// numbers (8 bytes each, little-endian IEEE), the rating (one signed byte), the sidecars'
// stamp (8 bytes, little-endian), the pair count and the pairs, each text a 4-byte
// little-endian length and its bytes.
constexpr std::uint8_t kHasExif = 1;
constexpr std::uint8_t kHasPairs = 2;
constexpr std::uint8_t kNoteDecoded = 4;

template <typename Facts>
auto Texts(Facts& f) {
    return std::array{&f.Make,         &f.Model,   &f.FocalLength,  &f.FocalLength35,     &f.Iso,
                      &f.MakerNoteIso, &f.FNumber, &f.ExposureTime, &f.ShutterSpeedValue, &f.Lens,
                      &f.DateTaken,    &f.Format,  &f.Label,        &f.XmpProblem};
}

void PutNumber(std::string& out, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i) out += static_cast<char>((bits >> (8 * i)) & 0xFFU);
}

bool TakeNumber(std::string_view& in, double& value) {
    if (in.size() < 8) return false;
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= std::uint64_t{static_cast<unsigned char>(in[static_cast<std::size_t>(i)])} << (8 * i);
    in.remove_prefix(8);
    value = std::bit_cast<double>(bits);
    // A factor or a lens's length is a positive number or 0; anything else is damage.
    return std::isfinite(value) && value >= 0.0;
}

template <typename Facts>
auto Numbers(Facts& f) {
    return std::array{&f.NoteCrop,
                      &f.PlaneCrop,
                      &f.Aspect,
                      &f.LensRange.MinFocal,
                      &f.LensRange.MaxFocal,
                      &f.LensRange.WideAperture,
                      &f.LensRange.LongAperture};
}

void PutLength(std::string& out, std::size_t n) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((n >> (8 * i)) & 0xFFU);
}

void PutText(std::string& out, std::string_view text) {
    PutLength(out, text.size());
    out += text;
}

// Reads from the front of `in`; false when it is too short.
bool TakeLength(std::string_view& in, std::size_t& n) {
    if (in.size() < 4) return false;
    n = 0;
    for (int i = 0; i < 4; ++i)
        n |= std::size_t{static_cast<unsigned char>(in[static_cast<std::size_t>(i)])} << (8 * i);
    in.remove_prefix(4);
    return true;
}

bool TakeText(std::string_view& in, std::string& text) {
    std::size_t n = 0;
    if (!TakeLength(in, n) || n > in.size()) return false;
    text.assign(in.substr(0, n));
    in.remove_prefix(n);
    return true;
}

}  // namespace

std::string EncodeFacts(const PhotoFacts& facts) {
    std::string out;
    std::uint8_t flags = 0;
    if (facts.HasExif) flags |= kHasExif;
    if (facts.MakerNotePairsRead) flags |= kHasPairs;
    if (facts.MakerNoteDecoded) flags |= kNoteDecoded;
    out += static_cast<char>(flags);
    for (const std::string* text : Texts(facts)) PutText(out, *text);
    for (const double* number : Numbers(facts)) PutNumber(out, *number);
    out += static_cast<char>(facts.Rating);
    for (int i = 0; i < 8; ++i) out += static_cast<char>((facts.SidecarStamp >> (8 * i)) & 0xFFU);
    PutLength(out, facts.MakerNotePairs.size());
    for (const auto& [description, value] : facts.MakerNotePairs) {
        PutText(out, description);
        PutText(out, value);
    }
    return out;
}

std::optional<PhotoFacts> DecodeFacts(std::string_view bytes) {
    if (bytes.empty()) return std::nullopt;
    PhotoFacts facts;
    const auto flags = static_cast<std::uint8_t>(bytes.front());
    if ((flags & ~(kHasExif | kHasPairs | kNoteDecoded)) != 0) return std::nullopt;
    bytes.remove_prefix(1);
    facts.HasExif = (flags & kHasExif) != 0;
    facts.MakerNotePairsRead = (flags & kHasPairs) != 0;
    facts.MakerNoteDecoded = (flags & kNoteDecoded) != 0;
    for (std::string* text : Texts(facts)) {
        if (!TakeText(bytes, *text)) return std::nullopt;
    }
    for (double* number : Numbers(facts)) {
        if (!TakeNumber(bytes, *number)) return std::nullopt;
    }
    if (bytes.size() < 9) return std::nullopt;
    // The rating's byte is its two's complement: 0xFF for rejected.
    const auto ratingByte = static_cast<unsigned char>(bytes.front());
    facts.Rating = ratingByte == 0xFF ? -1 : static_cast<int>(ratingByte);
    if (facts.Rating > 5) return std::nullopt;
    for (std::size_t i = 0; i < 8; ++i) {
        facts.SidecarStamp |= std::uint64_t{static_cast<unsigned char>(bytes[1 + i])} << (8 * i);
    }
    bytes.remove_prefix(9);
    std::size_t pairs = 0;
    // Each pair takes at least eight bytes: a count beyond that is damage, not a note.
    if (!TakeLength(bytes, pairs) || pairs > bytes.size() / 8) return std::nullopt;
    facts.MakerNotePairs.resize(pairs);
    for (auto& [description, value] : facts.MakerNotePairs) {
        if (!TakeText(bytes, description) || !TakeText(bytes, value)) return std::nullopt;
    }
    if (!bytes.empty()) return std::nullopt;
    return facts;
}

}  // namespace quorvela::library
