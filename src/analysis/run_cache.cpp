#include "run_cache.h"

#include <cstring>
#include <string_view>

#include "library/photo_facts.h"

namespace quorvela::analysis {

RunCache::~RunCache() {
    if (loading_.valid()) loading_.wait();
}

bool RunCache::Open(const std::filesystem::path& file, char decimalSeparator, std::string& problem) {
    const std::string version = std::to_string(library::kFactsVersion) + decimalSeparator;
    cache_ = library::PhotoCache::Open(file, version, problem);
    return cache_ != nullptr;
}

void RunCache::StartLoading(const std::string& root, bool subfolders, const library::Collation& order,
                            equivalence::RememberedCameras& cameras) {
    if (!cache_) return;
    loading_ = std::async(std::launch::async, [this, root, subfolders, &order, &cameras] {
        camerasNote_ = equivalence::CameraListName();
        if (const auto note = cache_->Note(camerasNote_)) cameras.Take(*note);
        cache_->Load(root, subfolders);
        // With the locale's rank table kept from an earlier run, lists of ASCII texts are sorted
        // without ICU. Otherwise its first use reads ICU from disk, which the walk no longer
        // waits for; a run of that many remembered photos will sort long lists.
        if (const auto note = cache_->Note(order.RanksName());
            note && note->size() == sizeof(library::AsciiRankTable)) {
            library::AsciiRankTable ranks{};
            std::memcpy(ranks.data(), note->data(), ranks.size());
            order.UseRanks(ranks);
            ranksKept_ = true;
        }
        order.PrepareInBackground(cache_->Loaded());
    });
}

void RunCache::WaitLoaded() {
    if (loading_.valid()) loading_.get();
}

void RunCache::Learn(const library::CacheNews& news) {
    if (cache_) library::Learn(*cache_, news);
}

bool RunCache::Close(const library::Collation& order, const equivalence::RememberedCameras& cameras,
                     std::string& problem) {
    WaitLoaded();
    if (!cache_) return true;
    if (!ranksKept_) {
        if (const auto made = order.MadeRanks()) {
            cache_->KeepNote(order.RanksName(),
                             std::string_view(reinterpret_cast<const char*>(made->data()), made->size()));
        }
    }
    if (cameras.Changed()) cache_->KeepNote(camerasNote_, cameras.Text());
    const bool finished = cache_->Finish(problem);
    cache_.reset();
    return finished;
}

}  // namespace quorvela::analysis
