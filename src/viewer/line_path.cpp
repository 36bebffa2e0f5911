#include "viewer/line_path.h"

#include <sys/stat.h>

#include <vector>

#include "library/photo_candidates.h"

namespace quorvela::viewer {

namespace {

constexpr std::string_view kBeforePath = " - ";

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool StartsAbsolutePath(std::string_view rest) {
    if (rest.starts_with('/') || rest.starts_with("\\\\")) return true;
    return rest.size() >= 3 && IsLetter(rest[0]) && rest[1] == ':' && rest[2] == '\\';
}

// The path ends before the end of the line, a blank, or " - ".
bool EndsPath(std::string_view rest) {
    return rest.empty() || rest.starts_with(' ');
}

bool EndsWithPhotoName(std::string_view path) {
    // The extension belongs to the last name of the path, whichever separator it uses.
    const auto slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    // The names a run lists as photos when it includes RAW and HEIF files.
    return !name.empty() && library::CandidateKindOf(name, true) != library::CandidateKind::None;
}

}  // namespace

bool IsRegularFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string PathFromLine(std::string_view line, const FileExists& exists) {
    std::size_t start = std::string_view::npos;
    for (auto at = line.find(kBeforePath); at != std::string_view::npos; at = line.find(kBeforePath, at + 1)) {
        if (StartsAbsolutePath(line.substr(at + kBeforePath.size()))) {
            start = at + kBeforePath.size();
            break;
        }
    }
    if (start == std::string_view::npos) return {};
    std::vector<std::string_view> candidates;
    for (std::size_t end = start + 1; end <= line.size(); ++end) {
        const std::string_view path = line.substr(start, end - start);
        if (EndsPath(line.substr(end)) && EndsWithPhotoName(path)) candidates.push_back(path);
    }
    if (candidates.empty()) return {};
    for (const std::string_view path : candidates) {
        if (exists(std::string(path))) return std::string(path);
    }
    return std::string(candidates.front());
}

}  // namespace quorvela::viewer
