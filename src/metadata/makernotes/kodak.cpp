#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "metadata/image_info.h"
#include "metadata/makernotes/tables.h"

namespace quorvela::metadata {
namespace {

// Kodak's notes come in a dozen kinds, most of them fixed fields rather than a directory.
// Only the ISO is read: the kinds that keep one, told by their first bytes as the cameras
// write them, are read; a kind that keeps none is left undecoded.

bool HasAt(const Bytes& bytes, std::size_t at, std::string_view text) {
    return bytes.size() >= at + text.size() && std::equal(text.begin(), text.end(), bytes.begin() + at);
}

bool BeginsWith(const Bytes& bytes, std::string_view prefix) {
    return HasAt(bytes, 0, prefix);
}

bool ByteIn(const Bytes& bytes, std::size_t at, std::uint8_t low, std::uint8_t high) {
    return at < bytes.size() && bytes[at] >= low && bytes[at] <= high;
}

std::optional<std::int64_t> FieldIso(const NoteReading& note) {
    const std::int64_t iso = note.Note.ReadU16(note.DirectoryPosition);
    return iso > 0 ? std::optional<std::int64_t>(iso) : std::nullopt;
}

// The directory kind keeps the ISO as 25 x 2^(v/3).
std::optional<std::int64_t> DirectoryIso(const NoteReading& note) {
    const std::vector<std::int64_t> steps = NoteNumbers(note, 0x0014);
    if (steps.empty()) return std::nullopt;
    return RoundedIso(25.0 * std::exp2(static_cast<double>(steps[0]) / 3.0));
}

// A note of fixed fields whose 16-bit ISO lies at `isoByte`.
MakerNoteLayout Fields(std::int64_t isoByte, bool bigEndian) {
    return {{}, isoByte, true, 0, !bigEndian, bigEndian, FieldIso};
}

// Kodak's maker and model text at byte 8, or a short header and a four-letter name: the
// kind that keeps no ISO.
bool IsNameBlock(const Bytes& note) {
    if (HasAt(note, 8, "Eastman Kodak")) return true;
    if (!HasAt(note, 0, std::string_view("\x01\0", 2)) || !ByteIn(note, 2, 0, 1) ||
        !HasAt(note, 3, std::string_view("\0\0\0\x04\0", 5))) {
        return false;
    }
    for (std::size_t at = 8; at < 12; ++at) {
        if (!ByteIn(note, at, 'A', 'Z') && !ByteIn(note, at, 'a', 'z')) return false;
    }
    return true;
}

// "IIII", a version byte, and a date "yyyy/mm/dd " at byte 20.
bool IsDatedBlock(const Bytes& note) {
    if (!BeginsWith(note, "IIII") || !ByteIn(note, 4, 2, 3) || !ByteIn(note, 5, 0, 0)) return false;
    for (const std::size_t at : {20, 21, 22, 23, 25, 26, 28, 29}) {
        if (!ByteIn(note, at, '0', '9')) return false;
    }
    return ByteIn(note, 24, '/', '/') && ByteIn(note, 27, '/', '/') && ByteIn(note, 30, ' ', ' ');
}

// The layouts of the kinds written by cameras whose make is "EASTMAN KODAK COMPANY".
std::optional<MakerNoteLayout> EastmanLayout(const Bytes& note, const std::string& model) {
    if (BeginsWith(note, "KDK INFO")) return Fields(8 + 0x60, true);
    if (BeginsWith(note, "KDK")) return Fields(8 + 0x60, false);
    if (IsNameBlock(note)) return std::nullopt;
    const bool tiffLike = BeginsWith(note, "MM") || BeginsWith(note, "II") || BeginsWith(note, "AOC");
    if (!tiffLike && ByteIn(note, 12, 0x07, 0x07)) return Fields(0x4E, true);
    const bool cxHeader = ByteIn(note, 0, 0, 0) && ByteIn(note, 3, 0, 0) && note.size() > 2 &&
                          ((note[1] == 0x1A && note[2] == 0x18) || (note[1] == 0x3A && note[2] == 0x08) ||
                           (note[1] == 0x59 && note[2] == 0xF8) || (note[1] == 0x14 && note[2] == 0x80));
    bool cxModel = false;
    for (const std::string_view cx : {"CX4200", "CX4230", "CX4300", "CX4310", "CX6200", "CX6230"}) {
        cxModel = cxModel || model.find(cx) != std::string::npos;
    }
    if (cxModel || cxHeader) return Fields(0x1E, true);
    if (model.find("DX3215") != std::string::npos) return Fields(0x1A, true);
    if (model.find("DX3700") != std::string::npos) return Fields(0x1A, false);
    return std::nullopt;
}

}  // namespace

std::optional<MakerNoteLayout> KodakLayout(const TImageInfo& directory) {
    const Bytes& note = directory.MakerNoteBytes;
    if (directory.MakeText.rfind("EASTMAN KODAK", 0) == 0) {
        if (auto layout = EastmanLayout(note, directory.ModelText)) return layout;
    }
    if (IsDatedBlock(note)) return Fields(0x34, false);
    // A directory behind a whole TIFF header keeps no ISO; one behind the byte order alone does.
    if (BeginsWith(note, std::string_view("MM\0\x2a", 4)) || BeginsWith(note, std::string_view("II\x2a\0", 4))) {
        return std::nullopt;
    }
    const bool bigEndian = BeginsWith(note, std::string_view("MM\0", 3)) && ByteIn(note, 3, 0x02, 0x7F);
    const bool littleEndian = BeginsWith(note, "II") && ByteIn(note, 2, 0x02, 0x7F) && ByteIn(note, 3, 0, 0);
    if (!bigEndian && !littleEndian) return std::nullopt;
    return MakerNoteLayout{{}, 2, true, 0, littleEndian, bigEndian, DirectoryIso};
}

}  // namespace quorvela::metadata
