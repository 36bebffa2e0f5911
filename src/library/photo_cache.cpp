#include "photo_cache.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

#include "metadata/byte_order.h"

namespace quorvela::library {

namespace fs = std::filesystem;

namespace {

constexpr int kBusyMilliseconds = 3000;

constexpr const char* kCreate =
    "CREATE TABLE IF NOT EXISTS photos ("
    " path BLOB NOT NULL, reader TEXT NOT NULL, size INTEGER NOT NULL, mtime_ns INTEGER NOT NULL,"
    " inode INTEGER NOT NULL, ctime_ns INTEGER NOT NULL, seen INTEGER NOT NULL, facts BLOB NOT NULL,"
    " checksum INTEGER NOT NULL,"
    " PRIMARY KEY (path, reader)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS meta (name TEXT PRIMARY KEY, value INTEGER NOT NULL);";

std::int64_t Today() {
    using namespace std::chrono;
    return duration_cast<days>(system_clock::now().time_since_epoch()).count();
}

// A check sum over every field of a row, eight bytes a step: a damaged page that still decodes
// is caught here. Each field ends with its length, so bytes cannot move from one to the next.
std::int64_t Checksum(std::string_view path, std::int64_t size, std::int64_t modifiedNs, std::int64_t inode,
                      std::int64_t changedNs, std::string_view reader, std::string_view facts) {
    std::uint64_t hash = 0x9E3779B97F4A7C15ULL;
    const auto mix = [&hash](std::uint64_t word) {
        hash ^= word;
        hash *= 0xBF58476D1CE4E5B9ULL;
        hash ^= hash >> 31;
    };
    const auto add = [&mix](std::string_view bytes) {
        std::size_t at = 0;
        for (; at + 8 <= bytes.size(); at += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes.data() + at, 8);
            mix(word);
        }
        std::uint64_t rest = 0;
        if (at < bytes.size()) std::memcpy(&rest, bytes.data() + at, bytes.size() - at);  // none from an empty view
        mix(rest);
        mix(bytes.size());
    };
    add(path);
    add(reader);
    add(facts);
    for (const std::int64_t n : {size, modifiedNs, inode, changedNs}) mix(static_cast<std::uint64_t>(n));
    return static_cast<std::int64_t>(hash);
}

// A statement that closes itself.
class Statement {
  public:
    Statement(sqlite3* db, const char* sql) { code_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    [[nodiscard]] bool Ok() const { return code_ == SQLITE_OK; }
    [[nodiscard]] sqlite3_stmt* Get() const { return stmt_; }

  private:
    sqlite3_stmt* stmt_ = nullptr;
    int code_ = SQLITE_OK;
};

bool Exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::optional<std::int64_t> SingleInteger(sqlite3* db, const char* sql) {
    Statement statement(db, sql);
    if (!statement.Ok() || sqlite3_step(statement.Get()) != SQLITE_ROW) return std::nullopt;
    return sqlite3_column_int64(statement.Get(), 0);
}

bool IsDamage(int code) {
    const int primary = code & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

std::string ReasonText(sqlite3* db, const fs::path& file) {
    const int code = db != nullptr ? sqlite3_extended_errcode(db) & 0xFF : SQLITE_CANTOPEN;
    const std::string name = file.string();
    switch (code) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return name + " is in use by another program";
        case SQLITE_FULL:
            return "the disk of " + name + " is full";
        case SQLITE_READONLY:
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return name + " cannot be written";
        default:
            return name + ": " + (db != nullptr ? sqlite3_errmsg(db) : "cannot be opened");
    }
}

// A damaged file cannot be mended: it is moved aside, with its journal, so the next run
// starts a new one. Only a file of this program's (see OwnerOf) is ever moved, and never onto
// another file.
std::string SetDamagedFileAside(const fs::path& file) {
    std::string said = file.string() + " is damaged";
    std::string why = "too many damaged files beside it";
    for (int attempt = 0; attempt < 10; ++attempt) {
        std::string aside = file.string() + ".damaged";
        if (attempt > 0) aside.append(".").append(std::to_string(attempt));
        if (::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
            std::error_code error;
            for (const char* suffix : {"-wal", "-shm"}) fs::remove(fs::path(file.string() + suffix), error);
            return said.append("; it was moved to ").append(aside);
        }
        if (errno != EEXIST) {
            why = std::strerror(errno);
            break;
        }
    }
    return said.append(" and could not be moved aside (").append(why).append(")");
}

// Whose file is this? Only a file this program made, recognised by the SQLite application id
// in its header, is changed, emptied or moved; a missing or empty file is made anew. Files
// from before the mark are recognised by their tables and get the mark on first use.
enum class Owner { Nobody, Us, Someone };

constexpr std::uint32_t kApplicationId = 0x51564C41;  // "QVLA"

bool HasOurLayout(const fs::path& file) {
    sqlite3* db = nullptr;
    bool ours = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK;
    if (ours) {
        const auto version = SingleInteger(db, "PRAGMA user_version");
        const auto photos = SingleInteger(
            db, "SELECT count(*) FROM pragma_table_info('photos') WHERE name IN ('path', 'reader', 'facts')");
        const auto others =
            SingleInteger(db,
                          "SELECT count(*) FROM sqlite_master WHERE name NOT IN ('photos', 'meta', 'notes')"
                          " AND name NOT LIKE 'sqlite_autoindex_%'");
        ours = version && *version >= 1 && *version <= PhotoCache::kSchemaVersion && photos == 3 && others == 0;
    }
    sqlite3_close(db);
    return ours;
}

Owner OwnerOf(const fs::path& file, std::string& refusal) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) return Owner::Nobody;  // to be made; SQLite says why it cannot
    refusal = file.string() + " is not a file of remembered photos; it was left as it is";
    if (!S_ISREG(info.st_mode)) return Owner::Someone;
    if (info.st_size == 0) return Owner::Nobody;
    std::array<std::uint8_t, 100> header{};
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        refusal = file.string() + " cannot be read (" + std::strerror(errno) + ")";
        return Owner::Someone;
    }
    const ssize_t got = ::pread(fd, header.data(), header.size(), 0);
    ::close(fd);
    constexpr std::string_view kMagic("SQLite format 3\0", 16);
    if (got != static_cast<ssize_t>(header.size()) || std::memcmp(header.data(), kMagic.data(), kMagic.size()) != 0) {
        return Owner::Someone;
    }
    const auto id = metadata::LoadBe(header, 68, 4);
    if (id == kApplicationId) return Owner::Us;
    if (id == 0 && HasOurLayout(file)) return Owner::Us;
    return Owner::Someone;
}

