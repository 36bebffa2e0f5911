#include "exif_writer.h"

#include <bit>
#include <cstring>

namespace quorvela::samples {

Bytes ToBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Bytes Ifd::U16(std::uint16_t v) const {
    return bigEndian_ ? Bytes{static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)}
                      : Bytes{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
}

Bytes Ifd::U32(std::uint32_t v) const {
    Bytes b(4);
    for (int i = 0; i < 4; ++i) {
        const auto byte = static_cast<std::uint8_t>(v >> (8 * i));
        b[bigEndian_ ? 3 - i : i] = byte;
    }
    return b;
}

Ifd& Ifd::Raw(std::uint16_t tag, std::uint16_t type, std::uint32_t count, Bytes value) {
    entries_.push_back({tag, type, count, std::move(value), nullptr});
    return *this;
}

Ifd& Ifd::Byte(std::uint16_t tag, std::initializer_list<std::uint8_t> values) {
    return Raw(tag, 1, static_cast<std::uint32_t>(values.size()), Bytes(values));
}

template <class T>
Ifd& Ifd::Words(std::uint16_t tag, std::uint16_t type, std::initializer_list<T> values) {
    static_assert(sizeof(T) == 2 || sizeof(T) == 4);
    Bytes b;
    for (const T v : values) {
        const Bytes p = sizeof(T) == 2 ? U16(static_cast<std::uint16_t>(v)) : U32(static_cast<std::uint32_t>(v));
        b.insert(b.end(), p.begin(), p.end());
    }
    return Raw(tag, type, static_cast<std::uint32_t>(values.size()), b);
}

Ifd& Ifd::Short(std::uint16_t tag, std::initializer_list<std::uint16_t> values) {
    return Words(tag, 3, values);
}

Ifd& Ifd::SShort(std::uint16_t tag, std::initializer_list<std::int16_t> values) {
    return Words(tag, 8, values);
}

Ifd& Ifd::Long(std::uint16_t tag, std::initializer_list<std::uint32_t> values) {
    return Words(tag, 4, values);
}

Ifd& Ifd::SLong(std::uint16_t tag, std::initializer_list<std::int32_t> values) {
    return Words(tag, 9, values);
}

Ifd& Ifd::Rational(std::uint16_t tag, std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> values) {
    Bytes b;
    for (auto [n, d] : values) {
        for (const Bytes& p : {U32(n), U32(d)}) b.insert(b.end(), p.begin(), p.end());
    }
    return Raw(tag, 5, static_cast<std::uint32_t>(values.size()), b);
}

Ifd& Ifd::SRational(std::uint16_t tag, std::initializer_list<std::pair<std::int32_t, std::int32_t>> values) {
    Bytes b;
    for (auto [n, d] : values) {
        for (const Bytes& p : {U32(static_cast<std::uint32_t>(n)), U32(static_cast<std::uint32_t>(d))}) {
            b.insert(b.end(), p.begin(), p.end());
        }
    }
    return Raw(tag, 10, static_cast<std::uint32_t>(values.size()), b);
}

Ifd& Ifd::Float(std::uint16_t tag, float value) {
    return Raw(tag, 11, 1, U32(std::bit_cast<std::uint32_t>(value)));
}

Ifd& Ifd::Double(std::uint16_t tag, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    Bytes hi = U32(static_cast<std::uint32_t>(bits >> 32));
    Bytes lo = U32(static_cast<std::uint32_t>(bits));
    Bytes b = bigEndian_ ? hi : lo;
    const Bytes& second = bigEndian_ ? lo : hi;
    b.insert(b.end(), second.begin(), second.end());
    return Raw(tag, 12, 1, b);
}

Ifd& Ifd::Ascii(std::uint16_t tag, std::string_view text, bool terminate) {
    Bytes b = ToBytes(text);
    if (terminate) b.push_back(0);
    return Raw(tag, 2, static_cast<std::uint32_t>(b.size()), b);
}

Ifd& Ifd::Undefined(std::uint16_t tag, std::string_view bytes) {
    return Raw(tag, 7, static_cast<std::uint32_t>(bytes.size()), ToBytes(bytes));
}

Ifd& Ifd::Undefined(std::uint16_t tag, Bytes bytes) {
    const auto count = static_cast<std::uint32_t>(bytes.size());
    return Raw(tag, 7, count, std::move(bytes));
}

Ifd& Ifd::Link(std::uint16_t tag, Ifd child) {
    entries_.push_back({tag, 4, 1, U32(0), std::make_shared<Ifd>(std::move(child))});
    return *this;
}

Bytes Ifd::Layout(std::uint32_t offset) const {
    const std::uint32_t tableSize = 2 + 12 * static_cast<std::uint32_t>(entries_.size()) + 4;
    // Data area: values longer than four bytes, each on an even offset.
    std::uint32_t dataOffset = offset + tableSize;
    std::vector<std::uint32_t> valueOffsets;
    Bytes data;
    for (const Entry& e : entries_) {
        if (e.value.size() > 4) {
            valueOffsets.push_back(dataOffset + static_cast<std::uint32_t>(data.size()));
            data.insert(data.end(), e.value.begin(), e.value.end());
            if (data.size() % 2) data.push_back(0);
        } else {
            valueOffsets.push_back(0);
        }
    }
    // Children follow the data area.
    std::uint32_t childOffset = dataOffset + static_cast<std::uint32_t>(data.size());
    std::vector<std::uint32_t> childOffsets;
    Bytes children;
    for (const Entry& e : entries_) {
        if (e.child) {
            childOffsets.push_back(childOffset);
            const Bytes c = e.child->Layout(childOffset);
            children.insert(children.end(), c.begin(), c.end());
            childOffset += static_cast<std::uint32_t>(c.size());
        } else {
            childOffsets.push_back(0);
        }
    }
    Bytes out = U16(static_cast<std::uint16_t>(entries_.size()));
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        for (const Bytes& p : {U16(e.tag), U16(e.type), U32(e.count)}) out.insert(out.end(), p.begin(), p.end());
        Bytes field;
        if (e.child) {
            field = U32(childOffsets[i]);
        } else if (e.value.size() > 4) {
            field = U32(valueOffsets[i]);
        } else {
            field = e.value;
            field.resize(4, 0);
        }
        out.insert(out.end(), field.begin(), field.end());
    }
    const Bytes next = U32(0);
    out.insert(out.end(), next.begin(), next.end());
    out.insert(out.end(), data.begin(), data.end());
    out.insert(out.end(), children.begin(), children.end());
    return out;
}

