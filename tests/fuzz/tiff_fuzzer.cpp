// libFuzzer entry for TIFF-structured raw files (TIFF, CR2, NEF, DNG, ORF, RW2, MRW): header, naming, embedded JPEG.

#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_one_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quorvela::fuzz::ReadTiffInput(std::span<const std::uint8_t>(data, size));
    return 0;
}
