#include "byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace quorvela::metadata {

namespace {
constexpr std::size_t kChunk = std::size_t{64} * 1024;
}

std::optional<ByteSource> ByteSource::OpenFile(const std::string& path, std::vector<std::uint8_t>& buffer,
                                               FileInfo& info, OpenError& error) {
    // O_NONBLOCK: opening a FIFO named like a photo must not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = (errno == ENOENT || errno == ENOTDIR) ? OpenError::Missing : OpenError::Unreadable;
        return std::nullopt;
    }
    struct stat st {};
    const bool statted = ::fstat(fd, &st) == 0;
    if (!statted || !S_ISREG(st.st_mode)) {
        // A folder is no file at all; anything else that is not a plain file is refused.
        error = (statted && S_ISDIR(st.st_mode)) ? OpenError::Missing : OpenError::NotAFile;
        ::close(fd);
        return std::nullopt;
    }
    info.Size = st.st_size;
    info.ModifiedAt = static_cast<double>(st.st_mtim.tv_sec) + static_cast<double>(st.st_mtim.tv_nsec) * 1e-9;
    if (buffer.size() < kChunk) buffer.resize(kChunk);
    error = OpenError::None;
    ByteSource source;
    source.fd_ = fd;
    source.buffer_ = &buffer;
    source.data_ = buffer.data();
    source.size_ = st.st_size;
    source.fileEnd_ = st.st_size;
    return source;
}

ByteSource ByteSource::FromMemory(std::span<const std::uint8_t> bytes) {
    ByteSource source;
    source.memory_ = bytes;
    source.data_ = bytes.data();
    source.end_ = bytes.size();
    source.size_ = static_cast<std::int64_t>(bytes.size());
    return source;
}

ByteSource::ByteSource(ByteSource&& other) noexcept {
    *this = std::move(other);
}

ByteSource& ByteSource::operator=(ByteSource&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        memory_ = other.memory_;
        buffer_ = other.buffer_;
        data_ = other.data_;
        nextRead_ = other.nextRead_;
        pos_ = other.pos_;
        end_ = other.end_;
        eof_ = other.eof_;
        size_ = other.size_;
        filePos_ = other.filePos_;
        fileEnd_ = other.fileEnd_;
    }
    return *this;
}

ByteSource::~ByteSource() {
    if (fd_ >= 0) ::close(fd_);
}

bool ByteSource::Refill() {
    if (fd_ < 0 || eof_) return false;
    const auto want = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(nextRead_), std::max<std::int64_t>(0, fileEnd_ - filePos_)));
    nextRead_ = buffer_->size();
    ssize_t got = 0;
    if (want > 0) {
        do {
            got = ::pread(fd_, buffer_->data(), want, filePos_);
        } while (got < 0 && errno == EINTR);
    }
    if (got <= 0) {
        eof_ = true;
        return false;
    }
    pos_ = 0;
    end_ = static_cast<std::size_t>(got);
    filePos_ += got;
    return true;
}

std::size_t ByteSource::ReadAt(std::int64_t offset, std::size_t count, std::vector<std::uint8_t>& out) const {
    if (offset < 0 || offset >= size_) return 0;
    const auto take =
        static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(count), size_ - offset));
    if (fd_ < 0) {
        const auto from = memory_.begin() + static_cast<std::ptrdiff_t>(offset);
        out.insert(out.end(), from, from + static_cast<std::ptrdiff_t>(take));
        return take;
    }
    const std::size_t before = out.size();
    out.resize(before + take);
    std::size_t done = 0;
    while (done < take) {
        const ssize_t got =
            ::pread(fd_, out.data() + before + done, take - done, offset + static_cast<std::int64_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    out.resize(before + done);
    return done;
}

bool ByteSource::Restart(std::int64_t offset, std::int64_t length) {
    const bool inside = offset >= 0 && offset < size_ && length > 0;
    const std::int64_t start = inside ? offset : size_;
    const std::int64_t end = inside ? start + std::min(length, size_ - start) : size_;
    if (fd_ < 0) {
        pos_ = static_cast<std::size_t>(start);
        end_ = static_cast<std::size_t>(end);
    } else {
        pos_ = end_ = 0;
        filePos_ = start;
        fileEnd_ = end;
        eof_ = false;
        nextRead_ = kFirstRead;
    }
    return inside;
}

std::optional<std::uint8_t> ByteSource::ReadByteAfterRefill() {
    if (pos_ >= end_ && !Refill()) return std::nullopt;
    return data_[pos_++];
}

std::size_t ByteSource::ReadDirect(std::vector<std::uint8_t>& out, std::size_t count) {
    const auto want = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(count), std::max<std::int64_t>(0, fileEnd_ - filePos_)));
    const std::size_t before = out.size();
    out.resize(before + want);
    std::size_t done = 0;
    while (done < want) {
        const ssize_t got = ::pread(fd_, out.data() + before + done, want - done, filePos_);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            eof_ = true;
            break;
        }
        filePos_ += got;
        done += static_cast<std::size_t>(got);
    }
    out.resize(before + done);
    return done;
}

std::size_t ByteSource::ReadInto(std::vector<std::uint8_t>& out, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        // The rest of a long segment goes straight to `out`, not through the buffer.
        if (pos_ >= end_ && fd_ >= 0 && !eof_ && count - done >= kDirectRead) {
            done += ReadDirect(out, count - done);
            break;
        }
        if (pos_ >= end_ && !Refill()) break;
        const std::size_t take = std::min(count - done, end_ - pos_);
        out.insert(out.end(), data_ + pos_, data_ + pos_ + take);
        pos_ += take;
        done += take;
    }
    return done;
}

std::size_t ByteSource::Skip(std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        if (pos_ >= end_ && !Refill()) break;
        const std::size_t take = std::min(count - done, end_ - pos_);
        pos_ += take;
        done += take;
    }
    return done;
}

std::span<const std::uint8_t> ByteSource::Peek(std::size_t count) {
    if (pos_ >= end_) Refill();
    return {data_ + pos_, std::min(count, end_ - pos_)};
}

}  // namespace quorvela::metadata
