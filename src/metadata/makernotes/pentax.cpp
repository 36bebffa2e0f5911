#include <algorithm>
#include <string_view>
#include <vector>

#include "common/ascii.h"
#include "metadata/image_info.h"
#include "metadata/makernotes/tables.h"

namespace quorvela::metadata {
namespace {

// Codes of the ISO field: 1/3 EV steps from 3, the Optio 330/430's own numbers, 1/2 EV steps
// from 258. 65534 and 65535 (Auto) name no number.
constexpr std::string_view kIsoCodes =
    "3:50,4:64,5:80,6:100,7:125,8:160,9:200,10:250,11:320,12:400,13:500,14:640,15:800,16:1000,17:1250,18:1600,"
    "19:2000,20:2500,21:3200,22:4000,23:5000,24:6400,25:8000,26:10000,27:12800,28:16000,29:20000,30:25600,"
    "31:32000,32:40000,33:51200,34:64000,35:80000,36:102400,37:128000,38:160000,39:204800,40:256000,41:320000,"
    "42:409600,43:512000,44:640000,45:819200,50:50,100:100,200:200,400:400,800:800,1600:1600,3200:3200,258:50,"
    "259:70,260:100,261:140,262:200,263:280,264:400,265:560,266:800,267:1100,268:1600,269:2200,270:3200,"
    "271:4500,272:6400,273:9000,274:12800,275:18000,276:25600,277:36000,278:51200,279:72000,280:102400,"
    "281:144000,282:204800,283:288000,284:409600,285:576000,286:819200,65534:Auto 2,65535:Auto";

// The Optio 330 and 430 (make "Asahi"), whose note is laid out like Casio's.
constexpr std::string_view kOptioIsoCodes =
    "10:100,16:200,50:50,100:100,200:200,400:400,800:800,1600:1600,3200:3200,65534:Auto 2,65535:Auto";

// clang-format off
constexpr TagRow kPentax[] = {
    {0x0014, "ISO", "ISO Speed", kIsoCodes},
};

constexpr TagRow kOptio[] = {
    {0x0014, "ISO", "ISO Speed", kOptioIsoCodes},
};
// clang-format on

bool BeginsWith(const Bytes& bytes, std::string_view prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

std::optional<std::int64_t> PentaxIso(const NoteReading& note) {
    const std::vector<std::int64_t> code = NoteNumbers(note, 0x0014);
    return code.empty() ? std::nullopt : CodeNumber(kIsoCodes, code[0]);
}

std::optional<std::int64_t> OptioIso(const NoteReading& note) {
    const std::vector<std::int64_t> code = NoteNumbers(note, 0x0014);
    return code.empty() ? std::nullopt : CodeNumber(kOptioIsoCodes, code[0]);
}

// The layout of a note whose directory starts at `directoryByte`, in the byte order its two
// letters at `orderByte` name ("MM" or "II"; the file's otherwise).
MakerNoteLayout OrderedLayout(const Bytes& note, std::int64_t directoryByte, bool fromTiffHeader,
                              std::size_t orderByte) {
    MakerNoteLayout layout{kPentax, directoryByte, fromTiffHeader, 0, false, false, PentaxIso};
    if (note.size() >= orderByte + 2) {
        const std::string_view order(reinterpret_cast<const char*>(note.data()) + orderByte, 2);
        layout.BigEndian = order == "MM";
        layout.LittleEndian = order == "II";
    }
    return layout;
}

}  // namespace

std::span<const TagRow> PentaxRows() {
    return kPentax;
}
std::span<const TagRow> OptioRows() {
    return kOptio;
}

std::optional<MakerNoteLayout> PentaxLayout(const TImageInfo& directory) {
    const Bytes& note = directory.MakerNoteBytes;
    // "AOC\0" and the byte order, the directory after them; offsets count from the TIFF header.
    // The Optio 330RS and 430RS write Casio's layout behind the same letters.
    if (BeginsWith(note, std::string_view("AOC\0", 4))) {
        const std::string& model = directory.ModelText;
        if (model.rfind("PENTAX Optio 330RS", 0) == 0 || model.rfind("PENTAX Optio 430RS", 0) == 0 ||
            model.rfind("PENTAX Optio330RS", 0) == 0 || model.rfind("PENTAX Optio430RS", 0) == 0) {
            return MakerNoteLayout{CasioType2Rows(), 6, true, 0, false, false, CasioType2Iso};
        }
        return OrderedLayout(note, 6, true, 4);
    }
    // "PENTAX \0" and the byte order; offsets count from the note's first byte.
    if (BeginsWith(note, std::string_view("PENTAX \0", 8))) return OrderedLayout(note, 10, false, 8);
    // The Optio 330 and 430: a directory from the first byte.
    if (common::UpperAscii(directory.MakeText.substr(0, 5)) == "ASAHI") {
        return MakerNoteLayout{kOptio, 0, true, 0, false, false, OptioIso};
    }
    return std::nullopt;
}

}  // namespace quorvela::metadata
