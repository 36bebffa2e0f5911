#pragma once

// Builds photos whose EXIF block carries a maker note laid out by the test. A note whose
// offsets count from the TIFF header must know where it lands, so it is made by a function
// of its own TIFF offset.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "exif_writer.h"
#include "metadata/img_data.h"

namespace quorvela::testing {

using samples::Bytes;
using samples::Ifd;
using samples::Jpeg;
using samples::Tiff;
using samples::ToBytes;

using NoteMaker = std::function<Bytes(std::uint32_t noteTiffOffset)>;

struct NoteCamera {
    std::string make;
    std::string model;
    std::string version;  // ExifVersion bytes; empty for none
    bool bigEndian = false;
};

// The TIFF structure: IFD0 with Make, Model, ExifVersion, MakerNote, then what `more` adds.
Bytes TiffWithNote(const NoteCamera& camera, const NoteMaker& note, const std::function<void(Ifd&)>& more = {});
Bytes JpegWithNote(const NoteCamera& camera, const NoteMaker& note, const std::function<void(Ifd&)>& more = {});

// Note bodies: a header followed by a directory whose offsets count from the TIFF header,
// from the note's first byte, or from an embedded TIFF header after a 10-byte Nikon prefix.
NoteMaker TiffRelativeNote(std::string_view header, Ifd ifd);
NoteMaker NoteRelativeNote(std::string_view header, Ifd ifd);
// A note with a TIFF header at byte 10, after `header` (ten bytes).
NoteMaker NikonType3Note(Ifd ifd, std::string_view header = std::string_view("Nikon\0\x02\x10\0\0", 10));
NoteMaker FujiNote(Ifd ifd);  // the directory must be little-endian

// Reads the bytes as a JPEG (or as a TIFF-structured raw file for `name` ending ".nef").
metadata::TimgData& Read(metadata::TimgData& reader, const Bytes& bytes, std::string_view name = "photo.jpg");

// The first maker-note entry (Group 1) of that description, or null.
const metadata::TTagEntry* NoteEntry(const metadata::TimgData& reader, std::string_view description);
int NoteEntryCount(const metadata::TimgData& reader);

}  // namespace quorvela::testing
