#pragma once

#include <cstdint>
#include <span>

namespace quorvela::viewer {

// The EXIF orientation (1 to 8) of an APP1 payload ("Exif\0\0" and a TIFF structure): the
// Orientation entry (0x0112) of IFD0. 1 (upright) when the payload holds none or a value out
// of range. Reads only inside the payload.
int ExifOrientation(std::span<const std::uint8_t> app1Payload);

}  // namespace quorvela::viewer
