#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorvela::metadata {

// A forward-only byte stream over a file or a memory block. Reads from a file go through a
// 64 KiB buffer, so a typical header costs one system call.
class ByteSource {
  public:
    struct FileInfo {
        std::int64_t Size = 0;
        double ModifiedAt = 0.0;  // seconds since 1970-01-01 UTC
    };
    enum class OpenError { None, Missing, NotAFile, Unreadable };

    // Reads the file at `path` through `buffer` (reused between files, so opening costs no
    // allocation); a FIFO, device or folder is refused without blocking.
    static std::optional<ByteSource> OpenFile(const std::string& path, std::vector<std::uint8_t>& buffer,
                                              FileInfo& info, OpenError& error);
    static ByteSource FromMemory(std::span<const std::uint8_t> bytes);

    ByteSource(ByteSource&& other) noexcept;
    ByteSource& operator=(ByteSource&& other) noexcept;
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;
    ~ByteSource();

    // The next byte, or nullopt at the end of the data (or on a read error).
    std::optional<std::uint8_t> ReadByte();
    // Appends up to `count` bytes to `out`; returns how many were appended.
    std::size_t ReadInto(std::vector<std::uint8_t>& out, std::size_t count);

  private:
    ByteSource() = default;
    bool Refill();

    int fd_ = -1;
    std::span<const std::uint8_t> memory_;
    std::vector<std::uint8_t>* buffer_ = nullptr;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
};

}  // namespace quorvela::metadata
