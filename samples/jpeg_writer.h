#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace quorvela::samples {

// Encodes `rgb` (three bytes per pixel, rows top to bottom) as a baseline JPEG with libjpeg,
// with `app1` (when not empty) written as the APP1 segment right after the start of the image.
// Empty when libjpeg refuses (it never ends the process).
std::vector<std::uint8_t> EncodeJpeg(int width, int height, std::span<const std::uint8_t> rgb,
                                     std::span<const std::uint8_t> app1, int quality = 85);

}  // namespace quorvela::samples
