#pragma once

#include <filesystem>
#include <future>
#include <memory>
#include <string>

#include "equivalence/camera_database.h"
#include "library/collation.h"
#include "library/photo_cache.h"
#include "library/photo_reading.h"

namespace quorvela::analysis {

// The photo cache as a run uses it: the facts of its folder's photos, and beside them what
// spares a re-run other reading (the locale's rank table for sorting, lensfun's crop factors
// of the cameras met). Every step does nothing when the cache is not open.
class RunCache {
  public:
    RunCache() = default;
    ~RunCache();
    RunCache(const RunCache&) = delete;
    RunCache& operator=(const RunCache&) = delete;

    // Opens `file` for facts rendered with `decimalSeparator`; false, with the reason in
    // `problem`, when it cannot be used.
    bool Open(const std::filesystem::path& file, char decimalSeparator, std::string& problem);
    // Starts reading, on a thread of its own, the entries of the photos under `root` and what
    // the cache keeps for `order` and `cameras`: on a cold disk the folder walk waits for reads
    // as well.
    void StartLoading(const std::string& root, bool subfolders, const library::Collation& order,
                      equivalence::RememberedCameras& cameras);
    // Waits for the loading; the look-ups need it done.
    void WaitLoaded();
    // The photos remembered, for look-ups from any thread; null when the cache is not open.
    [[nodiscard]] const library::PhotoCache* Photos() const { return cache_.get(); }
    // From the run's thread.
    void Learn(const library::CacheNews& news);
    // Keeps what the run made of `order` and `cameras`, writes what is gathered and closes
    // the cache. False, with the reason in `problem`, when the cache failed.
    bool Close(const library::Collation& order, const equivalence::RememberedCameras& cameras, std::string& problem);

  private:
    std::unique_ptr<library::PhotoCache> cache_;
    std::future<void> loading_;
    bool ranksKept_ = false;  // the collation's rank table came from the cache
    std::string camerasNote_;
};

}  // namespace quorvela::analysis
