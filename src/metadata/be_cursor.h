#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "byte_order.h"

namespace quorvela::metadata {

// Big-endian reads through a byte span, front to back. A read past the end fails the cursor
// for good: every later read returns 0, so a parser checks Ok() once after a group of reads.
class BeCursor {
  public:
    explicit BeCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // A whole number of `size` bytes (0 to 8; 0 reads nothing and gives 0).
    std::uint64_t Read(std::size_t size) {
        if (size > 8 || !Has(size)) {
            Fail();
            return 0;
        }
        const std::uint64_t value = LoadUnsigned(bytes_.data() + pos_, size, true);
        pos_ += size;
        return value;
    }
    std::uint16_t U16() { return static_cast<std::uint16_t>(Read(2)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Read(4)); }
    void Skip(std::uint64_t count) {
        if (!Has(count)) {
            Fail();
            return;
        }
        pos_ += static_cast<std::size_t>(count);
    }

    [[nodiscard]] bool Ok() const { return ok_; }
    [[nodiscard]] std::size_t Position() const { return pos_; }
    [[nodiscard]] std::size_t Remaining() const { return ok_ ? bytes_.size() - pos_ : 0; }
    [[nodiscard]] bool Has(std::uint64_t count) const { return ok_ && count <= bytes_.size() - pos_; }

  private:
    void Fail() {
        ok_ = false;
        pos_ = bytes_.size();
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace quorvela::metadata
