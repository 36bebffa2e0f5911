#pragma once

#include <cstdint>
#include <string>

namespace quorvela::viewer {

// What a preview helper may use on top of the address space it started with: decoding a
// 100-megapixel photo takes a few hundred megabytes.
inline constexpr std::uint64_t kPreviewMemoryBudget = std::uint64_t{1} << 30;

// Shuts the calling process in for decoding untrusted files, for the rest of its life: every
// descriptor but standard input, output and error closed; its address space limited to what it
// holds now plus `memoryBudget`; no core file and no file grown by a write; no new privileges;
// and a seccomp filter under which opening a file for writing or creating it, changing the file
// system's names or permissions, creating a socket, starting a program, tracing or writing into
// another process and io_uring all fail with EPERM. Reading files stays allowed: the decoders
// open the photo and load their plugins. Empty when all is in force, else what could not be
// put in force (the caller must not go on decoding then).
std::string EnterPreviewSandbox(std::uint64_t memoryBudget);

}  // namespace quorvela::viewer