// Asks the kernel to read the whole file now, in large sequential reads: a scan follows the
// tree's pages in an order no readahead foresees, and a cold run would wait for each one.
void Preload(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_WILLNEED);
    ::close(fd);
}

void BindKey(sqlite3_stmt* stmt, const PhotoKey& key, const std::string& reader) {
    sqlite3_bind_blob(stmt, 1, key.Path.data(), static_cast<int>(key.Path.size()), SQLITE_STATIC);
    sqlite3_bind_text(stmt, 2, reader.data(), static_cast<int>(reader.size()), SQLITE_STATIC);
}

}  // namespace

namespace {

std::optional<PhotoKey> KeyFrom(const struct stat& info, const std::string& path) {
    if (!S_ISREG(info.st_mode)) return std::nullopt;
    PhotoKey key;
    key.Path = path;
    key.Size = info.st_size;
    key.ModifiedNs = std::int64_t{info.st_mtim.tv_sec} * 1'000'000'000 + info.st_mtim.tv_nsec;
    key.Inode = static_cast<std::int64_t>(info.st_ino);
    key.ChangedNs = std::int64_t{info.st_ctim.tv_sec} * 1'000'000'000 + info.st_ctim.tv_nsec;
    return key;
}

}  // namespace

std::optional<PhotoKey> KeyOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return KeyFrom(info, path);
}

FolderKeys::~FolderKeys() {
    if (fd_ >= 0) ::close(fd_);
}

