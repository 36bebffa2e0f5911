#pragma once

#include <cstdint>
#include <span>

namespace quorvela::fuzz {

// Reads `bytes` as a JPEG (and, when they start like a TIFF file, as a TIFF) and runs every
// query the analysis makes, so a fault anywhere in the reader shows up.
void ReadOneInput(std::span<const std::uint8_t> bytes);

}  // namespace quorvela::fuzz
