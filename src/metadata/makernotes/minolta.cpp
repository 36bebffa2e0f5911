#include <cmath>
#include <vector>

#include "metadata/image_info.h"
#include "metadata/makernotes/tables.h"

namespace quorvela::metadata {
namespace {

// clang-format off
constexpr TagRow kMinolta[] = {
    {0x0000, "ModelID", "ModelID"},
    {0x0E00, "PIMdata", "PIMdata"},
};
// clang-format on

}  // namespace

std::span<const TagRow> MinoltaRows() {
    return kMinolta;
}

std::optional<std::int64_t> MinoltaIso(const NoteReading& note) {
    // The camera settings are bytes holding big-endian 32-bit fields, whatever the file's
    // order; the ninth is 48 + 8 x log2(ISO / 100). The DiMAGE X31 lays 0x0003 out otherwise.
    constexpr std::size_t kIsoByte = 32;  // the ninth field
    std::vector<std::int64_t> settings;
    if (note.Directory.ModelText.rfind("DiMAGE X31", 0) != 0) settings = NoteNumbers(note, 0x0003);
    if (settings.empty()) settings = NoteNumbers(note, 0x0001);
    if (settings.size() < kIsoByte + 4) return std::nullopt;
    std::int64_t steps = 0;
    for (std::size_t i = kIsoByte; i < kIsoByte + 4; ++i) steps = steps * 256 + (settings[i] & 0xFF);
    if (steps == 0) return std::nullopt;
    return RoundedIso(100.0 * std::exp2((static_cast<double>(steps) - 48.0) / 8.0));
}

}  // namespace quorvela::metadata
