#include "metadata/makernotes/tables.h"

namespace quorvela::metadata {
namespace {

// clang-format off
constexpr TagRow kEpson[] = {
    {0x0200, "Special Mode", "Special Mode"},
    {0x0201, "JpegQuality", "JpegQuality"},
    {0x0202, "Macro", "Macro"},
    {0x0203, "Skip", "Skip"},
    {0x0204, "DigiZoom", "DigiZoom"},
    {0x0209, "CameraID", "CameraID"},
    {0x020A, "Comments", "Comments"},
    {0x020B, "Width", "Width"},
    {0x020C, "Height", "Height"},
    {0x020D, "SoftRelease", "SoftRelease"},
    {0x0300, "??", "??"},
    {0x0F00, "skip", "skip"},
};
// clang-format on

}  // namespace

std::span<const TagRow> EpsonRows() {
    return kEpson;
}

}  // namespace quorvela::metadata
