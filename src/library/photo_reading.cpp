#include "photo_reading.h"

#include "metadata/img_data.h"

namespace quorvela::library {

PhotoReading ReadPhoto(const PhotoPath& photo, bool withPairs, const PhotoCache* cache, metadata::TimgData& reader,
                       FolderKeys& keys) {
    PhotoReading reading;
    std::optional<PhotoKey> key = cache != nullptr ? keys.Of(photo.Path) : std::nullopt;
    // Facts read with other sidecars, or before one was added or after one was deleted, are
    // not the photo's now.
    const std::uint64_t stamp = key && !photo.Sidecars.empty() ? SidecarStamp(photo.Sidecars) : 0;
    if (key) {
        if (auto hit = cache->Find(*key, withPairs); hit && hit->Facts.SidecarStamp == stamp) {
            reading.Facts = std::move(hit->Facts);
            reading.News.Touch = hit->Touch;
            if (hit->Touch) reading.News.Key = std::move(key);
            return reading;
        }
    }
    // With a cache the key tells: only a regular file has one.
    const bool readable = cache != nullptr ? key.has_value()
                                           : photo.Kind == EntryKind::Plain ||
                                                 (photo.Kind == EntryKind::Unknown && IsReadableFile(photo.Path));
    reading.Facts = ReadFacts(photo.Path, readable, withPairs, reader, photo.Sidecars);
    if (key && keys.Of(photo.Path) == key && reading.Facts.SidecarStamp == stamp) {
        reading.News.Key = std::move(key);
        reading.Remember = true;
    }
    return reading;
}

void Learn(PhotoCache& cache, const CacheNews& news) {
    if (!news.Key) return;
    if (news.Facts) {
        cache.Remember(*news.Key, *news.Facts);
    } else if (news.Touch) {
        cache.Touch(*news.Key);
    }
}

}  // namespace quorvela::library
