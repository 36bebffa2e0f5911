// libFuzzer entry for ISO base media files (HEIF, HEIC, AVIF, CR3): the box walk to the EXIF item or the CMT boxes.

#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_one_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quorvela::fuzz::ReadIsoInput(std::span<const std::uint8_t>(data, size));
    return 0;
}
