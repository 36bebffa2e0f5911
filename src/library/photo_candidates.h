#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvela::library {

// What a file's name makes of it. The name only decides whether a file is looked at; how it is
// read is decided by its content.
enum class CandidateKind { None, Jpeg, Heif, Raw };

// The kind by the extension of the name part (from its last ".", any case): JPEG (.JPG, .JPEG,
// .JPE, .THM), HEIF (.HEIC, .HEIF, .HIF, .AVIF) or a camera's RAW file. Without `withRawHeif`
// only JPEG names are candidates. TIFF names are not: scans have no exposure values and an
// editor's TIFF export is a second file of a shot already counted under another name.
CandidateKind CandidateKindOf(std::string_view name, bool withRawHeif);

// The photos of one folder's listing, in listing order. Files of one shot share the name
// before the extension (exact case) and count once: every JPEG is a photo, so the list is the
// JPEG-only list plus the shots that have no JPEG; of those, the first HEIF file, else the first
// RAW file. The JPEG is what the camera rendered and its EXIF is the shot's.
std::vector<std::string> ChoosePhotos(const std::vector<std::string>& names, bool withRawHeif);

}  // namespace quorvela::library
