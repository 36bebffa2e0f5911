#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "exif_writer.h"

namespace quorvela::samples {

// One photo of the demo folder: its file name, the settings it records and the maker note it
// carries, if any.
struct DemoPhoto {
    std::string Name;  // relative to the demo folder; may name a subfolder
    std::string Make;
    std::string Model;
    std::uint32_t FocalTenths = 0;          // focal length in tenths of a millimetre
    std::optional<std::uint16_t> Focal35;   // the 35mm value, when the camera stores one
    std::uint32_t FNumberTenths = 0;        // 56 is F5.6
    std::uint32_t ExposureDenominator = 0;  // 1/denominator seconds; 0 for none
    std::uint32_t ExposureSeconds = 0;      // whole seconds when the denominator is 0
    std::optional<std::uint16_t> Iso;       // the EXIF ISO, when the camera stores it
    Bytes MakerNote;                        // written as the MakerNote entry when not empty
    std::uint16_t Orientation = 1;
    int Width = 320;
    int Height = 240;
};

// The photos of the demo folder: several makes, focal lengths with and without 35mm values,
// ISO values (one only in a Nikon maker note, one in a Casio maker note), apertures and
// shutter speeds, and a photo stored on its side.
std::vector<DemoPhoto> DemoPhotos();

// The file's bytes: a small landscape drawn in the photo's own colours, with its EXIF block.
Bytes DemoPhotoBytes(const DemoPhoto& photo, int index);

// Writes every demo photo into `folder` (created when missing). Throws std::runtime_error
// naming the file that could not be written.
void WriteDemoFolder(const std::filesystem::path& folder);

}  // namespace quorvela::samples
