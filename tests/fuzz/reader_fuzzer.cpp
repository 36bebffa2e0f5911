// libFuzzer entry for the metadata reader: any byte string, read as a JPEG or as a TIFF.

#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_one_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quorvela::fuzz::ReadOneInput(std::span<const std::uint8_t>(data, size));
    return 0;
}
