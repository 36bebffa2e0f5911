#pragma once

#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "file_pool.h"
#include "folder_walk.h"

namespace quorvela::library {

// What a reading of folders hands over, in the order a reading of one file after another
// takes: each folder's start, its photos' outcomes, its end.
template <typename Outcome>
class InOrder {
  public:
    virtual ~InOrder() = default;
    // The next folder holds `photos` photos; what its listing told besides.
    virtual void FolderStart(std::size_t photos, const ListingNotes& notes) = 0;
    // The next photo's outcome; false stops the reading, after the end of its folder.
    virtual bool Photo(Outcome outcome) = 0;
    // The folder at `index` of the list is done; false stops the reading.
    virtual bool FolderEnd(std::size_t index) = 0;
};

// How a reading reads: `Jobs` threads (at most; see PoolSizing), 1 reads every photo on the
// caller's thread.
struct ReadingPlan {
    int Jobs = 1;
    PoolSizing Sizing = PoolSizing::Fixed;
    bool WithRawHeif = true;  // ChoosePhotos's choice
};

// Reads the photos of `folders` (FolderPhotos of each) with `work`, and hands each folder's
// start, its outcomes and its end to `steps` in the order of a reading one after another: the
// result does not depend on the threads. Several threads read ahead of `steps` by a bounded
// number of photos, across folder boundaries, so that small folders do not leave them idle;
// on a stop what they read ahead is dropped. A photo whose work throws gives `failed`; the
// exceptions are counted in the result.
template <typename Outcome>
WorkFailures::Counts ReadInOrder(const std::vector<std::string>& folders, const ReadingPlan& plan,
                                 const typename FilePool<Outcome>::Work& work, const Outcome& failed,
                                 InOrder<Outcome>& steps) {
    std::unique_ptr<FilePool<Outcome>> pool;
    if (plan.Jobs > 1) {
        try {
            pool = std::make_unique<FilePool<Outcome>>(plan.Jobs, work, failed, plan.Sizing);
        } catch (const std::exception&) {
            // The system gives no thread to read with: the photos are read here.
        }
    }
    if (!pool) {
        WorkFailures failures;
        for (std::size_t i = 0; i < folders.size(); ++i) {
            ListingNotes notes;
            const std::vector<PhotoPath> photos = FolderPhotos(folders[i], plan.WithRawHeif, &notes);
            steps.FolderStart(photos.size(), notes);
            for (const PhotoPath& photo : photos) {
                if (!steps.Photo(Attempt(work, photo, 0, failed, failures))) break;
            }
            if (!steps.FolderEnd(i)) break;
        }
        return failures.Take();
    }

    enum class Kind { FolderStart, Photo, FolderEnd };
    struct Step {
        Kind What;
        std::size_t Count = 0;    // FolderStart: the folder's photos; FolderEnd: its index
        ListingNotes Notes = {};  // FolderStart
    };
    const std::size_t ahead = static_cast<std::size_t>(plan.Jobs) * 16;
    std::deque<Step> queued;
    std::size_t next = 0;
    for (;;) {
        while (next < folders.size() && pool->Pending() < ahead) {
            ListingNotes notes;
            std::vector<PhotoPath> photos = FolderPhotos(folders[next], plan.WithRawHeif, &notes);
            queued.push_back({Kind::FolderStart, photos.size(), std::move(notes)});
            queued.insert(queued.end(), photos.size(), Step{Kind::Photo});
            pool->Submit(std::move(photos));
            queued.push_back({Kind::FolderEnd, next});
            ++next;
        }
        if (queued.empty()) return pool->TakeFailures();
        const Step step = std::move(queued.front());
        queued.pop_front();
        bool goOn = true;
        switch (step.What) {
            case Kind::FolderStart:
                steps.FolderStart(step.Count, step.Notes);
                break;
            case Kind::Photo:
                goOn = steps.Photo(pool->TakeNext());
                break;
            case Kind::FolderEnd:
                goOn = steps.FolderEnd(step.Count);
                break;
        }
        if (goOn) continue;
        // Stopped: what was read ahead is dropped; the folder being handed over still ends as
        // it would have without the threads running ahead.
        pool->Cancel();
        if (step.What == Kind::Photo) {
            while (!queued.empty() && queued.front().What != Kind::FolderEnd) queued.pop_front();
            if (!queued.empty()) steps.FolderEnd(queued.front().Count);
        }
        return pool->TakeFailures();
    }
}

}  // namespace quorvela::library
