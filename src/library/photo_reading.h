#pragma once

#include <optional>
#include <string>
#include <utility>

#include "folder_walk.h"
#include "photo_cache.h"
#include "photo_facts.h"

namespace quorvela::metadata {
class TimgData;
}

namespace quorvela::library {

// What the photo cache is to learn from one reading, handed to it from the run's thread.
struct CacheNews {
    std::optional<PhotoKey> Key;      // set when the cache learns something of the file
    std::optional<PhotoFacts> Facts;  // read now, to be remembered under Key
    bool Touch = false;               // remembered, and now seen again
};

// One photo's facts, and what the cache learns from them.
struct PhotoReading {
    PhotoFacts Facts;
    CacheNews News;         // Key and Touch; the facts to remember come with TakeNews
    bool Remember = false;  // Facts were read now and are to be kept under News.Key

    // What the cache is to learn, once the facts have served: they move into it.
    CacheNews TakeNews() && {
        if (Remember) News.Facts = std::move(Facts);
        return std::move(News);
    }
};

// The facts of one photo: remembered by `cache` under its key when it has them (with pairs
// when `withPairs`), else read with `reader`. A file is never opened unless it is a plain file:
// opening a FIFO or a device may block or act. A file changed while it was read may hold
// anything, so it is not remembered. `cache` may be null; `keys` is the calling thread's.
PhotoReading ReadPhoto(const PhotoPath& photo, bool withPairs, const PhotoCache* cache, metadata::TimgData& reader,
                       FolderKeys& keys);

// Gives the cache what a reading taught it: facts to remember, an entry seen again.
void Learn(PhotoCache& cache, const CacheNews& news);

}  // namespace quorvela::library
