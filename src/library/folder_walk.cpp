#include "folder_walk.h"

#include <dirent.h>
#include <sys/stat.h>

#include <functional>
#include <map>
#include <set>
#include <string_view>

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

// Every entry of a folder with what its listing says of it; no entry is looked at.
std::vector<Entry> ListFolder(const std::string& folder) {
    std::vector<Entry> entries;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return entries;
    while (const dirent* item = ::readdir(dir)) {
        const std::string_view name = item->d_name;
        if (name == "." || name == "..") continue;
        entries.push_back({std::string(name), KindOf(item->d_type)});
    }
    ::closedir(dir);
    return entries;
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

std::optional<std::vector<Subfolder>> ReadSubfolders(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return std::nullopt;
    std::vector<Subfolder> found;
    while (const dirent* item = ::readdir(dir)) {
        const std::string_view name = item->d_name;
        if (name == "." || name == "..") continue;
        // Only folders and links are of interest; a plain file needs no look of its own.
        if (item->d_type != DT_DIR && item->d_type != DT_LNK && item->d_type != DT_UNKNOWN) continue;
        struct stat info {};
        // Follows links.
        if (::fstatat(::dirfd(dir), item->d_name, &info, 0) != 0 || !S_ISDIR(info.st_mode)) continue;
        found.push_back({std::string(name), {info.st_dev, info.st_ino}});
    }
    ::closedir(dir);
    return found;
}

void CollectFolders(const std::string& root, std::vector<std::string>& list, const std::atomic<bool>* stop,
                    FolderWarmer* warmer) {
    struct stat info {};
    if (::stat(root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return;
    list.push_back(root);
    std::set<FolderId> entered{{info.st_dev, info.st_ino}};
    // The warmer's listing when it has one, else the folder read here.
    const auto listing = [warmer](const std::string& folder, FolderId id) {
        std::optional<std::vector<Subfolder>> subfolders =
            warmer != nullptr ? warmer->TakeSubfolders(id) : std::nullopt;
        if (!subfolders) subfolders = ReadSubfolders(folder);
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
        if (!entered.insert(entry.Id).second) continue;
        std::string path = JoinPath(level.Folder, entry.Name);
        list.push_back(path);
        std::vector<Subfolder> children = listing(path, entry.Id);
        stack.push_back({std::move(path), std::move(children)});
    }
}

std::vector<PhotoPath> FolderPhotos(const std::string& folder, bool withRawHeif) {
    std::vector<std::string> names;
    std::map<std::string, EntryKind, std::less<>> notPlain;  // usually none
    for (Entry& entry : ListFolder(folder)) {
        if (entry.Kind != EntryKind::Plain) notPlain.emplace(entry.Name, entry.Kind);
        names.push_back(std::move(entry.Name));
    }
    std::vector<PhotoPath> paths;
    for (const std::string& name : ChoosePhotos(names, withRawHeif)) {
        const auto found = notPlain.find(name);
        paths.push_back({JoinPath(folder, name), found == notPlain.end() ? EntryKind::Plain : found->second});
    }
    return paths;
}

}  // namespace quorvela::library
