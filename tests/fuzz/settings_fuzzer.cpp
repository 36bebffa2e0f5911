// libFuzzer entry for the settings-file reader and writer: any byte string, read as
// vintrop.ini, then written over and read back.

#include <cstddef>
#include <cstdint>
#include <span>

#include "settings_one_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quorvela::fuzz::ReadOneSettingsFile(std::span<const std::uint8_t>(data, size));
    return 0;
}
