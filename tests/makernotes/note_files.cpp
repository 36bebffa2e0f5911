#include "note_files.h"

#include <algorithm>
#include <stdexcept>

namespace quorvela::testing {
namespace {

// A stand-in of the note's size that cannot be mistaken for other bytes of the block.
Bytes Placeholder(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 37 + 0xA5) ^ (i >> 8));
    return bytes;
}

Tiff Layout(const NoteCamera& camera, const Bytes& note, const std::function<void(Ifd&)>& more) {
    Tiff tiff(camera.bigEndian);
    tiff.ifd0.Ascii(0x010F, camera.make).Ascii(0x0110, camera.model);
    if (!camera.version.empty()) tiff.ifd0.Undefined(0x9000, camera.version);
    tiff.ifd0.Raw(0x927C, 7, static_cast<std::uint32_t>(note.size()), note);
    if (more) more(tiff.ifd0);
    return tiff;
}

}  // namespace

Bytes TiffWithNote(const NoteCamera& camera, const NoteMaker& note, const std::function<void(Ifd&)>& more) {
    const Bytes placeholder = Placeholder(note(0).size());
    const Bytes first = Layout(camera, placeholder, more).Build();
    const auto at = std::search(first.begin(), first.end(), placeholder.begin(), placeholder.end());
    if (at == first.end()) throw std::logic_error("maker note not found in its own layout");
    return Layout(camera, note(static_cast<std::uint32_t>(at - first.begin())), more).Build();
}

Bytes JpegWithNote(const NoteCamera& camera, const NoteMaker& note, const std::function<void(Ifd&)>& more) {
    const Bytes tiff = TiffWithNote(camera, note, more);
    Bytes payload = {'E', 'x', 'i', 'f', 0, 0};
    payload.insert(payload.end(), tiff.begin(), tiff.end());
    return Jpeg().Soi().Segment(0xE1, payload).Sos().Eoi().Build();
}

NoteMaker TiffRelativeNote(std::string_view header, Ifd ifd) {
    return [header = std::string(header), ifd](std::uint32_t offset) {
        Bytes out = ToBytes(header);
        const Bytes body = ifd.Layout(offset + static_cast<std::uint32_t>(out.size()));
        out.insert(out.end(), body.begin(), body.end());
        return out;
    };
}

NoteMaker NoteRelativeNote(std::string_view header, Ifd ifd) {
    return [header = std::string(header), ifd](std::uint32_t) {
        Bytes out = ToBytes(header);
        const Bytes body = ifd.Layout(static_cast<std::uint32_t>(out.size()));
        out.insert(out.end(), body.begin(), body.end());
        return out;
    };
}

NoteMaker NikonType3Note(Ifd ifd, std::string_view header) {
    return [ifd, header](std::uint32_t) {
        Bytes out = ToBytes(header);
        const Bytes order = ifd.bigEndian() ? ToBytes("MM") : ToBytes("II");
        out.insert(out.end(), order.begin(), order.end());
        for (const Bytes& part : {ifd.U16(42), ifd.U32(8), ifd.Layout(8)})
            out.insert(out.end(), part.begin(), part.end());
        return out;
    };
}

NoteMaker FujiNote(Ifd ifd) {
    return [ifd](std::uint32_t) {
        Bytes out = ToBytes("FUJIFILM");
        const Bytes start = {12, 0, 0, 0};
        out.insert(out.end(), start.begin(), start.end());
        const Bytes body = ifd.Layout(12);
        out.insert(out.end(), body.begin(), body.end());
        return out;
    };
}

metadata::TimgData& Read(metadata::TimgData& reader, const Bytes& bytes, std::string_view name) {
    reader.ReadJpegBytes(name, bytes);
    return reader;
}

const metadata::TTagEntry* NoteEntry(const metadata::TimgData& reader, std::string_view description) {
    if (!reader.ExifDirectory) return nullptr;
    for (const auto& tag : reader.ExifDirectory->Tags) {
        if (tag.Group == 1 && tag.Description == description) return &tag;
    }
    return nullptr;
}

int NoteEntryCount(const metadata::TimgData& reader) {
    if (!reader.ExifDirectory) return 0;
    const auto& tags = reader.ExifDirectory->Tags;
    return static_cast<int>(std::count_if(tags.begin(), tags.end(), [](const auto& t) { return t.Group == 1; }));
}

}  // namespace quorvela::testing
