// libFuzzer entry for RAF files: the header's JPEG range and the JPEG it points at.

#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_one_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quorvela::fuzz::ReadRafInput(std::span<const std::uint8_t>(data, size));
    return 0;
}
