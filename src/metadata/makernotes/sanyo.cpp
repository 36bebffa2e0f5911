#include "metadata/makernotes/tables.h"

namespace quorvela::metadata {
namespace {

// clang-format off
constexpr TagRow kSanyo[] = {
    {0x0200, "Special Mode", "Special Mode"},
    {0x0201, "JpegQuality", "JpegQuality"},
    {0x0202, "Macro", "Macro"},
    {0x0203, "Skip", "Skip"},
    {0x0204, "DigiZoom", "DigiZoom"},
    {0x0F00, "DataDump", "DataDump"},
};
// clang-format on

}  // namespace

std::span<const TagRow> SanyoRows() {
    return kSanyo;
}

}  // namespace quorvela::metadata
