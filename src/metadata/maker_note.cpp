#include "maker_note.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "common/ascii.h"
#include "common/number_format.h"
#include "image_info.h"
#include "makernotes/tables.h"
#include "value_render.h"

namespace quorvela::metadata {
namespace {

// Value bytes copied per note. A crafted note can point thousands of entries at one large
// value; past this budget values are clipped so one file cannot cost gigabytes.
constexpr std::int64_t kValueBudget = std::int64_t{4} * 1024 * 1024;
constexpr std::int64_t kClippedValue = 64;

bool BeginsWith(const Bytes& bytes, std::string_view prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

MakerNoteLayout FromTiffHeader(std::span<const TagRow> table, std::int64_t directoryByte, NoteIsoReader iso = nullptr) {
    return {table, directoryByte, true, 0, false, false, iso};
}

// The first letter of the model's second word, or its first letter when it has one word.
char ModelSeriesLetter(const std::string& model) {
    const auto space = model.find(' ');
    const std::size_t at = space == std::string::npos ? 0 : space + 1;
    return at < model.size() ? model[at] : '\0';
}

const TagRow* FindRow(std::span<const TagRow> table, std::uint16_t tag) {
    const auto row = std::find_if(table.begin(), table.end(), [tag](const TagRow& r) { return r.TagId == tag; });
    return row == table.end() ? nullptr : &*row;
}

std::string Quoted(const Bytes& bytes) {
    return '"' + std::string(bytes.begin(), bytes.end()) + '"';
}

// The value text of one entry, before any renderer.
std::string ValueText(const Bytes& value, int type, const TagRow* row, bool bigEndian, char decimalSeparator) {
    if (type == 2) {
        const auto zero = std::find(value.begin(), value.end(), std::uint8_t{0});
        return '"' + std::string(value.begin(), zero) + '"';
    }
    if (type == 7) return Quoted(value);
    try {
        return RenderValue(value, type, row != nullptr ? row->CodeList : std::string_view(),
                           row != nullptr ? row->Pattern : std::string_view(), bigEndian, decimalSeparator);
    } catch (const std::exception& error) {
        if (!IsFileFault(error)) throw;
        return Quoted(value);
    }
}

// Where an entry's value lies: inside the note when it fits there, else at the same place of
// the whole EXIF block, and how many of its bytes are copied.
struct ValuePlace {
    std::int64_t Position = 0;       // 1-based in the note
    std::int64_t BlockPosition = 0;  // 1-based in the EXIF block
    std::int64_t Take = 0;
    bool InNote = false;
};

// Throws ReadFailure when the whole value lies in neither: a note whose entry claims more
// bytes than the data holds is broken from there on. Charges the copied bytes to `budget`.
ValuePlace PlaceEntryValue(const TImageInfo& directory, const MakerNoteBlock& note, std::int64_t entry,
                           std::int64_t size, std::int64_t offsetBase, std::int64_t& budget) {
    ValuePlace place;
    place.Position = entry + 8;  // a value of four bytes or less sits in the entry itself
    if (size > 4) place.Position = std::int64_t{note.ReadI32(entry + 8)} + offsetBase;
    place.BlockPosition = place.Position + note.Position - 1;
    place.InNote = note.Contains(place.Position, size);
    if (!place.InNote && !directory.Contains(place.BlockPosition, size)) {
        throw ReadFailure("maker-note value outside the EXIF data");
    }
    place.Take = (size > kClippedValue && size > budget) ? kClippedValue : size;
    budget -= place.Take;
    return place;
}

Bytes ValueBytes(const TImageInfo& directory, const MakerNoteBlock& note, const ValuePlace& place) {
    return place.InNote ? note.SliceClipped(place.Position, place.Take)
                        : directory.SliceClipped(place.BlockPosition, place.Take);
}

// Calls visit(row, tag, type, place) for every entry whose value a decode reads, in the note's
// order; `row` is null for a tag outside the table. A failed read throws out of the walk.
template <typename Visit>
void VisitNoteEntries(const TImageInfo& directory, const MakerNoteBlock& note, std::span<const TagRow> table,
                      std::int64_t position, std::int64_t offsetBase, Visit&& visit) {
    std::int64_t budget = kValueBudget;
    const std::int64_t count = note.ReadU16(position);
    for (std::int64_t i = 0; i < count; ++i) {
        const std::int64_t entry = position + 2 + 12 * i;
        const std::uint16_t tag = note.ReadU16(entry);
        const int type = note.ReadU16(entry + 2);
        const std::int64_t size = std::max<std::int64_t>(0, std::int64_t{TypeSize(type)} * note.ReadI32(entry + 4));
        const TagRow* row = FindRow(table, tag);
        // Skipped tags and a reader that keeps no tags need no value: its bytes are not read.
        if (row != nullptr && common::EqualsIgnoreAsciiCase(row->Description, "Skip")) continue;
        if (!directory.CollectTags) continue;
        visit(row, type, PlaceEntryValue(directory, note, entry, size, offsetBase, budget));
    }
}

// A table entry as a Group 1 entry, without its text.
TTagEntry NoteItem(const TagRow& row, int type, Bytes value, std::int64_t blockPosition) {
    TTagEntry item;
    item.Group = 1;
    item.TagId = row.TagId;
    item.TagName = TagText::Static(row.TagName);
    item.Description = TagText::Static(row.Description);
    item.CodeList = TagText::Static(row.CodeList);
    item.Pattern = TagText::Static(row.Pattern);
    item.Renderer = row.Renderer;
    item.ValueType = static_cast<std::uint16_t>(type);
    item.ByteLength = static_cast<std::int32_t>(value.size());
    item.RawPosition = static_cast<std::int32_t>(blockPosition);
    item.RawBytes = std::move(value);
    return item;
}

// The display text of one entry. A failing renderer fails only its own entry, which shows its
// plain value text; the items it added before failing go with it.
std::string DisplayText(TImageInfo& directory, const TagRow* row, const std::string& valueText,
                        RenderContext& context) {
    if (row == nullptr || row->Renderer == nullptr) return MakePrintable(valueText);
    const std::size_t itemsBefore = directory.Tags.size();
    try {
        return row->Renderer(valueText, context);
    } catch (const std::exception& error) {
        if (!IsFileFault(error)) throw;
        directory.Tags.resize(itemsBefore);
        context.MultiLineResult = false;
        return MakePrintable(valueText);
    }
}

// The value bytes and type of the first entry of `tag` in the note's directory; none when the
// directory holds no such entry or the value lies outside the data.
Bytes FindNoteValue(const NoteReading& note, std::uint16_t tag, int& type) {
    const MakerNoteBlock& block = note.Note;
    try {
        const std::int64_t count = block.ReadU16(note.DirectoryPosition);
        for (std::int64_t i = 0; i < count; ++i) {
            const std::int64_t entry = note.DirectoryPosition + 2 + 12 * i;
            if (block.ReadU16(entry) != tag) continue;
            type = block.ReadU16(entry + 2);
            const std::int64_t size =
                std::max<std::int64_t>(0, std::int64_t{TypeSize(type)} * block.ReadI32(entry + 4));
            std::int64_t budget = kValueBudget;
            return ValueBytes(note.Directory, block,
                              PlaceEntryValue(note.Directory, block, entry, size, note.OffsetBase, budget));
        }
    } catch (const std::exception& error) {
        if (!IsFileFault(error)) throw;
        // The directory ends inside the note, or the value lies outside the data.
    }
    type = 0;
    return {};
}

}  // namespace

std::optional<MakerNoteLayout> ChooseMakerNoteLayout(const TImageInfo& directory, bool tiffSource) {
    const std::string make = common::UpperAscii(directory.MakeText.substr(0, 5));
    const Bytes& note = directory.MakerNoteBytes;
    if (make == "NIKON") {
        // A note's own header names its layout whatever the ExifVersion says: a D300s writes
        // 0210 with "Nikon\0\2", and editors rewrite the version of an E950's "Nikon\0\1" note.
        // An embedded TIFF header follows "Nikon", the version 2 and two zero bytes.
        if (BeginsWith(note, std::string_view("Nikon\0\1", 7)))
            return FromTiffHeader(NikonType1Rows(), 8, NikonType1Iso);
        const bool embeddedTiff = BeginsWith(note, std::string_view("Nikon\0\2", 7));
        const bool newer =
            directory.VersionText > "0210" ||
            (directory.VersionText.empty() && ModelSeriesLetter(directory.ModelText) == 'D' && tiffSource);
        if (newer || embeddedTiff) return MakerNoteLayout{NikonType2Rows(), 18, false, 10, false, false, NikonType2Iso};
        if (BeginsWith(note, "Nikon")) return FromTiffHeader(NikonType1Rows(), 8, NikonType1Iso);
        return FromTiffHeader(NikonType2Rows(), 0, NikonType2Iso);
    }
    if (make == "CASIO") {
        if (BeginsWith(note, "QVC")) return FromTiffHeader(CasioType2Rows(), 6, CasioType2Iso);
        return FromTiffHeader(CasioType1Rows(), 0, CasioType1Iso);
    }
    // "FUJIFILM" and a 32-bit directory offset; the note is little-endian in every file.
    if (make == "FUJIF") return MakerNoteLayout{FujiRows(), 12, false, 0, true};
    if (make == "CANON") return FromTiffHeader(CanonRows(), 0, CanonIso);
    if (make == "SEIKO") return FromTiffHeader(EpsonRows(), 8);
    if (make == "SANYO") return FromTiffHeader(SanyoRows(), 8);
    if (make == "MINOL") return FromTiffHeader(MinoltaRows(), 0, MinoltaIso);
    if (make == "EASTM" || make == "KODAK") return KodakLayout(directory);
    // Pentax's note whatever the make: Samsung and Ricoh write it too. Olympus and every other
    // make stay undecoded.
    return PentaxLayout(directory);
}

namespace {

// The note's bytes lent to a MakerNoteBlock for one walk, not copied: they go back to the
// directory afterwards.
class LentNote {
  public:
    LentNote(TImageInfo& directory, const MakerNoteLayout& layout) : directory_(directory) {
        Note.Block.swap(directory.MakerNoteBytes);
        Note.BigEndian = layout.LittleEndian ? false : layout.BigEndian || directory.BigEndian;
        Note.Position = directory.MakerNotePosition;
        // A TIFF offset o is found at o + MakerNoteTiffBase: 9 in a JPEG's EXIF block.
        OffsetBase =
            layout.OffsetsFromTiffHeader ? directory.MakerNoteTiffBase - Note.Position + 1 : layout.OffsetByte + 1;
        DirectoryPosition = layout.DirectoryByte + 1;
    }
    LentNote(const LentNote&) = delete;
    LentNote& operator=(const LentNote&) = delete;
    ~LentNote() { Note.Block.swap(directory_.MakerNoteBytes); }

