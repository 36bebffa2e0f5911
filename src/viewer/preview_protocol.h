#pragma once

// What the window and the preview helper say over the helper's pipes: the window writes one
// request at a time to the helper's standard input and reads the reply from its standard output.
// Every number is 32 bits, little-endian; the stored size is signed (-1 when not known).
//   request: box width, box height, path length, the path's bytes
//   reply:   "QPV1", stored width, stored height, orientation, DCT eighths, message length,
//            the message (UTF-8), image width, image height, the pixels (RGB32, rows unpadded)
// The window believes nothing a reply says: an image larger than the box asked for, an
// orientation outside 1 to 8 or a message longer than a message is, is a helper gone wrong.

#include <QByteArray>
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "viewer/preview_image.h"

namespace quorvela::viewer {

struct PreviewRequest {
    std::string Path;  // in the file system's own bytes
    QSize Box;
};

// How far a buffer holds a whole message.
enum class Parsed { Incomplete, Complete, Malformed };

template <typename Message>
struct ParseResult {
    Parsed State = Parsed::Incomplete;
    Message Value;
    std::size_t Used = 0;  // bytes of the buffer the message took, when complete
};

// Paths and messages longer than this are no paths or messages of ours.
inline constexpr std::uint32_t kMaxPathBytes = 1U << 16;
inline constexpr std::uint32_t kMaxMessageBytes = 1U << 12;
// Boxes larger than this are not asked for: the preview is a small square.
inline constexpr int kMaxBoxSide = 4096;

QByteArray EncodeRequest(const PreviewRequest& request);
ParseResult<PreviewRequest> ParseRequest(std::span<const std::uint8_t> bytes);

// The image is sent as RGB32 whatever its format.
QByteArray EncodeReply(const PreviewImage& preview);
// A reply to a request for `box`.
ParseResult<PreviewImage> ParseReply(std::span<const std::uint8_t> bytes, QSize box);

}  // namespace quorvela::viewer
