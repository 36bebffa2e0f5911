#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "xmp.h"

namespace quorvela::metadata {

// The XMP of a JPEG, gathered from its APP1 segments during the marker scan: the standard
// packet ("http://ns.adobe.com/xap/1.0/\0" and the packet) and the chunks of the extended one
// ("http://ns.adobe.com/xmp/extension/\0", a 32-character GUID, the packet's full length and
// the chunk's offset, both 32-bit big-endian, and the chunk). The standard packet is parsed
// when it is taken; the chunks whose GUID it names, put together and parsed, when the facts
// are asked for.
class JpegXmp {
  public:
    // Bytes at the start of an APP1 payload that tell whether it is an XMP segment.
    static constexpr std::size_t kSignatureBytes = 35;
    // Whether an APP1 payload starting with `start` may be an XMP segment: `start` matches
    // the first bytes of a signature (all of it, or as much as it holds when shorter).
    static bool MayBeXmp(std::span<const std::uint8_t> start);

    // Takes an APP1 payload (the bytes after its length). False when it is no XMP segment, a
    // second standard packet (the first wins) or a chunk beyond the bounds kept.
    bool Take(std::span<const std::uint8_t> payload);
    // Whether the standard packet was taken and the chunks of the extended packet it names,
    // if any, cover it.
    [[nodiscard]] bool Complete() const;
    // The facts of the packets taken, the standard packet's values before the extended's;
    // none without a standard packet.
    [[nodiscard]] std::optional<XmpFacts> Facts() const;
    void Clear();

  private:
    struct Chunk {
        std::string Guid;
        std::uint32_t FullLength = 0;
        std::uint32_t Offset = 0;
        std::vector<std::uint8_t> Data;
    };
    bool TakeChunk(std::span<const std::uint8_t> body);
    [[nodiscard]] XmpFacts ExtendedFacts() const;

    std::optional<XmpDocument> standard_;
    std::vector<Chunk> chunks_;
    std::size_t chunkBytes_ = 0;
};

}  // namespace quorvela::metadata
