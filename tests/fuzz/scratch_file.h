#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quorvela::fuzz {

// A file in memory that the readers open by path, so a fuzz input reaches them through
// their own file reading without touching the disk. Rewritten for every input.
class ScratchFile {
  public:
    ScratchFile();
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Replaces the content; returns the path to open.
    const std::string& Hold(std::span<const std::uint8_t> bytes);

  private:
    int fd_ = -1;
    std::string path_;
};

// Ends the process with the broken property's name: libFuzzer keeps the input, and a
// regression test run fails.
[[noreturn]] void Broken(const char* what, const std::string& detail);

}  // namespace quorvela::fuzz