std::optional<PhotoKey> FolderKeys::Of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size()) return KeyOf(path);
    const std::string_view folder(path.data(), slash == 0 ? 1 : slash);
    if (folder != folder_) {
        if (fd_ >= 0) ::close(fd_);
        folder_ = folder;
        fd_ = ::open(folder_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    if (fd_ < 0) return KeyOf(path);
    struct stat info {};
    // Follows links, as KeyOf does.
    if (::fstatat(fd_, path.c_str() + slash + 1, &info, 0) != 0) return std::nullopt;
    return KeyFrom(info, path);
}

fs::path DefaultCacheFile() {
    fs::path folder;
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg != nullptr && xdg[0] == '/') {
        folder = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        folder = fs::path(home) / ".cache";
    } else {
        return {};
    }
    return folder / "quorvela" / "photos.db";
}

PhotoCache::PhotoCache(fs::path file, std::string readerVersion)
    : file_(std::move(file)), readerVersion_(std::move(readerVersion)), today_(Today()) {}

PhotoCache::~PhotoCache() {
    sqlite3_close(db_);
}

std::unique_ptr<PhotoCache> PhotoCache::Open(const fs::path& file, std::string readerVersion, std::string& problem) {
    std::error_code error;
    if (!file.parent_path().empty()) fs::create_directories(file.parent_path(), error);
    if (error) {
        problem = "the folder " + file.parent_path().string() + " cannot be made (" + error.message() + ")";
        return nullptr;
    }
    if (OwnerOf(file, problem) == Owner::Someone) return nullptr;
    problem.clear();
    for (const char* suffix : {"", "-wal"}) Preload(fs::path(file.string() + suffix));
    std::unique_ptr<PhotoCache> cache(new PhotoCache(file, std::move(readerVersion)));
    if (!cache->Prepare(problem)) return nullptr;
    return cache;
}

bool PhotoCache::Prepare(std::string& problem) {
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    const auto fail = [&] {
        const bool damaged = db_ != nullptr && IsDamage(sqlite3_extended_errcode(db_));
        problem = damaged ? SetDamagedFileAside(file_) : ReasonText(db_, file_);
        return false;
    };
    if (sqlite3_open_v2(file_.c_str(), &db_, flags, nullptr) != SQLITE_OK) return fail();
    sqlite3_busy_timeout(db_, kBusyMilliseconds);
    const auto version = SingleInteger(db_, "PRAGMA user_version");
    if (!version) return fail();
    if (*version > kSchemaVersion) {
        problem = file_.string() + " was made by a newer version of Quorvela";
        return false;
    }
    if (sqlite3_db_readonly(db_, "main") == 1) {
        problem = file_.string() + " cannot be written";
        return false;
    }
    // A file made now carries the mark before anything else is written to it; one from before
    // the mark gets it on its first use.
    if (SingleInteger(db_, "PRAGMA application_id") != kApplicationId) {
        const std::string mark = "PRAGMA application_id = " + std::to_string(kApplicationId);
        if (!Exec(db_, mark.c_str())) return fail();
    }
    // Switching to WAL needs a moment alone with the file; another program opening it at the
    // same time makes it wait a little.
    bool wal = false;
    for (int attempt = 0; attempt < 50 && !wal; ++attempt) {
        Statement mode(db_, "PRAGMA journal_mode = WAL");
        wal = mode.Ok() && sqlite3_step(mode.Get()) == SQLITE_ROW &&
              std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(mode.Get(), 0))) == "wal";
        if (!wal && (sqlite3_extended_errcode(db_) & 0xFF) != SQLITE_BUSY) break;
        if (!wal) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!wal || !Exec(db_, "PRAGMA synchronous = NORMAL")) return fail();
    // A file of this layout needs no writing to be used: a run that finds nothing new then
    // writes nothing at all.
    if (*version == kSchemaVersion &&
        SingleInteger(db_, "SELECT count(*) FROM sqlite_master WHERE name IN ('photos', 'meta')") == 2) {
        return true;
    }
    if (!Exec(db_, "BEGIN IMMEDIATE")) return fail();
    const auto inside = SingleInteger(db_, "PRAGMA user_version");
    bool ok = inside.has_value() && *inside <= kSchemaVersion;
    // An older layout holds nothing this program can use.
    if (ok && *inside != kSchemaVersion && *inside != 0) ok = Exec(db_, "DROP TABLE IF EXISTS photos");
    const std::string mark = "PRAGMA user_version = " + std::to_string(kSchemaVersion);
    ok = ok && Exec(db_, kCreate) && Exec(db_, mark.c_str()) && Exec(db_, "COMMIT");
    if (ok) return true;
    const bool newer = inside.has_value() && *inside > kSchemaVersion;
    fail();
    if (newer) problem = file_.string() + " was made by a newer version of Quorvela";
    Exec(db_, "ROLLBACK");
    return false;
}

