#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tag_entry.h"

namespace quorvela::metadata {

// One known IPTC dataset: record and dataset number, names and the longest value it allows.
struct IptcRow {
    std::uint8_t Record;
    std::uint8_t Dataset;
    std::string_view TagName;
    std::string_view Description;
    std::int32_t MaxLength;
};

std::span<const IptcRow> IptcTable();

// The IPTC records of a file's first APP13 segment. A record is a TTagEntry: TagId the
// dataset number, SubCode the record number, Text the value bytes (Windows-1252), and
// ByteLength the dataset's longest allowed value.
class TIPTCdata {
  public:
    TIPTCdata() = default;
    // Decodes the records of an APP13 segment (its two length bytes and payload).
    explicit TIPTCdata(std::span<const std::uint8_t> segment) { ParseIptcBlock(segment); }

    // Index of the first record of that name (ignoring case), or -1.
    [[nodiscard]] int FindRecord(std::string_view name) const;
    // Removes the first record of that name, if any.
    void RemoveRecord(std::string_view name);
    // Sets the text of the record of that name (an empty value keeps it), or appends a new
    // record for a name of the table; the record's index, or -1 for an unknown name.
    int SetRecord(std::string_view name, std::string_view value);
    // Merges the value into the record's comma list (making the record when missing).
    int AddToRecord(std::string_view name, std::string_view value);
    // AddToRecord for the repeatable datasets (keywords, supplemental categories),
    // SetRecord for the others; -1 for a name outside the table.
    int SetRecordValue(std::string_view name, std::string_view value);
    [[nodiscard]] std::string RecordValue(std::string_view name, std::string_view defaultValue) const;
    // Reads the file's first APP13 segment; true when any record was stored.
    bool ReadIptcFile(const std::string& path);

    [[nodiscard]] int RecordCount() const { return static_cast<int>(records_.size()); }
    void SetRecordCount(int count);
    [[nodiscard]] TTagEntry RecordAt(int index) const;
    // Appends unless the TagId is 0; the index of the last record.
    int AppendRecord(const TTagEntry& record);
    void ClearRecords() { records_.clear(); }
    [[nodiscard]] bool HasRecords() const { return !records_.empty(); }
    [[nodiscard]] std::span<const TTagEntry> Records() const { return records_; }

    void ParseIptcBlock(std::span<const std::uint8_t> segment);

  private:
    std::vector<TTagEntry> records_;
};

// The comma-text merge of the repeatable datasets: each item of `added`, trimmed, joins
// `list` unless it holds it already (ignoring case). Items are split at commas and blanks
// unless quoted; the result quotes items holding blanks, controls, commas or quotes.
std::string MergeCommaText(std::string_view list, std::string_view added);

}  // namespace quorvela::metadata
