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

}  // namespace quorvela::metadata