    MakerNoteBlock Note;
    std::int64_t OffsetBase = 0;
    std::int64_t DirectoryPosition = 0;

  private:
    TImageInfo& directory_;
};

}  // namespace

bool TmsInfo::ReadMakerNote() {
    const auto layout = ChooseMakerNoteLayout(directory_, tiffSource_);
    if (!layout) return false;
    const LentNote lent(directory_, *layout);
    if (!layout->Table.empty()) {
        WalkMakerNoteDirectory(directory_, lent.Note, layout->Table, lent.DirectoryPosition, lent.OffsetBase);
    }
    directory_.MakerNoteIso.reset();
    if (layout->Iso != nullptr) {
        try {
            directory_.MakerNoteIso =
                layout->Iso(NoteReading{directory_, lent.Note, lent.DirectoryPosition, lent.OffsetBase});
        } catch (const std::exception& error) {
            if (!IsFileFault(error)) throw;
            // A field outside the note: the note keeps no ISO that can be read.
        }
    }
    // A note of fixed fields lists the one field it is read for.
    if (layout->Table.empty() && directory_.MakerNoteIso) {
        AddMakerNoteItem(directory_, "ISO Speed", std::to_string(*directory_.MakerNoteIso));
    }
    return true;
}

std::vector<TTagEntry> TmsInfo::FindEntries(std::span<const std::string_view> names) {
    std::vector<TTagEntry> found;
    const auto layout = ChooseMakerNoteLayout(directory_, tiffSource_);
    if (!layout || layout->Table.empty()) return found;
    const LentNote lent(directory_, *layout);
    const auto visit = [&](const TagRow* row, int type, const ValuePlace& place) {
        if (row == nullptr || std::find(names.begin(), names.end(), row->TagName) == names.end()) return;
        found.push_back(NoteItem(*row, type, ValueBytes(directory_, lent.Note, place), place.BlockPosition));
    };
    try {
        VisitNoteEntries(directory_, lent.Note, layout->Table, lent.DirectoryPosition, lent.OffsetBase, visit);
    } catch (const std::exception& error) {
        if (!IsFileFault(error)) throw;
        // The decode ends at the same read: the entries before it are all it lists.
    }
    return found;
}

void WalkMakerNoteDirectory(TImageInfo& directory, const MakerNoteBlock& note, std::span<const TagRow> table,
                            std::int64_t position, std::int64_t offsetBase) {
    const auto visit = [&](const TagRow* row, int type, const ValuePlace& place) {
        Bytes value = ValueBytes(directory, note, place);
        const std::string valueText = ValueText(value, type, row, note.BigEndian, directory.DecimalSeparator);
        RenderContext context{directory.DecimalSeparator, &directory, false};
        const std::string display = DisplayText(directory, row, valueText, context);
        if (row == nullptr) return;  // rendered, but only tags of the table are listed
        TTagEntry item = NoteItem(*row, type, std::move(value), place.BlockPosition);
        item.Text = context.MultiLineResult ? valueText : display;
        directory.AppendTag(std::move(item));
    };
    try {
        VisitNoteEntries(directory, note, table, position, offsetBase, visit);
    } catch (const std::exception& error) {
        if (!IsFileFault(error)) throw;
        directory.SetStatus(std::string("Error Detected = ") + error.what());
    }
}

std::vector<std::int64_t> NoteNumbers(const NoteReading& note, std::uint16_t tag) {
    std::vector<std::int64_t> numbers;
    int type = 0;
    const Bytes value = FindNoteValue(note, tag, type);
    const bool isSigned = type == 6 || type == 8 || type == 9;
    const std::size_t width = type == 3 || type == 8 ? 2 : type == 4 || type == 9 ? 4 : 1;
    if (type != 1 && type != 3 && type != 4 && type != 6 && type != 7 && type != 8 && type != 9) return numbers;
    const bool bigEndian = note.Note.BigEndian;
    for (std::size_t at = 0; at + width <= value.size(); at += width) {
        const std::uint8_t* p = value.data() + at;
        const std::uint32_t raw = width == 1 ? *p : width == 2 ? LoadU16(p, bigEndian) : LoadU32(p, bigEndian);
        if (!isSigned) {
            numbers.push_back(raw);
        } else if (width == 1) {
            numbers.push_back(static_cast<std::int8_t>(raw));
        } else if (width == 2) {
            numbers.push_back(static_cast<std::int16_t>(raw));
        } else {
            numbers.push_back(static_cast<std::int32_t>(raw));
        }
    }
    return numbers;
}

std::optional<std::int64_t> CodeNumber(std::string_view codeList, std::int64_t code) {
    std::string digits;
    for (const char c : LookupCodeText(codeList, code)) {
        if (c >= '0' && c <= '9') digits += c;
    }
    return common::ParseInteger(digits);
}

std::optional<std::int64_t> RoundedIso(double iso) {
    if (!std::isfinite(iso)) return std::nullopt;
    const auto rounded = common::RoundHalfEven(iso);
    if (!rounded || *rounded <= 0 || *rounded > INT32_MAX) return std::nullopt;
    return rounded;
}

bool MakerNoteMayName(std::string_view name) {
    // Asked for a dozen names of every photo: hashed, and the name upper-cased on the stack.
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    static const std::unordered_set<std::string, Hash, std::equal_to<>> kNames = [] {
        std::unordered_set<std::string, Hash, std::equal_to<>> names;
        for (const auto& table : {NikonType1Rows(), NikonType2Rows(), CasioType1Rows(), CasioType2Rows(), FujiRows(),
                                  CanonRows(), EpsonRows(), SanyoRows(), MinoltaRows(), PentaxRows(), OptioRows()}) {
            for (const TagRow& row : table) names.insert(common::UpperAscii(row.TagName));
        }
        for (const auto& items : {CanonCameraSettingsItems(), CanonShotInfoItems()}) {
            for (const CanonItemRow& item : items) names.insert(common::UpperAscii(item.Label));
        }
        for (const CanonFunctionRow& row : CanonCustomFunctionRows()) names.insert(common::UpperAscii(row.Label));
        names.insert("ISO SPEED");  // the one item of a note of fixed fields
        return names;
    }();
    std::array<char, 64> upper{};
    if (name.size() > upper.size()) return kNames.find(common::UpperAscii(name)) != kNames.end();
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        upper[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return kNames.find(std::string_view(upper.data(), name.size())) != kNames.end();
}

void AddMakerNoteItem(TImageInfo& directory, std::string_view label, std::string_view text) {
    if (!directory.CollectTags) return;
    TTagEntry item;
    item.Group = 1;
    item.TagId = kMakerNoteItemTagId;
    item.TagName = std::string(label);
    item.Description = std::string(label);
    item.Text = std::string(text);
    item.RawBytes.assign(text.begin(), text.end());
    item.ByteLength = static_cast<std::int32_t>(text.size());
    item.RawPosition = 0;
    item.ValueType = 2;
    directory.AppendTag(std::move(item));
}

}  // namespace quorvela::metadata
