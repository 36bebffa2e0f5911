#pragma once

#include <cstdint>
#include <span>

#include "tiff_piece.h"

namespace quorvela::metadata {

class ByteSource;

// The format an ISO base media file names in its leading 'ftyp' box (HEIC, HEIF, AVIF or
// CR3); Unknown when `header`, the file's first bytes, does not start with such a box.
PhotoFormat IsoMediaFormat(std::span<const std::uint8_t> header);

// The format a brand of the HEIF family (HEVC and AVIF pictures and sequences, and the generic
// ones) stands for, as a major or a compatible brand of an 'ftyp' box; Unknown for any other
// four bytes.
PhotoFormat HeifBrandFormat(std::span<const std::uint8_t> brand);

// The EXIF structures of an ISO base media file of `format`: the 'Exif' item of a HEIF or
// AVIF file, the CMT boxes of a CR3 file. Reads only the boxes on the way to them. With
// `readXmp`, the facts of its XMP too: the 'mime' item of type application/rdf+xml of a HEIF
// or AVIF file, the XMP 'uuid' box of a CR3 file (at the top level or in 'moov').
ContainerResult ReadIsoMedia(const ByteSource& source, PhotoFormat format, bool readXmp = false);

}  // namespace quorvela::metadata
