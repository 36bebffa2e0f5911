#include "common/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace quorvela::common {
namespace {

// Refuses FIFOs and devices: reading one could block for ever.
int OpenRegularFile(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) throw std::runtime_error("Unable to read " + path.string() + ": " + std::strerror(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw std::runtime_error("Unable to read " + path.string() + ": not a regular file");
    }
    return fd;
}

}  // namespace

std::string ReadTextFile(const std::filesystem::path& path) {
    const int fd = OpenRegularFile(path);
    std::string content;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            throw std::runtime_error("Unable to read " + path.string() + ": " + std::strerror(error));
        }
        if (n == 0) break;
        content.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return content;
}

std::vector<std::string> ReadTextLines(const std::filesystem::path& path) {
    const std::string content = ReadTextFile(path);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        const bool last = end == std::string::npos;
        if (last) end = content.size();
        std::size_t stop = end;
        if (stop > start && content[stop - 1] == '\r') --stop;
        lines.emplace_back(content, start, stop - start);
        start = last ? end : end + 1;
    }
    return lines;
}

void WriteFileAtomically(const std::filesystem::path& path, std::string_view content) {
    const std::string failure = "Unable to write to " + path.string();
    std::filesystem::path folder = path.parent_path();
    if (folder.empty()) folder = ".";
    std::string hidden = path.filename().string();
    hidden.insert(0, 1, '.');
    hidden += ".XXXXXX";
    std::string temp = (folder / hidden).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) throw std::runtime_error(failure);
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    // The file gets the usual permissions of a new file instead of mkstemp's 0600.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ok = ok && ::fchmod(fd, 0666 & ~mask) == 0;
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        throw std::runtime_error(failure);
    }
}

void WriteTextLines(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    std::string content;
    for (const std::string& line : lines) {
        content += line;
        content += "\r\n";
    }
    WriteFileAtomically(path, content);
}

std::string OnOneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, '?');
    // U+2028 and U+2029 in UTF-8: a text view breaks its lines there too.
    for (std::size_t at = text.find("\xE2\x80"); at != std::string::npos; at = text.find("\xE2\x80", at + 1)) {
        if (at + 2 < text.size() && (text[at + 2] == '\xA8' || text[at + 2] == '\xA9')) {
            text[at] = '?';
            text.erase(at + 1, 2);
        }
    }
    return text;
}

}  // namespace quorvela::common
