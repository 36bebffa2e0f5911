#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "photo_facts.h"

struct sqlite3;
struct sqlite3_stmt;

namespace quorvela::library {

// What identifies one state of a file: a photo rewritten, replaced or renamed gets another.
struct PhotoKey {
    std::string Path;
    std::int64_t Size = 0;
    std::int64_t ModifiedNs = 0;  // st_mtim in nanoseconds
    std::int64_t Inode = 0;
    // st_ctim in nanoseconds: a file edited in place with its size and time put back keeps
    // everything else, but no user can set this one.
    std::int64_t ChangedNs = 0;

    bool operator==(const PhotoKey&) const = default;
};

// The key of a regular file (after following links); nothing for anything else.
std::optional<PhotoKey> KeyOf(const std::string& path);

// KeyOf for the files of one folder after another, as one thread reads them: each file is
// looked up from its folder's descriptor, which spares the kernel the walk through every
// folder above it.
class FolderKeys {
  public:
    FolderKeys() = default;
    ~FolderKeys();
    FolderKeys(const FolderKeys&) = delete;
    FolderKeys& operator=(const FolderKeys&) = delete;

    std::optional<PhotoKey> Of(const std::string& path);

  private:
    std::string folder_;  // the folder fd_ was opened for
    int fd_ = -1;
};

// The cache file when none is given: quorvela/photos.db in $XDG_CACHE_HOME, else in ~/.cache.
// Empty when neither is known.
std::filesystem::path DefaultCacheFile();

// The photos of earlier runs: one SQLite database of PhotoFacts by path, size, modification
// time, inode and reader version. Several programs may use one file at a time (WAL, a busy
// timeout). A run reads the entries of its folder in one scan (Load) and looks photos up in
// memory from its reading threads; writes are gathered and made from the run's thread, a few
// thousand to a transaction.
//
// Whatever goes wrong, a cache answers "not known" and never a wrong result: an entry whose
// key, check sum or decoding does not match is a miss, and a cache that fails is set aside
// for the rest of the run with one problem text.
class PhotoCache {
  public:
    // The rows a write transaction holds; also the most a run keeps in memory for writing.
    static constexpr std::size_t kBatch = 2000;
    // Entries not seen in a run for this many days are dropped, and beyond kMaxEntries the
    // least recently seen.
    static constexpr std::int64_t kKeepDays = 180;
    static constexpr std::int64_t kMaxEntries = 2'000'000;
    // An entry's day of last sight is written again only once it is this old: a re-run the
    // next day then writes nothing, where it would write every photo's row, and eviction after
    // half a year needs no finer day.
    static constexpr std::int64_t kTouchAfterDays = 7;
    // The layout of the database; a file of a higher one belongs to a newer program, and one of
    // a lower one is emptied. 2: the check sum takes eight bytes a step. 3: the change time is
    // part of the key.
    static constexpr int kSchemaVersion = 3;

    // Opens (or makes) the cache at `file` for readers of `readerVersion`. Nothing, with the
    // reason in `problem`, when it cannot be used. A file this program did not make is refused
    // and left exactly as it is; only a damaged file of its own is moved aside.
    static std::unique_ptr<PhotoCache> Open(const std::filesystem::path& file, std::string readerVersion,
                                            std::string& problem);
    ~PhotoCache();
    PhotoCache(const PhotoCache&) = delete;
    PhotoCache& operator=(const PhotoCache&) = delete;

    // Reads every entry of a photo in `folder` (and, with `subfolders`, at any depth below it),
    // once, before the look-ups: a scan of one range of the file, where a query per photo would
    // cost a random read each on a cold disk and a statement each on a warm one.
    void Load(const std::string& folder, bool subfolders);
    // How many entries Load read.
    [[nodiscard]] std::size_t Loaded() const { return loaded_.size(); }

    struct Hit {
        PhotoFacts Facts;
        bool Touch = false;  // not yet marked as seen today
    };
    // The facts remembered for exactly this key; with pairs when `needPairs`. Only what Load
    // read is known. Safe to call from several threads at once.
    [[nodiscard]] std::optional<Hit> Find(const PhotoKey& key, bool needPairs) const;

    // From the run's thread: facts to keep, entries seen. A full batch is written at once.
    void Remember(const PhotoKey& key, const PhotoFacts& facts);
    void Touch(const PhotoKey& key);
    // Writes what is gathered, and once a day drops old entries. False, with the reason in
    // `problem`, when the cache failed; it is then no longer used.
    bool Finish(std::string& problem);
    // True once the cache was set aside; its reason is taken by the next Finish or Problem.
    [[nodiscard]] bool Failed() const { return failed_.load(); }
    std::string TakeProblem();

    // A few bytes kept beside the photos under a name, such as what sorting needs from a
    // locale: best effort, never a reason to set the cache aside. Nothing when none was kept
    // or it does not match its check sum.
    [[nodiscard]] std::optional<std::string> Note(std::string_view name) const;
    void KeepNote(std::string_view name, std::string_view value);

    // Empties the cache file (or removes it when it is damaged). False, with the reason in
    // `problem`, when that failed or the file is not one this program made. `forgotten` (when
    // given) learns how many photos were forgotten; it is left alone when none were kept.
    static bool Forget(const std::filesystem::path& file, std::string& problem, std::int64_t* forgotten = nullptr);

  private:
    PhotoCache(std::filesystem::path file, std::string readerVersion);
    bool Prepare(std::string& problem);
    bool Flush();
    bool WriteRows();
    void Evict();
    void Fail(const std::string& problem);

    struct Row {
        PhotoKey Key;
        std::string Facts;  // encoded; empty for a touch
    };
    // An entry as stored, for Find to check and decode; its bytes are in bytes_.
    struct Stored {
        std::string_view Path;
        std::int64_t Size = 0;
        std::int64_t ModifiedNs = 0;
        std::int64_t Inode = 0;
        std::int64_t ChangedNs = 0;
        std::int64_t Seen = 0;
        std::int64_t Checksum = 0;
        std::string_view Facts;
    };
    // Keeps `bytes` for as long as the entries: a block of many entries' bytes at a time, where
    // a string each would be two allocations a photo to make and free.
    std::string_view Keep(const void* bytes, std::size_t size);

    std::filesystem::path file_;
    std::string readerVersion_;
    std::int64_t today_ = 0;
    sqlite3* db_ = nullptr;
    std::vector<Stored> loaded_;  // by path
    std::vector<std::unique_ptr<char[]>> bytes_;
    std::size_t bytesUsed_ = 0;  // of bytes_.back()
    std::size_t bytesLeft_ = 0;  // in bytes_.back()
    std::vector<Row> pending_;
    std::atomic<bool> failed_{false};
    std::mutex problemMutex_;
    std::string problem_;
};

}  // namespace quorvela::library