std::string_view PhotoCache::Keep(const void* bytes, std::size_t size) {
    constexpr std::size_t kBlock = std::size_t{1} << 20;
    if (size == 0 || bytes == nullptr) return {};
    if (size > bytesLeft_) {
        bytesLeft_ = std::max(size, kBlock);
        bytes_.push_back(std::make_unique<char[]>(bytesLeft_));
        bytesUsed_ = 0;
    }
    char* at = bytes_.back().get() + bytesUsed_;
    std::memcpy(at, bytes, size);
    bytesUsed_ += size;
    bytesLeft_ -= size;
    return {at, size};
}

void PhotoCache::Load(const std::string& folder, bool subfolders) {
    loaded_.clear();
    bytes_.clear();
    bytesLeft_ = 0;
    if (failed_.load()) return;
    const std::string from = folder.ends_with('/') ? folder : folder + '/';
    std::string to = from;
    to.back() = '/' + 1;  // just past every path that starts with `from`
    Statement select(db_,
                     "SELECT path, size, mtime_ns, inode, ctime_ns, seen, facts, checksum FROM photos"
                     " WHERE path >= ?1 AND path < ?2 AND reader = ?3");
    if (!select.Ok()) return;
    sqlite3_stmt* stmt = select.Get();
    sqlite3_bind_blob(stmt, 1, from.data(), static_cast<int>(from.size()), SQLITE_STATIC);
    sqlite3_bind_blob(stmt, 2, to.data(), static_cast<int>(to.size()), SQLITE_STATIC);
    sqlite3_bind_text(stmt, 3, readerVersion_.data(), static_cast<int>(readerVersion_.size()), SQLITE_STATIC);
    const auto bytes = [stmt](int column) {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt, column));
        return data == nullptr ? std::string_view()
                               : std::string_view(data, static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)));
    };
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(stmt)) == SQLITE_ROW) {
        const std::string_view path = bytes(0);
        // A run of one folder holds no entries of the folders below it.
        if (!subfolders && path.find('/', from.size()) != std::string_view::npos) continue;
        Stored& entry = loaded_.emplace_back();
        entry.Path = Keep(path.data(), path.size());
        entry.Size = sqlite3_column_int64(stmt, 1);
        entry.ModifiedNs = sqlite3_column_int64(stmt, 2);
        entry.Inode = sqlite3_column_int64(stmt, 3);
        entry.ChangedNs = sqlite3_column_int64(stmt, 4);
        entry.Seen = sqlite3_column_int64(stmt, 5);
        const std::string_view facts = bytes(6);
        entry.Facts = Keep(facts.data(), facts.size());
        entry.Checksum = sqlite3_column_int64(stmt, 7);
    }
    if (step != SQLITE_DONE) {
        // What was read is still checked entry by entry; a damaged file is not used again.
        if (IsDamage(sqlite3_extended_errcode(db_))) Fail(file_.string() + " is damaged");
    }
    // The index gives them in path order already; Find must not depend on that.
    const auto byPath = [](const Stored& a, const Stored& b) { return a.Path < b.Path; };
    if (!std::is_sorted(loaded_.begin(), loaded_.end(), byPath)) std::sort(loaded_.begin(), loaded_.end(), byPath);
}

std::optional<PhotoCache::Hit> PhotoCache::Find(const PhotoKey& key, bool needPairs) const {
    if (failed_.load()) return std::nullopt;
    const auto it = std::lower_bound(loaded_.begin(), loaded_.end(), std::string_view(key.Path),
                                     [](const Stored& entry, std::string_view path) { return entry.Path < path; });
    if (it == loaded_.end() || it->Path != key.Path || it->Size != key.Size || it->ModifiedNs != key.ModifiedNs ||
        it->Inode != key.Inode || it->ChangedNs != key.ChangedNs ||
        Checksum(it->Path, it->Size, it->ModifiedNs, it->Inode, it->ChangedNs, readerVersion_, it->Facts) !=
            it->Checksum) {
        return std::nullopt;
    }
    auto decoded = DecodeFacts(it->Facts);
    if (!decoded || (needPairs && !decoded->MakerNotePairsRead)) return std::nullopt;
    return Hit{std::move(*decoded), today_ - it->Seen >= kTouchAfterDays};
}

