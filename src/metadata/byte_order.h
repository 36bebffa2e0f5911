#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace quorvela::metadata {

// Whole numbers from bytes in either byte order: the one place the reader puts bytes together.

// The unsigned number in the `size` bytes (0 to 8) at `p`; the caller has checked that they
// are there.
constexpr std::uint64_t LoadUnsigned(const std::uint8_t* p, std::size_t size, bool bigEndian) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value = (value << 8) | p[bigEndian ? i : size - 1 - i];
    return value;
}

// The unsigned number in the `size` bytes (0 to 8) at `at` of `bytes`; nothing when they are
// not all there.
constexpr std::optional<std::uint64_t> LoadUnsigned(std::span<const std::uint8_t> bytes, std::size_t at,
                                                    std::size_t size, bool bigEndian) {
    if (size > 8 || at > bytes.size() || size > bytes.size() - at) return std::nullopt;
    return LoadUnsigned(bytes.data() + at, size, bigEndian);
}

inline std::uint16_t LoadU16(const std::uint8_t* p, bool bigEndian) {
    return static_cast<std::uint16_t>(LoadUnsigned(p, 2, bigEndian));
}

inline std::uint32_t LoadU32(const std::uint8_t* p, bool bigEndian) {
    return static_cast<std::uint32_t>(LoadUnsigned(p, 4, bigEndian));
}

// The big-endian number of `size` bytes at `at`, or 0 when they are not all there.
constexpr std::uint64_t LoadBe(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t size) {
    return LoadUnsigned(bytes, at, size, true).value_or(0);
}

}  // namespace quorvela::metadata
