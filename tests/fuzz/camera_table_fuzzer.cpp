// libFuzzer entry for the camera table reader: any byte string, read as cam_equiv.txt.

#include <cstddef>
#include <cstdint>
#include <span>

#include "camera_table_one_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quorvela::fuzz::ReadOneCameraTable(std::span<const std::uint8_t>(data, size));
    return 0;
}
