// libFuzzer entry for the XMP reader: any byte string, parsed as a packet on its own and as a
// TIFF file's and a JPEG's XMP.

#include <cstddef>
#include <cstdint>
#include <span>

#include "xmp_one_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quorvela::fuzz::ReadOneXmpPacket(std::span<const std::uint8_t>(data, size));
    return 0;
}