std::optional<std::string> PhotoCache::Note(std::string_view name) const {
    if (failed_.load()) return std::nullopt;
    // The table is made by the first note kept: a file without one has none.
    Statement select(db_, "SELECT value, checksum FROM notes WHERE name = ?1");
    if (!select.Ok()) return std::nullopt;
    sqlite3_bind_text(select.Get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
    if (sqlite3_step(select.Get()) != SQLITE_ROW) return std::nullopt;
    const auto* data = static_cast<const char*>(sqlite3_column_blob(select.Get(), 0));
    std::string value;
    if (data != nullptr) value.assign(data, static_cast<std::size_t>(sqlite3_column_bytes(select.Get(), 0)));
    if (Checksum(name, 0, 0, 0, 0, {}, value) != sqlite3_column_int64(select.Get(), 1)) return std::nullopt;
    return value;
}

void PhotoCache::KeepNote(std::string_view name, std::string_view value) {
    if (failed_.load()) return;
    // Not worth a wait for another program that holds the file.
    sqlite3_busy_timeout(db_, 0);
    const bool began = Exec(db_, "BEGIN IMMEDIATE");
    sqlite3_busy_timeout(db_, kBusyMilliseconds);
    if (!began) return;
    bool ok = Exec(db_,
                   "CREATE TABLE IF NOT EXISTS notes (name TEXT PRIMARY KEY, value BLOB NOT NULL,"
                   " checksum INTEGER NOT NULL)");
    if (ok) {
        Statement insert(db_, "INSERT OR REPLACE INTO notes (name, value, checksum) VALUES (?1, ?2, ?3)");
        ok = insert.Ok();
        if (ok) {
            sqlite3_bind_text(insert.Get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
            sqlite3_bind_blob(insert.Get(), 2, value.empty() ? "" : value.data(), static_cast<int>(value.size()),
                              SQLITE_STATIC);
            sqlite3_bind_int64(insert.Get(), 3, Checksum(name, 0, 0, 0, 0, {}, value));
            ok = sqlite3_step(insert.Get()) == SQLITE_DONE;
        }
    }
    // A note that cannot be kept is made again next time.
    Exec(db_, ok ? "COMMIT" : "ROLLBACK");
}

void PhotoCache::Remember(const PhotoKey& key, const PhotoFacts& facts) {
    if (failed_.load()) return;
    pending_.push_back({key, EncodeFacts(facts)});
    if (pending_.size() >= kBatch) Flush();
}

void PhotoCache::Touch(const PhotoKey& key) {
    if (failed_.load()) return;
    pending_.push_back({key, {}});
    if (pending_.size() >= kBatch) Flush();
}

bool PhotoCache::Flush() {
    if (failed_.load()) return false;
    if (pending_.empty()) return true;
    const bool ok = Exec(db_, "BEGIN IMMEDIATE") && WriteRows() && Exec(db_, "COMMIT");
    if (!ok) {
        const bool damaged = IsDamage(sqlite3_extended_errcode(db_));
        const std::string reason = ReasonText(db_, file_);
        Exec(db_, "ROLLBACK");
        Fail(damaged ? SetDamagedFileAside(file_) : reason);
    }
    pending_.clear();
    return ok;
}

bool PhotoCache::WriteRows() {
    Statement insert(db_,
                     "INSERT OR REPLACE INTO photos"
                     " (path, reader, size, mtime_ns, inode, ctime_ns, seen, facts, checksum)"
                     " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
    Statement touch(db_, "UPDATE photos SET seen = ?3 WHERE path = ?1 AND reader = ?2");
    if (!insert.Ok() || !touch.Ok()) return false;
    for (const Row& row : pending_) {
        sqlite3_stmt* stmt = row.Facts.empty() ? touch.Get() : insert.Get();
        BindKey(stmt, row.Key, readerVersion_);
        if (row.Facts.empty()) {
            sqlite3_bind_int64(stmt, 3, today_);
        } else {
            sqlite3_bind_int64(stmt, 3, row.Key.Size);
            sqlite3_bind_int64(stmt, 4, row.Key.ModifiedNs);
            sqlite3_bind_int64(stmt, 5, row.Key.Inode);
            sqlite3_bind_int64(stmt, 6, row.Key.ChangedNs);
            sqlite3_bind_int64(stmt, 7, today_);
            sqlite3_bind_blob(stmt, 8, row.Facts.data(), static_cast<int>(row.Facts.size()), SQLITE_STATIC);
            sqlite3_bind_int64(stmt, 9,
                               Checksum(row.Key.Path, row.Key.Size, row.Key.ModifiedNs, row.Key.Inode,
                                        row.Key.ChangedNs, readerVersion_, row.Facts));
        }
        const int step = sqlite3_step(stmt);
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
        if (step != SQLITE_DONE) return false;
    }
    return true;
}

void PhotoCache::Evict() {
    // Once a day is enough: old entries only matter for the file's size.
    const auto last = SingleInteger(db_, "SELECT value FROM meta WHERE name = 'evicted'");
    if (last && *last >= today_) return;
    if (!Exec(db_, "BEGIN IMMEDIATE")) return;
    Statement old(db_, "DELETE FROM photos WHERE seen < ?1");
    bool ok = old.Ok();
    if (ok) {
        sqlite3_bind_int64(old.Get(), 1, today_ - kKeepDays);
        ok = sqlite3_step(old.Get()) == SQLITE_DONE;
    }
    const auto count = SingleInteger(db_, "SELECT count(*) FROM photos");
    if (ok && count && *count > kMaxEntries) {
        Statement excess(db_,
                         "DELETE FROM photos WHERE (path, reader) IN"
                         " (SELECT path, reader FROM photos ORDER BY seen LIMIT ?1)");
        ok = excess.Ok();
        if (ok) {
            sqlite3_bind_int64(excess.Get(), 1, *count - kMaxEntries);
            ok = sqlite3_step(excess.Get()) == SQLITE_DONE;
        }
    }
    Statement mark(db_, "INSERT OR REPLACE INTO meta (name, value) VALUES ('evicted', ?1)");
    if (ok && mark.Ok()) {
        sqlite3_bind_int64(mark.Get(), 1, today_);
        ok = sqlite3_step(mark.Get()) == SQLITE_DONE;
    }
    Exec(db_, ok ? "COMMIT" : "ROLLBACK");
}

bool PhotoCache::Finish(std::string& problem) {
    if (Flush() && !failed_.load()) Evict();
    problem = TakeProblem();
    return problem.empty();
}

void PhotoCache::Fail(const std::string& problem) {
    std::lock_guard lock(problemMutex_);
    if (failed_.exchange(true)) return;
    problem_ = problem;
}

std::string PhotoCache::TakeProblem() {
    std::lock_guard lock(problemMutex_);
    return std::exchange(problem_, {});
}

bool PhotoCache::Forget(const fs::path& file, std::string& problem, std::int64_t* forgotten) {
    std::error_code error;
    if (!fs::exists(file, error)) return true;
    if (OwnerOf(file, problem) == Owner::Someone) return false;
    problem.clear();
    sqlite3* db = nullptr;
    bool ok = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
    if (ok) {
        sqlite3_busy_timeout(db, kBusyMilliseconds);
        ok = Exec(db, "DELETE FROM photos");
        if (ok && forgotten != nullptr) *forgotten = sqlite3_changes64(db);
        if (ok) Exec(db, "DROP TABLE IF EXISTS notes");
        if (ok) Exec(db, "VACUUM");  // gives the space back; another program using the file may prevent it
        const int code = sqlite3_extended_errcode(db);
        if (!ok && (IsDamage(code) || code == SQLITE_ERROR)) {
            // Nothing in a damaged file, or one of another layout, is worth keeping.
            sqlite3_close(db);
            db = nullptr;
            for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(fs::path(file.string() + suffix), error);
            ok = !fs::exists(file, error);
        }
    }
    if (!ok) problem = ReasonText(db, file);
    sqlite3_close(db);
    return ok;
}

}  // namespace quorvela::library
