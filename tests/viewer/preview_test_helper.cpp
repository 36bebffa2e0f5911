// A preview helper for the tests: the real sandbox and protocol, with a decoder that misbehaves
// when the photo's name begins with a command, and decodes any other photo for real.
//   hang…   spins for ever          crash…  aborts          hog…  allocates until refused
//   babble… writes bytes of no reply before answering
//   try-write… try-socket… try-exec… try-signal…  attempts what the sandbox forbids and tells
//   in its message how the attempt ended
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "viewer/preview_decoder.h"
#include "viewer/preview_helper.h"

namespace {

using quorvela::viewer::PreviewImage;

PreviewImage Told(const char* attempt, int result) {
    PreviewImage told;
    told.Error = QStringLiteral("%1: %2").arg(
        QString::fromLatin1(attempt),
        result < 0 ? QString::fromLocal8Bit(std::strerror(errno)) : QStringLiteral("allowed"));
    return told;
}

[[noreturn]] void Spin() {
    volatile unsigned long turns = 0;
    for (;;) turns = turns + 1;
}

// The address-space limit refuses allocations whether or not their pages are touched; touching
// one byte of each keeps the allocation from being optimised away without paging in gigabytes.
[[noreturn]] void Hog() {
    constexpr std::size_t kBlock = std::size_t{64} << 20;
    std::vector<std::unique_ptr<char[]>> blocks;
    for (;;) {
        blocks.emplace_back(new char[kBlock]);
        blocks.back()[0] = 1;
    }
}

PreviewImage Attempt(const std::string& name, const std::string& path) {
    if (name.starts_with("try-write")) {
        const int fd = ::open((path + ".written").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd >= 0) ::close(fd);
        return Told("write", fd);
    }
    if (name.starts_with("try-socket")) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd >= 0) ::close(fd);
        return Told("socket", fd);
    }
    if (name.starts_with("try-exec")) {
        // Were it allowed, the helper would be replaced by a program that ends at once.
        return Told("exec", ::execl("/bin/true", "true", static_cast<char*>(nullptr)));
    }
    // Signal 0 only asks whether the process is there: harmless, even were it allowed.
    return Told("signal", ::kill(::getppid(), 0));
}

PreviewImage Misbehave(const std::string& path, QSize box) {
    const std::string name = std::filesystem::path(path).filename().string();
    if (name.starts_with("hang")) Spin();
    if (name.starts_with("crash")) std::abort();
    if (name.starts_with("hog")) Hog();
    if (name.starts_with("try-")) return Attempt(name, path);
    if (name.starts_with("babble")) {
        constexpr char kNoise[] = "this is no reply";
        if (::write(STDOUT_FILENO, kNoise, sizeof kNoise) < 0) std::abort();
    }
    return quorvela::viewer::DecodePreview(path, box);
}

}  // namespace

int main() {
    quorvela::viewer::RunPreviewHelper(Misbehave);
}
