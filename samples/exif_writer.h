#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quorvela::samples {

using Bytes = std::vector<std::uint8_t>;

// One little-endian TIFF directory under construction. Entries are written in the order added
// (callers add them by ascending tag, as TIFF asks).
class ExifDirectory {
  public:
    ExifDirectory& Ascii(std::uint16_t tag, std::string_view text);
    ExifDirectory& Short(std::uint16_t tag, std::uint16_t value);
    ExifDirectory& Shorts(std::uint16_t tag, std::vector<std::uint16_t> values);
    ExifDirectory& Rational(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator);
    ExifDirectory& SRational(std::uint16_t tag, std::int32_t numerator, std::int32_t denominator);
    ExifDirectory& Undefined(std::uint16_t tag, const Bytes& bytes);

    // The directory laid out at TIFF offset `offset`, its values after it, with `links`
    // (tag and child directory) written as LONG entries pointing at the children laid out next.
    [[nodiscard]] Bytes Layout(std::uint32_t offset) const;
    ExifDirectory& Link(std::uint16_t tag, ExifDirectory child);

  private:
    struct Entry {
        std::uint16_t Tag;
        std::uint16_t Type;
        std::uint32_t Count;
        Bytes Value;
    };
    std::vector<Entry> entries_;
    std::vector<std::pair<std::uint16_t, ExifDirectory>> links_;
};

// The APP1 payload: "Exif\0\0", a little-endian TIFF header and IFD0 at offset 8.
Bytes ExifPayload(const ExifDirectory& ifd0);

}  // namespace quorvela::samples
