#include "exif_writer.h"

#include <algorithm>
#include <utility>

namespace quorvela::samples {

namespace {

constexpr std::uint16_t kAscii = 2;
constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kLong = 4;
constexpr std::uint16_t kRational = 5;
constexpr std::uint16_t kUndefined = 7;
constexpr std::uint16_t kSRational = 10;

void Put16(Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(Bytes& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>((v >> shift) & 0xFF));
}

}  // namespace

ExifDirectory& ExifDirectory::Ascii(std::uint16_t tag, std::string_view text) {
    Bytes value(text.begin(), text.end());
    value.push_back(0);
    const auto count = static_cast<std::uint32_t>(value.size());
    entries_.push_back({tag, kAscii, count, std::move(value)});
    return *this;
}

ExifDirectory& ExifDirectory::Short(std::uint16_t tag, std::uint16_t value) {
    return Shorts(tag, {value});
}

ExifDirectory& ExifDirectory::Shorts(std::uint16_t tag, std::vector<std::uint16_t> values) {
    Bytes value;
    for (const std::uint16_t v : values) Put16(value, v);
    entries_.push_back({tag, kShort, static_cast<std::uint32_t>(values.size()), std::move(value)});
    return *this;
}

ExifDirectory& ExifDirectory::Rational(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator) {
    Bytes value;
    Put32(value, numerator);
    Put32(value, denominator);
    entries_.push_back({tag, kRational, 1, std::move(value)});
    return *this;
}

ExifDirectory& ExifDirectory::SRational(std::uint16_t tag, std::int32_t numerator, std::int32_t denominator) {
    Bytes value;
    Put32(value, static_cast<std::uint32_t>(numerator));
    Put32(value, static_cast<std::uint32_t>(denominator));
    entries_.push_back({tag, kSRational, 1, std::move(value)});
    return *this;
}

ExifDirectory& ExifDirectory::Undefined(std::uint16_t tag, const Bytes& bytes) {
    entries_.push_back({tag, kUndefined, static_cast<std::uint32_t>(bytes.size()), bytes});
    return *this;
}

ExifDirectory& ExifDirectory::Link(std::uint16_t tag, ExifDirectory child) {
    links_.emplace_back(tag, std::move(child));
    return *this;
}

Bytes ExifDirectory::Layout(std::uint32_t offset) const {
    struct Row {
        std::uint16_t Tag;
        std::uint16_t Type;
        std::uint32_t Count;
        Bytes Value;
        int Link;  // index into links_, or -1
    };
    std::vector<Row> rows;
    for (const Entry& e : entries_) rows.push_back({e.Tag, e.Type, e.Count, e.Value, -1});
    for (std::size_t i = 0; i < links_.size(); ++i)
        rows.push_back({links_[i].first, kLong, 1, {}, static_cast<int>(i)});
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.Tag < b.Tag; });

    const auto tableSize = static_cast<std::uint32_t>(2 + 12 * rows.size() + 4);
    std::uint32_t dataOffset = offset + tableSize;
    Bytes table;
    Bytes data;
    std::vector<std::pair<std::size_t, int>> linkSlots;  // where each link's offset goes
    Put16(table, static_cast<std::uint16_t>(rows.size()));
    for (const Row& row : rows) {
        Put16(table, row.Tag);
        Put16(table, row.Type);
        Put32(table, row.Count);
        if (row.Link >= 0) {
            linkSlots.emplace_back(table.size(), row.Link);
            Put32(table, 0);
        } else if (row.Value.size() <= 4) {
            Bytes inline4 = row.Value;
            inline4.resize(4, 0);
            table.insert(table.end(), inline4.begin(), inline4.end());
        } else {
            Put32(table, dataOffset + static_cast<std::uint32_t>(data.size()));
            data.insert(data.end(), row.Value.begin(), row.Value.end());
            if (data.size() % 2 != 0) data.push_back(0);  // values start on word boundaries
        }
    }
    Put32(table, 0);  // no next directory
    Bytes out = std::move(table);
    out.insert(out.end(), data.begin(), data.end());
    for (const auto& [slot, index] : linkSlots) {
        const auto childOffset = offset + static_cast<std::uint32_t>(out.size());
        for (int b = 0; b < 4; ++b) out[slot + b] = static_cast<std::uint8_t>((childOffset >> (8 * b)) & 0xFF);
        const Bytes child = links_[static_cast<std::size_t>(index)].second.Layout(childOffset);
        out.insert(out.end(), child.begin(), child.end());
    }
    return out;
}

Bytes ExifPayload(const ExifDirectory& ifd0) {
    Bytes out = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0};
    Put32(out, 8);
    const Bytes tiff = ifd0.Layout(8);
    out.insert(out.end(), tiff.begin(), tiff.end());
    return out;
}

}  // namespace quorvela::samples
