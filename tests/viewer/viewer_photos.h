#pragma once

// Photos for the viewer's tests: decodable JPEGs with chosen exposure tags, written with the
// demo generator's encoder and EXIF writer.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "exif_writer.h"

namespace quorvela::viewer::test {

struct PhotoTags {
    std::string Make = "Canon";
    std::string Model = "Canon PowerShot G2";
    std::optional<std::pair<std::uint32_t, std::uint32_t>> ExposureTime =
        std::pair<std::uint32_t, std::uint32_t>{1, 250};
    std::optional<std::pair<std::int32_t, std::int32_t>> ShutterSpeedValue;  // APEX
    std::optional<std::pair<std::uint32_t, std::uint32_t>> FNumber = std::pair<std::uint32_t, std::uint32_t>{28, 10};
    std::optional<std::pair<std::uint32_t, std::uint32_t>> FocalLength = std::pair<std::uint32_t, std::uint32_t>{7, 1};
    std::optional<std::uint16_t> Focal35;
    std::optional<std::uint16_t> Iso = 100;
    samples::Bytes MakerNote;
    std::optional<std::uint16_t> Orientation;
    int Width = 64;
    int Height = 48;
};

// The file's bytes: the left half red, the right half blue, so tests can tell which way is up.
std::vector<std::uint8_t> PhotoBytes(const PhotoTags& photo);

// A small DNG (TIFF-based RAW): IFD0 holds the preview (a JPEG, or an uncompressed RGB bitmap)
// and the RAW's orientation, a sub-directory a 64 x 48 raw picture of zeros; what LibRaw reads
// as a camera file.
struct RawPhoto {
    PhotoTags Preview;
    std::uint16_t Orientation = 1;
    bool BitmapPreview = false;
    // Replaces the preview's byte count in the directory, as a damaged file would.
    std::optional<std::uint32_t> ClaimedPreviewLength;
};
std::vector<std::uint8_t> RawPhotoBytes(const RawPhoto& photo);

// Writes the photo at `path`, creating its folder.
void WritePhoto(const std::filesystem::path& path, const PhotoTags& photo);

}  // namespace quorvela::viewer::test
