#pragma once

#include <cstdint>
#include <span>

namespace quorvela::fuzz {

// Reads `bytes` as the camera table file cam_equiv.txt and looks up every accepted entry with
// both decimal separators, checking what the run relies on: each entry carries the four
// markers, a table length is digits with two decimals, and its focal category is a
// left-filled number. A broken property ends the process.
void ReadOneCameraTable(std::span<const std::uint8_t> bytes);

}  // namespace quorvela::fuzz
