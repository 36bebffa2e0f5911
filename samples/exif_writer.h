#pragma once

// Writer of JPEG/TIFF/EXIF bytes for the demo folder and the tests: a caller states the layout
// in a few lines and offsets are computed for it, in either byte order. Entries are written in
// the order added (ascending tags, as TIFF asks, unless a test wants otherwise).

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvela::samples {

using Bytes = std::vector<std::uint8_t>;

class Ifd {
  public:
    explicit Ifd(bool bigEndian) : bigEndian_(bigEndian) {}

    // An entry whose value bytes are given already in file order.
    Ifd& Raw(std::uint16_t tag, std::uint16_t type, std::uint32_t count, Bytes value);
    Ifd& Byte(std::uint16_t tag, std::initializer_list<std::uint8_t> values);
    Ifd& Short(std::uint16_t tag, std::initializer_list<std::uint16_t> values);
    Ifd& Long(std::uint16_t tag, std::initializer_list<std::uint32_t> values);
    Ifd& SShort(std::uint16_t tag, std::initializer_list<std::int16_t> values);
    Ifd& SLong(std::uint16_t tag, std::initializer_list<std::int32_t> values);
    Ifd& Rational(std::uint16_t tag, std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> values);
    Ifd& SRational(std::uint16_t tag, std::initializer_list<std::pair<std::int32_t, std::int32_t>> values);
    Ifd& Float(std::uint16_t tag, float value);
    Ifd& Double(std::uint16_t tag, double value);
    // ASCII with the terminating zero added (count includes it), unless `terminate` is false.
    Ifd& Ascii(std::uint16_t tag, std::string_view text, bool terminate = true);
    Ifd& Undefined(std::uint16_t tag, std::string_view bytes);
    Ifd& Undefined(std::uint16_t tag, Bytes bytes);
    // A link entry (LONG) whose value is the offset of `child`, laid out after this directory.
    Ifd& Link(std::uint16_t tag, Ifd child);
    // A LONG entry holding a raw offset, for links that point somewhere chosen by the test.
    Ifd& LinkTo(std::uint16_t tag, std::uint32_t offset) { return Long(tag, {offset}); }

    Bytes U16(std::uint16_t v) const;
    Bytes U32(std::uint32_t v) const;
    bool bigEndian() const { return bigEndian_; }

    // Serialises this directory at TIFF offset `offset`; returns its bytes (with children).
    Bytes Layout(std::uint32_t offset) const;

  private:
    // An entry of `values`, each written in the directory's byte order as a 16- or 32-bit word
    // by the size of T.
    template <class T>
    Ifd& Words(std::uint16_t tag, std::uint16_t type, std::initializer_list<T> values);

    struct Entry {
        std::uint16_t tag;
        std::uint16_t type;
        std::uint32_t count;
        Bytes value;
        std::shared_ptr<Ifd> child;
    };
    bool bigEndian_;
    std::vector<Entry> entries_;
};

// A TIFF structure: the 8-byte header, then IFD0 at offset 8.
class Tiff {
  public:
    explicit Tiff(bool bigEndian = false) : ifd0(bigEndian) {}
    Ifd ifd0;
    // When set, written as the header's IFD0 offset instead of 8.
    std::uint32_t ifd0OffsetField = 8;
    Bytes Build() const;
};

class Jpeg {
  public:
    Jpeg& Soi();
    // A segment with its marker and computed length; `payload` excludes the length bytes.
    Jpeg& Segment(std::uint8_t marker, const Bytes& payload);
    Jpeg& App0();                  // a JFIF APP0
    Jpeg& Exif(const Tiff& tiff);  // APP1 "Exif\0\0" + TIFF
    Jpeg& Xmp();                   // APP1 with an XMP packet
    Jpeg& Comment(std::string_view text);
    // APP13 "Photoshop 3.0" with one 8BIM IPTC resource holding `datasets` (see IptcDataset).
    Jpeg& App13(const Bytes& datasets);
    Jpeg& Dqt();
    Jpeg& Sof0();
    Jpeg& Sos();  // SOS header followed by a few entropy-coded bytes
    Jpeg& Eoi();
    Jpeg& RawBytes(const Bytes& bytes);
    Bytes Build() const { return bytes_; }

  private:
    Bytes bytes_;
};

Bytes ToBytes(std::string_view text);

// The APP1 payload of an EXIF block: "Exif\0\0" and the TIFF structure.
Bytes ExifPayload(const Tiff& tiff);

// One IPTC dataset: marker 0x1C, record and dataset number, big-endian length, value.
Bytes IptcDataset(std::uint8_t record, std::uint8_t dataset, std::string_view value);

}  // namespace quorvela::samples
