#pragma once

#include <QSize>
#include <functional>
#include <string>

#include "viewer/preview_image.h"

namespace quorvela::viewer {

// What decodes a photo inside the helper: `DecodePreview`, or a stand-in of the tests.
using PreviewDecoder = std::function<PreviewImage(const std::string& path, QSize box)>;

// Answers the requests read from `in` on `out` (see preview_protocol.h), one at a time, until
// `in` ends (0) or breaks the protocol (2), or a reply cannot be written (4). A decoder that
// runs out of memory is answered with a message, and the helper ends after it (3): a library
// left by an exception may hold its state half changed.
int ServePreviews(int in, int out, const PreviewDecoder& decode);

// The whole life of a preview helper: ends with the window, shuts itself in
// (`EnterPreviewSandbox`), serves standard input and output, and exits without running any
// library's teardown. Never returns.
[[noreturn]] void RunPreviewHelper(const PreviewDecoder& decode);

}  // namespace quorvela::viewer
