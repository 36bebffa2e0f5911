#pragma once

#include <span>
#include <string>
#include <string_view>

#include "tag_entry.h"

namespace quorvela::metadata {

// Which dictionary a directory walk uses.
enum class TableKind { Main = 1, Gps = 2 };

// The main dictionary (250 TIFF/EXIF/interoperability rows) with every missing description
// completed by SpaceOutName. The last row is the sentinel "Unknown" (TagId 0). Built once,
// thread-safely, together with the 31 rows of the GPS dictionary.
std::span<const TTagEntry> MainTagTable();

// The 31 rows of the GPS dictionary, completed as the main one's.
std::span<const TTagEntry> GpsTagTable();

// The first row of the table with this tag number, or the sentinel row.
const TTagEntry& FindTableRow(std::uint16_t tag, TableKind kind);

// The main-table row whose name equals `name` ignoring ASCII case; the sentinel when none.
const TTagEntry& FindMainRowByName(std::string_view name);

// "FocalLength" -> "Focal Length": a space before each capital that follows a non-capital.
std::string SpaceOutName(std::string_view name);

}  // namespace quorvela::metadata