Bytes Tiff::Build() const {
    Bytes out = ifd0.bigEndian() ? ToBytes("MM") : ToBytes("II");
    for (const Bytes& p : {ifd0.U16(42), ifd0.U32(ifd0OffsetField)}) out.insert(out.end(), p.begin(), p.end());
    const Bytes body = ifd0.Layout(8);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Jpeg& Jpeg::Soi() {
    bytes_.insert(bytes_.end(), {0xFF, 0xD8});
    return *this;
}

Jpeg& Jpeg::Segment(std::uint8_t marker, const Bytes& payload) {
    const std::size_t length = payload.size() + 2;
    bytes_.insert(bytes_.end(),
                  {0xFF, marker, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)});
    bytes_.insert(bytes_.end(), payload.begin(), payload.end());
    return *this;
}

Jpeg& Jpeg::App0() {
    return Segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
}

Bytes ExifPayload(const Tiff& tiff) {
    Bytes payload = {'E', 'x', 'i', 'f', 0, 0};
    const Bytes t = tiff.Build();
    payload.insert(payload.end(), t.begin(), t.end());
    return payload;
}

Jpeg& Jpeg::Exif(const Tiff& tiff) {
    return Segment(0xE1, ExifPayload(tiff));
}

Jpeg& Jpeg::Xmp() {
    Bytes payload = ToBytes("http://ns.adobe.com/xap/1.0/");
    payload.push_back(0);
    const Bytes packet = ToBytes("<x:xmpmeta xmlns:x='adobe:ns:meta/'></x:xmpmeta>");
    payload.insert(payload.end(), packet.begin(), packet.end());
    return Segment(0xE1, payload);
}

Jpeg& Jpeg::Comment(std::string_view text) {
    return Segment(0xFE, ToBytes(text));
}
Jpeg& Jpeg::App13(const Bytes& datasets) {
    Bytes payload = ToBytes("Photoshop 3.0");
    payload.push_back(0);
    const Bytes resource = {'8', 'B', 'I', 'M', 0x04, 0x04, 0, 0};  // IPTC resource, empty name
    payload.insert(payload.end(), resource.begin(), resource.end());
    const auto size = static_cast<std::uint32_t>(datasets.size());
    payload.insert(payload.end(), {static_cast<std::uint8_t>(size >> 24), static_cast<std::uint8_t>(size >> 16),
                                   static_cast<std::uint8_t>(size >> 8), static_cast<std::uint8_t>(size)});
    payload.insert(payload.end(), datasets.begin(), datasets.end());
    if (datasets.size() % 2) payload.push_back(0);
    return Segment(0xED, payload);
}

Bytes IptcDataset(std::uint8_t record, std::uint8_t dataset, std::string_view value) {
    Bytes out;
    out.reserve(5 + value.size());  // also keeps GCC 12 -O3 from a false -Warray-bounds report
    for (const std::uint8_t b : {std::uint8_t{0x1C}, record, dataset, static_cast<std::uint8_t>(value.size() >> 8),
                                 static_cast<std::uint8_t>(value.size())}) {
        out.push_back(b);
    }
    for (const char c : value) out.push_back(static_cast<std::uint8_t>(c));
    return out;
}

Jpeg& Jpeg::Dqt() {
    return Segment(0xDB, Bytes(65, 1));
}
Jpeg& Jpeg::Sof0() {
    return Segment(0xC0, {8, 0, 16, 0, 16, 1, 1, 0x11, 0});
}

Jpeg& Jpeg::Sos() {
    Segment(0xDA, {1, 1, 0, 0, 63, 0});
    bytes_.insert(bytes_.end(), {0x12, 0x34, 0x56});
    return *this;
}

Jpeg& Jpeg::Eoi() {
    bytes_.insert(bytes_.end(), {0xFF, 0xD9});
    return *this;
}

Jpeg& Jpeg::RawBytes(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

}  // namespace quorvela::samples
