#pragma once

#include <span>
#include <string>
#include <string_view>

#include "tag_entry.h"

namespace quorvela::metadata {

// Which dictionary a directory walk uses.
enum class TableKind { Main = 1, Gps = 2 };

// The two dictionaries as stored: 250 TIFF/EXIF/interoperability rows and 31 GPS rows.
std::span<const TagRow> MainTagRows();
std::span<const TagRow> GpsTagRows();

// The dictionaries with every missing description completed by SpaceOutName. The last
// row of the main table is the sentinel "Unknown" (TagId 0). Built once, thread-safely.
std::span<const TTagEntry> MainTagTable();
std::span<const TTagEntry> GpsTagTable();

// The first row of the table with this tag number, or the sentinel row.
const TTagEntry& FindTableRow(std::uint16_t tag, TableKind kind);

// The main-table row whose name equals `name` ignoring ASCII case; the sentinel when none.
const TTagEntry& FindMainRowByName(std::string_view name);

// "FocalLength" -> "Focal Length": a space before each capital that follows a non-capital.
std::string SpaceOutName(std::string_view name);

}  // namespace quorvela::metadata
