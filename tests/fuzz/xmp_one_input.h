#pragma once

#include <cstdint>
#include <span>

namespace quorvela::fuzz {

// Parses `bytes` as an XMP packet and checks what every answer must hold (a problem text
// exactly when refused, no values from a refused packet, values trimmed, bounded and whole
// UTF-8 characters); then reads them as the XMP of a TIFF file's IFD0 and of a JPEG's APP1
// segment, which must give what the packet gave. A broken property ends the process.
void ReadOneXmpPacket(std::span<const std::uint8_t> bytes);

}  // namespace quorvela::fuzz
