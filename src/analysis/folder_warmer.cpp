#include "folder_warmer.h"

#include <dirent.h>
#include <sys/stat.h>

namespace quorvela::analysis {

FolderWarmer::FolderWarmer(const std::string& root) {
    struct stat info {};
    if (::stat(root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return;
    seen_.insert({info.st_dev, info.st_ino});
    queue_.push_back(root);
    threads_.reserve(kThreads);
    for (int i = 0; i < kThreads; ++i) threads_.emplace_back([this] { Loop(); });
}

FolderWarmer::~FolderWarmer() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void FolderWarmer::Loop() {
    for (;;) {
        std::string folder;
        {
            std::unique_lock lock(mutex_);
            // Done when nothing is queued and no thread may still queue more.
            wake_.wait(lock, [&] { return closing_ || !queue_.empty() || busy_ == 0; });
            if (closing_ || queue_.empty()) break;
            folder = std::move(queue_.front());
            queue_.pop_front();
            ++busy_;
        }
        Warm(folder);
        {
            std::lock_guard lock(mutex_);
            --busy_;
        }
        wake_.notify_all();
    }
    wake_.notify_all();
}

void FolderWarmer::Warm(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    const std::string base = folder.ends_with('/') ? folder : folder + '/';
    std::vector<std::string> found;
    while (const dirent* item = ::readdir(dir)) {
        const std::string_view name = item->d_name;
        if (name == "." || name == "..") continue;
        // The walk looks at folders and links only; a plain file needs nothing more.
        if (item->d_type != DT_DIR && item->d_type != DT_LNK && item->d_type != DT_UNKNOWN) continue;
        struct stat info {};
        const std::string path = base + std::string(name);
        if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) continue;
        std::lock_guard lock(mutex_);
        if (closing_) break;
        if (seen_.insert({info.st_dev, info.st_ino}).second) found.push_back(path);
    }
    ::closedir(dir);
    if (found.empty()) return;
    {
        std::lock_guard lock(mutex_);
        if (closing_) return;
        for (std::string& path : found) queue_.push_back(std::move(path));
    }
    wake_.notify_all();
}

}  // namespace quorvela::analysis
