#pragma once

#include <optional>
#include <string>
#include <vector>

#include "end_ind.h"
#include "photo_format.h"
#include "xmp.h"

namespace quorvela::metadata {

// Which directory the first IFD of a TIFF structure holds. Most containers carry one TIFF
// structure that starts at IFD0; a CR3 file carries each directory as a structure of its own.
enum class TiffRole { Ifd0, Exif, MakerNote, Gps };

// One TIFF structure taken out of a container: Data starts with the byte-order mark.
struct TiffPiece {
    TiffRole Role = TiffRole::Ifd0;
    Bytes Data;
};

// What a container reader found: the format, the TIFF structures to walk, and when the file
// is damaged or holds no metadata, why; the facts of its XMP packet when asked for and found.
struct ContainerResult {
    PhotoFormat Format = PhotoFormat::Unknown;
    std::vector<TiffPiece> Pieces;
    std::string Problem;
    std::optional<XmpFacts> Xmp;
};

}  // namespace quorvela::metadata
