#include "iptc.h"

#include <algorithm>

#include "common/ascii.h"
#include "img_data.h"

namespace quorvela::metadata {
namespace {

// clang-format off
constexpr IptcRow kIptc[] = {
    {2, 0, "SKIP", "Record Version", 64},
    {2, 3, "ObjectType", "Object Type Ref", 67},
    {2, 4, "ObjectAttr", "Object Attribute Ref", 67},
    {2, 5, "ObjectName", "Object name", 64},
    {2, 7, "EditStatus", "Edit Status", 64},
    {2, 8, "EditorialUpdate", "Editorial Update", 2},
    {2, 10, "Urgency", "Urgency", 1},
    {2, 12, "SubRef", "Subject Reference", 236},
    {2, 15, "Category", "Category", 3},
    {2, 20, "SuppCategory", "Supplemental category", 32},
    {2, 22, "FixtureID", "Fixture ID", 32},
    {2, 25, "Keywords", "Keywords", 64},
    {2, 26, "ContentLocCode", "Content Location Code", 3},
    {2, 27, "ContentLocName", "Content Location Name", 64},
    {2, 30, "ReleaseDate", "Release Date", 8},
    {2, 35, "ReleaseTime", "Release Time", 11},
    {2, 37, "ExpireDate", "Expiration Date", 8},
    {2, 38, "ExpireTime", "Expiration Time", 11},
    {2, 40, "SpecialInstru", "Special Instructions", 256},
    {2, 42, "ActionAdvised", "Action Advised", 2},
    {2, 45, "RefService", "Reference Service", 10},
    {2, 47, "RefDate", "Reference Date", 8},
    {2, 50, "RefNumber", "Reference Number", 8},
    {2, 55, "DateCreated", "Date created", 8},
    {2, 60, "TimeCreated", "Time created", 11},
    {2, 62, "DigitizeDate", "Digital Creation Date", 8},
    {2, 63, "DigitizeTime", "Digital Creation Time", 11},
    {2, 65, "OriginatingProgram", "Originating Program", 32},
    {2, 70, "ProgramVersion", "Program version", 10},
    {2, 75, "ObjectCycle", "Object Cycle", 1},
    {2, 80, "ByLine", "ByLine", 32},
    {2, 85, "ByLineTitle", "ByLine Title", 32},
    {2, 90, "City", "City", 32},
    {2, 92, "SubLocation", "Sublocation", 32},
    {2, 95, "State", "Province/State", 32},
    {2, 100, "LocationCode", "Country/Primary Location Code", 3},
    {2, 101, "LocationName", "Country/Primary Location Name", 64},
    {2, 103, "TransmissionRef", "Original Transmission Reference", 32},
    {2, 105, "ImageHeadline", "Image headline", 256},
    {2, 110, "ImageCredit", "Image credit", 32},
    {2, 115, "Source", "Source", 32},
    {2, 116, "Copyright", "Copyright Notice", 128},
    {2, 118, "Contact", "Contact", 128},
    {2, 120, "ImageCaption", "Image caption", 2000},
    {2, 122, "ImageCaptionWriter", "Image caption writer", 32},
    {2, 130, "ImageType", "Image type", 2},
    {2, 131, "Orientation", "Image Orientation", 1},
    {2, 135, "LangID", "Language ID", 3},
    {8, 10, "Subfile", "Subfile", 2},
};
// clang-format on

constexpr std::int32_t kCustomMaxLength = 64;

bool IsRepeatable(int dataset) {
    return dataset == 20 || dataset == 25;
}

// Windows-1252 letters folded to lower case, so "SEA" and "sea", or "É" and "é", match.
unsigned char FoldCase(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<unsigned char>(c + 16);
    if (c == 0x9F) return 0xFF;
    return c;
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldCase(static_cast<unsigned char>(x)) == FoldCase(static_cast<unsigned char>(y));
           });
}

