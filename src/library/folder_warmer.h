#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "folder_walk.h"

namespace quorvela::library {

// Reads a tree's folders on a few threads of its own, ahead of the run's walk, which must go
// depth first, one folder after another, to keep the run's order. On a cold disk a folder costs
// a read of a fraction of a millisecond, and a walk of thousands would wait for each in turn;
// a warm one still costs the kernel a microsecond an entry to list. The warmer keeps each
// folder's subfolders as it read them, and the walk takes them from it (TakeSubfolders).
class FolderWarmer {
  public:
    static constexpr int kThreads = 8;

    explicit FolderWarmer(const std::string& root);
    ~FolderWarmer();  // stops and joins
    FolderWarmer(const FolderWarmer&) = delete;
    FolderWarmer& operator=(const FolderWarmer&) = delete;

    // The subfolders of the folder `id` in listing order, once a thread has read it (waiting
    // for that); each folder's are given once. Nothing when it could not be read, or the
    // warmer will not read it.
    std::optional<std::vector<Subfolder>> TakeSubfolders(FolderId id);

  private:
    struct Queued {
        std::string Path;
        FolderId Id{};
    };
    void Loop();
    // Reads one folder, keeps its subfolders and queues those not seen before.
    void Warm(const Queued& folder);

    const WalkBounds bounds_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Queued> queue_;
    std::set<FolderId> seen_;
    std::map<FolderId, std::optional<std::vector<Subfolder>>> read_;  // nothing: unreadable
    int busy_ = 0;
    bool closing_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace quorvela::library
