#include "folder_warmer.h"

#include <sys/stat.h>

#include <system_error>

namespace quorvela::library {

FolderWarmer::FolderWarmer(const std::string& root) : bounds_(root) {
    struct stat info {};
    if (::stat(root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return;
    const FolderId id{info.st_dev, info.st_ino};
    seen_.insert(id);
    queue_.push_back({root, id});
    threads_.reserve(kThreads);
    for (int i = 0; i < kThreads; ++i) {
        try {
            threads_.emplace_back([this] { Loop(); });
        } catch (const std::system_error&) {
            break;  // the system's limit on threads: fewer read ahead
        }
    }
    // Without a thread nothing is read ahead; the walk then reads every folder itself.
    if (threads_.empty()) queue_.clear();
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

std::optional<std::vector<Subfolder>> FolderWarmer::TakeSubfolders(FolderId id) {
    std::unique_lock lock(mutex_);
    // Every folder the walk reaches was queued when its parent was read (or is the root);
    // once nothing is queued or being read, one not read yet never will be.
    const auto known = [&] { return read_.find(id) != read_.end(); };
    wake_.wait(lock, [&] { return known() || closing_ || (queue_.empty() && busy_ == 0); });
    const auto found = read_.find(id);
    if (found == read_.end()) return std::nullopt;
    return std::move(read_.extract(found).mapped());
}

void FolderWarmer::Loop() {
    for (;;) {
        Queued folder;
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

void FolderWarmer::Warm(const Queued& folder) {
    std::optional<std::vector<Subfolder>> found = ReadSubfolders(folder.Path, bounds_);
    std::lock_guard lock(mutex_);
    if (closing_) return;
    if (found) {
        for (const Subfolder& sub : *found) {
            if (!sub.LeftOut && seen_.insert(sub.Id).second)
                queue_.push_back({JoinPath(folder.Path, sub.Name), sub.Id});
        }
    }
    read_.emplace(folder.Id, std::move(found));
}

}  // namespace quorvela::library
