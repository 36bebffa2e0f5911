#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quorvela::common {

// The whole content of a regular file (FIFOs and devices are refused, not waited on).
// Throws std::runtime_error naming the file when it cannot be read.
std::string ReadTextFile(const std::filesystem::path& path);

// The lines of a text file; LF and CR LF both end a line, a last line without an end is
// kept. Throws std::runtime_error naming the file when it cannot be read.
std::vector<std::string> ReadTextLines(const std::filesystem::path& path);

// Writes `content` to a temporary file in the target's folder and renames it over the
// target, so a crash or a full disk never leaves a half-written file. Throws
// std::runtime_error "Unable to write to <path>" on failure; the target is then unchanged.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view content);

// The lines, each ended by CR LF, written atomically.
void WriteTextLines(const std::filesystem::path& path, const std::vector<std::string>& lines);

// `text` with each line break (CR, LF, and the Unicode line and paragraph separators) made "?":
// file and folder names may hold one, and it would split a line of a text file or view.
std::string OnOneLine(std::string text);

}  // namespace quorvela::common
