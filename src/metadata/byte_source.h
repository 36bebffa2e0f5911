#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorvela::metadata {

// A forward byte stream over a file or a memory block, plus reads at given offsets. Stream
// reads from a file go through a buffer: the first read of a stream fetches kFirstRead bytes,
// which hold the whole header of most photos, later ones up to 64 KiB; so a typical header
// costs one system call. Reads at an offset (pread) leave the stream where it is.
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

    // Bytes the first stream read of a file fetches.
    static constexpr std::size_t kFirstRead = std::size_t{8} * 1024;
    // Stream reads of at least this many bytes past the buffer go straight to the caller.
    static constexpr std::size_t kDirectRead = std::size_t{2} * 1024;

    // The next byte, or nullopt at the end of the data (or on a read error).
    std::optional<std::uint8_t> ReadByte() {
        if (pos_ < end_) return data_[pos_++];
        return ReadByteAfterRefill();
    }
    // Appends up to `count` bytes to `out`; returns how many were appended.
    std::size_t ReadInto(std::vector<std::uint8_t>& out, std::size_t count);
    // Passes over up to `count` bytes as ReadInto would read them; returns how many.
    std::size_t Skip(std::size_t count);
    // The bytes the stream holds from its position on without reading further, after one read
    // when it holds none; at most `count`. The stream stays where it is.
    std::span<const std::uint8_t> Peek(std::size_t count);

    // The size of the file or block in bytes.
    [[nodiscard]] std::int64_t Size() const { return size_; }
    // Appends the bytes [offset, offset + count) that lie inside the data to `out`; returns how
    // many were appended (fewer at the end of the data, none for an offset outside it).
    std::size_t ReadAt(std::int64_t offset, std::size_t count, std::vector<std::uint8_t>& out) const;
    // Restarts the stream at `offset`; it then ends after `length` bytes or at the end of the
    // data, whichever comes first. False (and an empty stream) for an offset outside the data.
    bool Restart(std::int64_t offset, std::int64_t length);

  private:
    ByteSource() = default;
    bool Refill();
    std::size_t ReadDirect(std::vector<std::uint8_t>& out, std::size_t count);
    std::optional<std::uint8_t> ReadByteAfterRefill();

    int fd_ = -1;
    std::span<const std::uint8_t> memory_;
    std::vector<std::uint8_t>* buffer_ = nullptr;
    const std::uint8_t* data_ = nullptr;  // the memory block or the buffer
    std::size_t nextRead_ = kFirstRead;   // bytes the next refill asks for
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
    std::int64_t size_ = 0;
    std::int64_t filePos_ = 0;  // where the next refill reads
    std::int64_t fileEnd_ = 0;  // where the stream ends
};

}  // namespace quorvela::metadata
