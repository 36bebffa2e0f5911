#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace quorvela::analysis {

// Reads a tree's folders on a few threads of its own, ahead of the run's walk, so that the
// walk (which must go depth first, one folder after another, to keep the run's order) finds
// every folder listing and every subfolder's attributes in memory. On a cold disk a folder
// costs a read of a fraction of a millisecond, and a walk of thousands waits for each in
// turn. Nothing it reads is used: it only warms the kernel's caches.
class FolderWarmer {
  public:
    static constexpr int kThreads = 8;

    explicit FolderWarmer(const std::string& root);
    ~FolderWarmer();  // stops and joins
    FolderWarmer(const FolderWarmer&) = delete;
    FolderWarmer& operator=(const FolderWarmer&) = delete;

  private:
    void Loop();
    // Reads one folder and queues its subfolders.
    void Warm(const std::string& folder);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::string> queue_;
    std::set<std::pair<dev_t, ino_t>> seen_;
    int busy_ = 0;
    bool closing_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace quorvela::analysis
