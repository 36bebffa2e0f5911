#pragma once

#include <cstdint>
#include <span>

namespace quorvela::fuzz {

// Reads `bytes` as the settings file vintrop.ini and checks that every value stays within its
// limits; then writes settings taken from the input over a file holding the same bytes and
// checks that reading it back gives exactly what was written. A broken property ends the
// process.
void ReadOneSettingsFile(std::span<const std::uint8_t> bytes);

}  // namespace quorvela::fuzz
