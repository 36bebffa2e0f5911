#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "end_ind.h"
#include "tag_entry.h"

namespace quorvela::metadata {

class TImageInfo;

// Decodes the maker note that the directory reader stored on `directory`
// (MakerNoteBytes, MakerNotePosition), adding its entries with Group 1.
class TmsInfo {
  public:
    TmsInfo(TImageInfo& directory, bool tiffSource) : directory_(directory), tiffSource_(tiffSource) {}
    // True when the make was recognised and its note walked.
    bool ReadMakerNote();
    // The entries ReadMakerNote would add from table rows named one of `names` (exactly), in
    // its order, with their type and value bytes but no text: one entry looked up without
    // rendering the note. Adds nothing to the directory.
    std::vector<TTagEntry> FindEntries(std::span<const std::string_view> names);

  private:
    TImageInfo& directory_;
    bool tiffSource_;
};

struct NoteReading;

// The ISO a note keeps, rounded; none when it keeps none or its bytes cannot say.
using NoteIsoReader = std::optional<std::int64_t> (*)(const NoteReading& note);

// How one make lays out its note: the table, where the directory starts (a 0-based byte
// of the note) and where the offsets it stores are counted from. A note without a table is
// one of fixed fields, not walked as a directory: `Iso` reads it, from DirectoryByte on.
struct MakerNoteLayout {
    std::span<const TagRow> Table;
    std::int64_t DirectoryByte = 0;
    bool OffsetsFromTiffHeader = true;
    std::int64_t OffsetByte = 0;  // the note byte offsets count from, when not the TIFF header
    bool LittleEndian = false;    // read little-endian whatever the file's byte order
    bool BigEndian = false;       // read big-endian whatever the file's byte order
    NoteIsoReader Iso = nullptr;  // none for a make whose note keeps no ISO
};

// The layout for the make, version and model of `directory` and the bytes of its note;
// none for makes that are not decoded.
std::optional<MakerNoteLayout> ChooseMakerNoteLayout(const TImageInfo& directory, bool tiffSource);

// The bytes of one maker note in the byte order they are read with, and the 1-based
// position of their first byte in the EXIF block.
struct MakerNoteBlock : tEndInd {
    std::int64_t Position = 1;
};

// One note as an ISO reader sees it: its bytes, where its directory (or first fixed field)
// lies and where its stored offsets count from, as WalkMakerNoteDirectory takes them.
struct NoteReading {
    const TImageInfo& Directory;
    const MakerNoteBlock& Note;
    std::int64_t DirectoryPosition = 1;
    std::int64_t OffsetBase = 0;
};

// The values of `tag` in the note's directory as numbers in the note's byte order: BYTE,
// SHORT and LONG unsigned, SBYTE, SSHORT and SLONG signed, UNDEFINED by byte. Empty when the
// tag is absent, of another type, or its value lies outside the data.
std::vector<std::int64_t> NoteNumbers(const NoteReading& note, std::uint16_t tag);

// The number a code list gives `code` ("3:50,4:64" gives 4 the number 64, "0:ISO80" gives 0
// the number 80); none when the code is not listed or its text holds no digits.
std::optional<std::int64_t> CodeNumber(std::string_view codeList, std::int64_t code);

// An ISO computed from a camera's exposure steps, rounded to a whole number; none unless it is
// a positive number within 32 bits.
std::optional<std::int64_t> RoundedIso(double iso);

// Decodes one maker-note directory starting at 1-based `position` of the note. A stored
// offset o is found at note position o + `offsetBase`; a value outside the note is read
// from the EXIF block at the same place. A failed read ends the walk with a status text;
// entries added before it stay.
void WalkMakerNoteDirectory(TImageInfo& directory, const MakerNoteBlock& note, std::span<const TagRow> table,
                            std::int64_t position, std::int64_t offsetBase);

// Adds an item that a renderer decoded (label and text) as a Group 1 entry, when the
// directory collects tags.
void AddMakerNoteItem(TImageInfo& directory, std::string_view label, std::string_view text);

// Whether a decoded maker note may hold an entry named `name` (any case): a table's tag or
// a renderer's item.
bool MakerNoteMayName(std::string_view name);

// The TagId that renderer items carry: any non-zero number serves, none reads it.
inline constexpr std::uint16_t kMakerNoteItemTagId = 0xFFFF;

}  // namespace quorvela::metadata
