#include "photo_lens.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "metadata/end_ind.h"
#include "metadata/img_data.h"
#include "metadata/makernotes/tables.h"

namespace quorvela::library {

namespace {

constexpr std::uint16_t kLensModelTag = 0xA434;
// The maker-note entries that name a lens: Canon's 0x0095 and Nikon's 0x0084.
constexpr std::string_view kCanonLensEntry = "LensModel";
constexpr std::string_view kNikonLensEntry = "LensInformation";

// An ASCII value up to its first NUL, without trailing blanks.
std::string AsciiValue(const metadata::Bytes& bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        if (byte == 0) break;
        // A line break or other control character would split a path-list line or a label.
        text += byte < 0x20 ? '?' : static_cast<char>(byte);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    return text;
}

// Four unsigned rationals; nullopt when the value holds fewer bytes.
std::optional<std::array<double, 4>> FourRationals(const metadata::TTagEntry& entry, bool bigEndian) {
    constexpr std::uint16_t kRational = 5;
    if (entry.ValueType != kRational || entry.RawBytes.size() < 32) return std::nullopt;
    std::array<double, 4> values{};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::uint32_t numerator = metadata::LoadU32(&entry.RawBytes[8 * i], bigEndian);
        const std::uint32_t denominator = metadata::LoadU32(&entry.RawBytes[8 * i + 4], bigEndian);
        values[i] = denominator == 0 ? 0.0 : static_cast<double>(numerator) / denominator;
    }
    return values;
}

// The lens of a list of entries, first that applies: a non-empty LensModel of the EXIF, then
// the first non-empty Canon note model, then the first Nikon note information with a name.
LensFinding LensOfEntries(std::span<const metadata::TTagEntry> entries, bool bigEndian) {
    std::string canon;
    std::string nikon;
    for (const metadata::TTagEntry& entry : entries) {
        if (entry.Group == 0 && entry.TagId == kLensModelTag) {
            if (std::string text = AsciiValue(entry.RawBytes); !text.empty()) {
                return {std::move(text), LensSource::LensModel};
            }
        } else if (entry.Group == 1 && canon.empty() && entry.TagName == kCanonLensEntry) {
            canon = AsciiValue(entry.RawBytes);
        } else if (entry.Group == 1 && nikon.empty() && entry.TagName == kNikonLensEntry) {
            if (const auto values = FourRationals(entry, bigEndian)) {
                nikon = metadata::NikonLensName((*values)[0], (*values)[1], (*values)[2], (*values)[3]);
            }
        }
    }
    if (!canon.empty()) return {std::move(canon), LensSource::CanonNote};
    if (!nikon.empty()) return {std::move(nikon), LensSource::NikonNote};
    return {std::string(kUnknownLens), LensSource::None};
}

}  // namespace

LensFinding FindLens(const metadata::TimgData& reader) {
    if (!reader.HasExif()) return {std::string(kUnknownLens), LensSource::None};
    const metadata::TImageInfo& exif = *reader.ExifDirectory;
    return LensOfEntries(exif.Tags, exif.BigEndian);
}

LensFinding FindLensInDeferredNote(metadata::TImageInfo& exif) {
    static constexpr std::array<std::string_view, 2> kNames = {kCanonLensEntry, kNikonLensEntry};
    const std::vector<metadata::TTagEntry> entries = exif.PendingMakerNoteEntries(kNames);
    return LensOfEntries(entries, exif.BigEndian);
}

}  // namespace quorvela::library
