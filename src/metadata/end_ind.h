#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "byte_order.h"

namespace quorvela::metadata {

using Bytes = std::vector<std::uint8_t>;

// A read that would touch a byte outside its block. It never leaves the metadata
// reader: the walk that caused it is abandoned where the directory rules say so.
class ReadFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Whether a failure came from a file's bytes: a read outside its block (ReadFailure), or a
// value no text can be made of (std::logic_error: invalid_argument, domain_error, out_of_range,
// length_error). Anything else, out of memory above all, is the machine's: it goes on to the
// caller rather than make the file look damaged.
inline bool IsFileFault(const std::exception& error) {
    return dynamic_cast<const ReadFailure*>(&error) != nullptr ||
           dynamic_cast<const std::logic_error*>(&error) != nullptr;
}

// A byte block with the byte order of the file it came from. Positions are 1-based
// (position 1 is the first byte); this is the only place that turns them into indexes.
class tEndInd {
  public:
    bool BigEndian = false;
    Bytes Block;

    // True when the `count` bytes starting at 1-based `position` all lie inside `Block`.
    [[nodiscard]] bool Contains(std::int64_t position, std::int64_t count) const {
        const auto size = static_cast<std::int64_t>(Block.size());
        return position >= 1 && count >= 0 && count <= size && position - 1 <= size - count;
    }
    [[nodiscard]] std::uint16_t ReadU16(std::int64_t position) const;
    [[nodiscard]] std::int32_t ReadI32(std::int64_t position) const;

    // How many of the bytes [position, position + count) lie inside `Block`: they start at
    // max(position, 1).
    [[nodiscard]] std::int64_t CountInside(std::int64_t position, std::int64_t count) const;

    // The bytes [position, position + count) clipped to the block: fewer or none when the
    // range reaches outside it, none when count is negative.
    [[nodiscard]] Bytes SliceClipped(std::int64_t position, std::int64_t count) const;
};

}  // namespace quorvela::metadata
