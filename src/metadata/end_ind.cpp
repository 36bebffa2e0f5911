#include "end_ind.h"

#include <algorithm>

namespace quorvela::metadata {

std::uint16_t tEndInd::ReadU16(std::int64_t position) const {
    if (!Contains(position, 2)) throw ReadFailure("16-bit read outside the block");
    return LoadU16(Block.data() + (position - 1), BigEndian);
}

std::int32_t tEndInd::ReadI32(std::int64_t position) const {
    if (!Contains(position, 4)) throw ReadFailure("32-bit read outside the block");
    return static_cast<std::int32_t>(LoadU32(Block.data() + (position - 1), BigEndian));
}

std::int64_t tEndInd::CountInside(std::int64_t position, std::int64_t count) const {
    const auto size = static_cast<std::int64_t>(Block.size());
    if (count <= 0 || position > size) return 0;
    const std::int64_t first = std::max<std::int64_t>(position, 1);
    // Avoid forming position + count when it could overflow: compare by subtraction.
    const std::int64_t last = (count > size - position + 1) ? size : position + count - 1;
    return last < first ? 0 : last - first + 1;
}

Bytes tEndInd::SliceClipped(std::int64_t position, std::int64_t count) const {
    const std::int64_t inside = CountInside(position, count);
    if (inside == 0) return {};
    const auto first = Block.begin() + (std::max<std::int64_t>(position, 1) - 1);
    Bytes slice(first, first + inside);
    return slice;
}

}  // namespace quorvela::metadata
