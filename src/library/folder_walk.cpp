#include "folder_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string_view>
#include <unordered_map>

#include "common/ascii.h"
#include "folder_warmer.h"
#include "photo_candidates.h"

namespace quorvela::library {

namespace {

struct Entry {
    std::string Name;
    EntryKind Kind = EntryKind::Unknown;
};

EntryKind KindOf(unsigned char type) {
    if (type == DT_REG) return EntryKind::Plain;
    return type == DT_LNK || type == DT_UNKNOWN ? EntryKind::Unknown : EntryKind::NotPlain;
}

// Every entry of a folder with what its listing says of it; no entry is looked at. Why it
// could not be read goes to `problem`.
std::vector<Entry> ListFolder(const std::string& folder, std::string& problem) {
    std::vector<Entry> entries;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        problem = std::strerror(errno);
        return entries;
    }
    while (const dirent* item = ::readdir(dir)) {
        const std::string_view name = item->d_name;
        if (name == "." || name == "..") continue;
        entries.push_back({std::string(name), KindOf(item->d_type)});
    }
    ::closedir(dir);
    return entries;
}

// The path with every link resolved; nothing when it leads nowhere.
std::optional<std::string> RealPath(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return std::nullopt;
    std::string resolved(real);
    std::free(real);  // NOLINT(cppcoreguidelines-no-malloc): realpath's own allocation
    return resolved;
}

// A folder of the kernel's own file systems: they hold no photos, and /proc leads to every
// other process's view of the whole tree.
bool IsSystemFolder(const std::string& path) {
    struct statfs info {};
    if (::statfs(path.c_str(), &info) != 0) return false;
    switch (static_cast<unsigned long>(info.f_type)) {
        case PROC_SUPER_MAGIC:
        case SYSFS_MAGIC:
        case DEVPTS_SUPER_MAGIC:
        case CGROUP_SUPER_MAGIC:
        case CGROUP2_SUPER_MAGIC:
        case DEBUGFS_MAGIC:
        case TRACEFS_MAGIC:
        case SECURITYFS_MAGIC:
        case BPF_FS_MAGIC:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
    return folder.ends_with('/') ? folder + name : folder + '/' + name;
}

bool IsExistingFolder(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsReadableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

WalkBounds::WalkBounds(const std::string& chosen) : Root(RealPath(chosen).value_or(chosen)) {}

bool WalkBounds::Inside(const std::string& realPath) const {
    if (Root == "/") return true;
    return realPath == Root || (realPath.starts_with(Root) && realPath[Root.size()] == '/');
}

std::optional<std::vector<Subfolder>> ReadSubfolders(const std::string& folder, const WalkBounds& bounds) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return std::nullopt;
    struct stat here {};
    const bool known = ::fstat(::dirfd(dir), &here) == 0;
    std::vector<Subfolder> found;
    while (const dirent* item = ::readdir(dir)) {
        const std::string_view name = item->d_name;
        if (name == "." || name == "..") continue;
        // Only folders and links are of interest; a plain file needs no look of its own.
        if (item->d_type != DT_DIR && item->d_type != DT_LNK && item->d_type != DT_UNKNOWN) continue;
        struct stat info {};
        // Follows links.
        if (::fstatat(::dirfd(dir), item->d_name, &info, 0) != 0 || !S_ISDIR(info.st_mode)) continue;
        Subfolder sub{std::string(name), {info.st_dev, info.st_ino}};
        struct stat own {};
        const bool link =
            item->d_type == DT_LNK ||
            (item->d_type == DT_UNKNOWN && ::fstatat(::dirfd(dir), item->d_name, &own, AT_SYMLINK_NOFOLLOW) == 0 &&
             S_ISLNK(own.st_mode));
        if (link) {
            const std::optional<std::string> real = RealPath(JoinPath(folder, sub.Name));
            sub.LeftOut = !real || !bounds.Inside(*real);
        }
        // Another file system under this one may be a system one; the same one never is.
        if (!sub.LeftOut && (!known || info.st_dev != here.st_dev))
            sub.LeftOut = IsSystemFolder(JoinPath(folder, sub.Name));
        found.push_back(std::move(sub));
    }
    ::closedir(dir);
    return found;
}

void CollectFolders(const std::string& root, std::vector<std::string>& list, const std::atomic<bool>* stop,
                    FolderWarmer* warmer, int* leftOut) {
    struct stat info {};
    if (::stat(root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return;
    list.push_back(root);
    std::set<FolderId> entered{{info.st_dev, info.st_ino}};
    const WalkBounds bounds(root);
    // The warmer's listing when it has one, else the folder read here.
    const auto listing = [warmer, &bounds](const std::string& folder, FolderId id) {
        std::optional<std::vector<Subfolder>> subfolders =
            warmer != nullptr ? warmer->TakeSubfolders(id) : std::nullopt;
        if (!subfolders) subfolders = ReadSubfolders(folder, bounds);
        return subfolders ? std::move(*subfolders) : std::vector<Subfolder>();
    };

    // An explicit stack instead of recursion: a deep tree must not exhaust the thread's stack.
    struct Level {
        std::string Folder;
        std::vector<Subfolder> Entries;
        std::size_t Next = 0;
    };
    std::vector<Level> stack;
    stack.push_back({root, listing(root, {info.st_dev, info.st_ino})});
    while (!stack.empty()) {
        if (stop != nullptr && stop->load()) return;
        Level& level = stack.back();
        if (level.Next >= level.Entries.size()) {
            stack.pop_back();
            continue;
        }
        const Subfolder& entry = level.Entries[level.Next++];
        if (entry.LeftOut) {
            if (leftOut != nullptr) ++*leftOut;
            continue;
        }
        if (!entered.insert(entry.Id).second) continue;
        std::string path = JoinPath(level.Folder, entry.Name);
        list.push_back(path);
        std::vector<Subfolder> children = listing(path, entry.Id);
        stack.push_back({std::move(path), std::move(children)});
    }
}

namespace {

constexpr std::string_view kSidecarExtension = ".xmp";

bool IsSidecarName(std::string_view name) {
    return name.size() > kSidecarExtension.size() &&
           common::UpperAscii(name.substr(name.size() - kSidecarExtension.size())) == ".XMP";
}

// Gives each photo the sidecars of its shot (PhotoPath::Sidecars) from the folder's listing:
// `names` its other files, `sidecars` the names of its sidecars.
void AddSidecars(const std::string& folder, const std::vector<std::string>& names,
                 const std::vector<std::string>& sidecars, std::vector<PhotoPath>& photos) {
    // A sidecar by the name it belongs to: "IMG_1.CR2" for "IMG_1.CR2.xmp", "IMG_1" for "IMG_1.xmp".
    std::unordered_map<std::string_view, std::string_view> owner;
    for (const std::string& sidecar : sidecars) {
        owner.try_emplace(std::string_view(sidecar).substr(0, sidecar.size() - kSidecarExtension.size()), sidecar);
    }
    const auto stem = [](std::string_view name) { return name.substr(0, name.find_last_of('.')); };
    // The files of each shot that has a sidecar, in listing order.
    std::unordered_map<std::string_view, std::vector<std::string_view>> shots;
    for (const std::string& name : names) {
        if (CandidateKindOf(name, true) != CandidateKind::None && owner.contains(name)) {
            shots[stem(name)].push_back(name);
        }
    }
    for (PhotoPath& photo : photos) {
        const std::string_view name = std::string_view(photo.Path).substr(photo.Path.find_last_of('/') + 1);
        std::vector<std::string_view> order{name};
        if (const auto shot = shots.find(stem(name)); shot != shots.end()) {
            for (const std::string_view other : shot->second) {
                if (other != name) order.push_back(other);
            }
        }
        if (stem(name) != name) order.push_back(stem(name));
        for (const std::string_view owned : order) {
            if (const auto found = owner.find(owned); found != owner.end()) {
                photo.Sidecars.push_back(JoinPath(folder, std::string(found->second)));
            }
        }
    }
}

}  // namespace

std::vector<PhotoPath> FolderPhotos(const std::string& folder, bool withRawHeif, ListingNotes* notes) {
    std::vector<std::string> names;
    std::map<std::string, EntryKind, std::less<>> notPlain;  // usually none
    std::vector<std::string> sidecars;                       // in most folders none
    std::string problem;
    for (Entry& entry : ListFolder(folder, problem)) {
        if (IsSidecarName(entry.Name)) {
            // A link, FIFO or folder named so is no sidecar; an entry of unknown kind is looked
            // at when it is read.
            if (entry.Kind != EntryKind::NotPlain) sidecars.push_back(std::move(entry.Name));
            continue;
        }
        if (entry.Kind != EntryKind::Plain) {
            // A folder, or a link to one, named like a photo is no photo; anything else stays
            // as its listing said and is looked at before it is opened.
            struct stat info {};
            if (::stat(JoinPath(folder, entry.Name).c_str(), &info) == 0 && S_ISDIR(info.st_mode)) continue;
            notPlain.emplace(entry.Name, entry.Kind);
        }
        names.push_back(std::move(entry.Name));
    }
    if (notes != nullptr) {
        notes->Problem = std::move(problem);
        if (!withRawHeif) {
            notes->RawHeifLeftOut =
                static_cast<std::size_t>(std::count_if(names.begin(), names.end(), [](const auto& n) {
                    const CandidateKind kind = CandidateKindOf(n, true);
                    return kind == CandidateKind::Heif || kind == CandidateKind::Raw;
                }));
        }
    }
    std::vector<PhotoPath> paths;
    for (const std::string& name : ChoosePhotos(names, withRawHeif)) {
        const auto found = notPlain.find(name);
        paths.push_back({JoinPath(folder, name), found == notPlain.end() ? EntryKind::Plain : found->second});
    }
    if (!sidecars.empty()) AddSidecars(folder, names, sidecars, paths);
    return paths;
}

}  // namespace quorvela::library