const IptcRow* RowByName(std::string_view name) {
    const auto row = std::find_if(std::begin(kIptc), std::end(kIptc),
                                  [name](const IptcRow& r) { return common::EqualsIgnoreAsciiCase(r.TagName, name); });
    return row == std::end(kIptc) ? nullptr : &*row;
}

const IptcRow* RowByNumber(int record, int dataset) {
    const auto row = std::find_if(std::begin(kIptc), std::end(kIptc),
                                  [=](const IptcRow& r) { return r.Record == record && r.Dataset == dataset; });
    return row == std::end(kIptc) ? nullptr : &*row;
}

TTagEntry RecordFromRow(const IptcRow& row, std::string text) {
    TTagEntry record;
    record.TagId = row.Dataset;
    record.SubCode = row.Record;
    record.TagName = TagText::Static(row.TagName);
    record.Description = TagText::Static(row.Description);
    record.ByteLength = row.MaxLength;
    record.Text = std::move(text);
    return record;
}

bool IsBlank(char c) {
    return c != '\0' && static_cast<unsigned char>(c) <= ' ';
}

// Splits comma text: items end at a comma or a blank unless they stand in double quotes,
// where a doubled quote is one quote. The text ends at its first zero byte.
std::vector<std::string> SplitCommaText(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> items;
    std::size_t p = 0;
    const std::size_t n = text.size();
    while (p < n && IsBlank(text[p])) ++p;
    while (p < n) {
        std::string item;
        if (text[p] == '"') {
            ++p;
            while (p < n) {
                if (text[p] == '"') {
                    if (p + 1 < n && text[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            const std::size_t start = p;
            while (p<n&& static_cast<unsigned char>(text[p])> ' ' && text[p] != ',') ++p;
            item.assign(text.substr(start, p - start));
        }
        items.push_back(std::move(item));
        while (p < n && IsBlank(text[p])) ++p;
        if (p < n && text[p] == ',') {
            if (p + 1 == n) items.emplace_back();  // a trailing comma ends with an empty item
            do {
                ++p;
            } while (p < n && IsBlank(text[p]));
        }
    }
    return items;
}

std::string JoinCommaText(const std::vector<std::string>& items) {
    if (items.size() == 1 && items[0].empty()) return "\"\"";
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string& item = items[i];
        const bool quote = std::any_of(item.begin(), item.end(), [](char c) {
            return static_cast<unsigned char>(c) <= ' ' || c == '"' || c == ',';
        });
        if (i > 0) out += ',';
        if (!quote) {
            out += item;
            continue;
        }
        out += '"';
        for (const char c : item) {
            out += c;
            if (c == '"') out += '"';
        }
        out += '"';
    }
    return out;
}

}  // namespace

std::span<const IptcRow> IptcTable() {
    return kIptc;
}

std::string MergeCommaText(std::string_view list, std::string_view added) {
    std::vector<std::string> items = SplitCommaText(list);
    for (const std::string& raw : SplitCommaText(added)) {
        const std::string item(common::Trim(raw));
        const bool held =
            std::any_of(items.begin(), items.end(), [&](const std::string& s) { return SameText(s, item); });
        if (!held) items.push_back(item);
    }
    return JoinCommaText(items);
}

int TIPTCdata::FindRecord(std::string_view name) const {
    for (std::size_t i = 0; i < records_.size(); ++i) {
        if (common::EqualsIgnoreAsciiCase(records_[i].TagName, name)) return static_cast<int>(i);
    }
    return -1;
}

void TIPTCdata::RemoveRecord(std::string_view name) {
    const int index = FindRecord(name);
    if (index >= 0) records_.erase(records_.begin() + index);
}

int TIPTCdata::SetRecord(std::string_view name, std::string_view value) {
    if (const int index = FindRecord(name); index >= 0) {
        if (!value.empty()) records_[static_cast<std::size_t>(index)].Text = std::string(value);
        return index;
    }
    const IptcRow* row = RowByName(name);
    if (row == nullptr) return -1;
    return AppendRecord(RecordFromRow(*row, std::string(value)));
}

int TIPTCdata::AddToRecord(std::string_view name, std::string_view value) {
    const int index = FindRecord(name);
    if (index < 0) return SetRecord(name, MergeCommaText({}, value));
    if (!value.empty()) {
        TTagEntry& record = records_[static_cast<std::size_t>(index)];
        record.Text = MergeCommaText(record.Text, value);
    }
    return index;
}

int TIPTCdata::SetRecordValue(std::string_view name, std::string_view value) {
    const IptcRow* row = RowByName(name);
    if (row == nullptr) return -1;
    return IsRepeatable(row->Dataset) ? AddToRecord(name, value) : SetRecord(name, value);
}

std::string TIPTCdata::RecordValue(std::string_view name, std::string_view defaultValue) const {
    const int index = FindRecord(name);
    return index < 0 ? std::string(defaultValue) : records_[static_cast<std::size_t>(index)].Text;
}

bool TIPTCdata::ReadIptcFile(const std::string& path) {
    ClearRecords();
    // A reader of its own: the shared reader would free its records, perhaps this object.
    TimgData reader(false);
    reader.ReadJpegFile(path);
    if (reader.IptcSection != 0) {
        ParseIptcBlock(reader.SectionTable[static_cast<std::size_t>(reader.IptcSection)].SegmentBytes);
    }
    return HasRecords();
}

void TIPTCdata::SetRecordCount(int count) {
    records_.resize(static_cast<std::size_t>(std::max(count, 0)));
}

TTagEntry TIPTCdata::RecordAt(int index) const {
    if (index < 0 || index >= RecordCount()) return {};
    return records_[static_cast<std::size_t>(index)];
}

int TIPTCdata::AppendRecord(const TTagEntry& record) {
    if (record.TagId != 0) records_.push_back(record);
    return RecordCount() - 1;
}

void TIPTCdata::ParseIptcBlock(std::span<const std::uint8_t> segment) {
    ClearRecords();
    static constexpr std::string_view kSignature = "Photoshop 3.0";
    const std::string_view bytes(reinterpret_cast<const char*>(segment.data()), segment.size());
    const auto signature = bytes.find(kSignature);
    std::size_t p = signature == std::string_view::npos ? 12 : signature + kSignature.size();
    // The first dataset marker of record 2 or 8.
    while (p + 1 < segment.size() && !(segment[p] == 0x1C && (segment[p + 1] == 2 || segment[p + 1] == 8))) ++p;
    if (p + 1 >= segment.size()) return;
    ++p;
    while (p <= segment.size() && segment.size() - p >= 4) {
        const int record = segment[p];
        const int dataset = segment[p + 1];
        const std::size_t length = (std::size_t{segment[p + 2]} << 8) | segment[p + 3];
        const std::size_t start = p + 4;
        const std::size_t take = std::min(length, segment.size() - start);
        std::string text(bytes.substr(start, take));
        // The byte after the value is the next dataset's marker; it is passed over unread.
        p = start + take + 1;
        if (record != 2 && record != 8) continue;
        TTagEntry entry;
        if (const IptcRow* row = RowByNumber(record, dataset)) {
            if (row->Record == 2 && row->Dataset == 0) continue;  // the record version is not a record
            entry = RecordFromRow(*row, std::move(text));
        } else {
            entry.TagId = static_cast<std::uint16_t>(dataset);
            entry.SubCode = static_cast<std::uint16_t>(record);
            entry.TagName = "Custom_" + std::to_string(dataset);
            entry.Description = entry.TagName;
            entry.ByteLength = kCustomMaxLength;
            entry.Text = std::move(text);
        }
        if (IsRepeatable(dataset)) {
            AddToRecord(entry.TagName, entry.Text);
        } else {
            AppendRecord(entry);
        }
    }
}

}  // namespace quorvela::metadata
