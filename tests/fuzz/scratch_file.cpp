#include "scratch_file.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace quorvela::fuzz {

ScratchFile::ScratchFile() : fd_(::memfd_create("quorvela-fuzz", MFD_CLOEXEC)) {
    if (fd_ < 0) throw std::runtime_error("memfd_create failed");
    path_ = "/proc/self/fd/" + std::to_string(fd_);
}

ScratchFile::~ScratchFile() {
    ::close(fd_);
}

const std::string& ScratchFile::Hold(std::span<const std::uint8_t> bytes) {
    if (::ftruncate(fd_, 0) != 0) Broken("scratch file", "ftruncate failed");
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n <= 0) Broken("scratch file", "write failed");
        done += static_cast<std::size_t>(n);
    }
    return path_;
}

void Broken(const char* what, const std::string& detail) {
    std::fprintf(stderr, "broken: %s: %s\n", what, detail.c_str());
    std::abort();
}

}  // namespace quorvela::fuzz
