// The floor a whole run is measured against: walk a tree and, for every file named like a
// JPEG, open it, read up to the start of the compressed image, close it. Nothing else.
//   floor_reader TREE...   prints the number of files and bytes read (several trees one after
//                          another, so that a few processes can share the folders of one tree)

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

bool JpegName(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    for (char& c : ext) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return ext == ".JPG" || ext == ".JPEG" || ext == ".JPE" || ext == ".THM";
}

// Reads 64 KiB at a time until the segment walk reaches SOS (or EOI, or the end).
std::size_t ReadHeader(const char* path, std::vector<std::uint8_t>& buffer) {
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return 0;
    std::size_t have = 0;
    std::size_t pos = 2;
    bool done = false;
    while (!done) {
        if (buffer.size() < have + 65536) buffer.resize(have + 65536);
        const ssize_t got = ::read(fd, buffer.data() + have, 65536);
        if (got <= 0) break;
        have += static_cast<std::size_t>(got);
        while (pos + 4 <= have) {
            if (buffer[pos] != 0xFF) {
                done = true;
                break;
            }
            const std::uint8_t marker = buffer[pos + 1];
            if (marker == 0xFF) {
                ++pos;
                continue;
            }
            if (marker == 0xDA || marker == 0xD9) {
                done = true;
                break;
            }
            pos += 2 + ((std::size_t{buffer[pos + 2]} << 8) | buffer[pos + 3]);
        }
    }
    ::close(fd);
    return have;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: floor_reader TREE...\n");
        return 2;
    }
    std::vector<std::uint8_t> buffer;
    std::size_t files = 0;
    std::size_t bytes = 0;
    std::error_code ec;
    for (int tree = 1; tree < argc; ++tree) {
        for (auto it = std::filesystem::recursive_directory_iterator(
                 argv[tree], std::filesystem::directory_options::skip_permission_denied, ec);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (ec) break;
            if (!it->is_regular_file(ec) || !JpegName(it->path())) continue;
            bytes += ReadHeader(it->path().c_str(), buffer);
            ++files;
        }
    }
    std::printf("%zu files, %zu bytes read\n", files, bytes);
    return 0;
}
