// A run with the photo cache must report exactly what a run reading every photo reports:
// after filling it, from it, after photos change between runs, and when the cache file
// cannot be used.

#include "library/photo_cache.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "analysis/analysis_run.h"
#include "analysis/tallies.h"
#include "library/folder_warmer.h"
#include "library/photo_facts.h"
#include "support/test_files.h"

namespace quorvela::analysis {
namespace {

using library::Collation;
using library::CollectFolders;
using library::DecodeFacts;
using library::DefaultCacheFile;
using library::EncodeFacts;
using library::FolderWarmer;
using library::PhotoCache;
using library::PhotoFacts;

namespace fs = std::filesystem;

struct Outcome {
    AnalysisResult Result;
    std::vector<MessageKind> Kinds;
};

class Messages : public AnalysisObserver {
  public:
    std::vector<MessageKind> Kinds;
    void Message(MessageKind kind, const std::string&) override { Kinds.push_back(kind); }
};

const equivalence::EquivalentList& Table() {
    static const equivalence::EquivalentList table = [] {
        equivalence::EquivalentList list;
        equivalence::ReadEquivalentData(QUORVELA_SOURCE_DIR "/data/cam_equiv.exp", list);
        return list;
    }();
    return table;
}

Outcome RunOn(const fs::path& root, AnalysisSettings settings, const fs::path& cache, int jobs = 2,
              char separator = '.') {
    settings.RootFolder = root.string();
    RunEnvironment environment;
    environment.DecimalSeparator = separator;
    environment.Table = &Table();
    environment.Jobs = jobs;
    environment.CacheFile = cache;
    Messages observer;
    Outcome outcome{StartAnalyzing(settings, environment, observer), observer.Kinds};
    return outcome;
}

void ExpectSame(const AnalysisResult& a, const AnalysisResult& b, const std::string& what) {
    EXPECT_EQ(a.Outcome, b.Outcome) << what;
    EXPECT_EQ(a.FilesFound, b.FilesFound) << what;
    EXPECT_EQ(a.FilesAnalysed, b.FilesAnalysed) << what;
    EXPECT_EQ(a.RunSummaryText, b.RunSummaryText) << what;
    for (const Quantity q : kQuantities) {
        ASSERT_EQ(a.Tables[q].size(), b.Tables[q].size()) << what << " quantity " << IndexOf(q);
        for (std::size_t i = 0; i < a.Tables[q].size(); ++i) {
            EXPECT_EQ(a.Tables[q][i].Category, b.Tables[q][i].Category) << what;
            EXPECT_EQ(a.Tables[q][i].Count, b.Tables[q][i].Count) << what;
        }
    }
    EXPECT_EQ(a.PathLines, b.PathLines) << what;
    EXPECT_EQ(a.LinePaths, b.LinePaths) << what;
    EXPECT_EQ(a.Messages, b.Messages) << what;
}

struct OptionSet {
    const char* Name;
    void (*Apply)(AnalysisSettings&);
    char Separator = '.';
};

const OptionSet kOptionSets[] = {
    {"defaults", [](AnalysisSettings&) {}},
    {"no steps", [](AnalysisSettings& s) { s.UseSteps = false; }},
    {"step 5 ignore 0", [](AnalysisSettings& s) { s.StepSize = 5, s.IgnoreUpTo = 0; }},
    {"fraction shutter", [](AnalysisSettings& s) { s.FractionShutter = true; }},
    {"iso lines", [](AnalysisSettings& s) { s.PathList = Quantity::Iso; }},
    {"aperture lines", [](AnalysisSettings& s) { s.PathList = Quantity::Aperture; }},
    {"shutter lines", [](AnalysisSettings& s) { s.PathList = Quantity::Shutter; }},
    {"no lines, maker notes", [](AnalysisSettings& s) { s.PathList = std::nullopt, s.AddMakerNotes = true; }},
    {"maker notes", [](AnalysisSettings& s) { s.AddMakerNotes = true; }},
    {"make filter", [](AnalysisSettings& s) { s.FilterOn = true, s.Filter.Make = "canon"; }},
    {"model filter", [](AnalysisSettings& s) { s.FilterOn = true, s.Filter.Model = "D"; }},
    {"maker-note filter",
     [](AnalysisSettings& s) { s.FilterOn = true, s.Filter.MakerNoteLabel = "Lens", s.Filter.MakerNoteData = "mm"; }},
    {"real length", [](AnalysisSettings& s) { s.Lens.RealLength = true; }},
    {"always calculate",
     [](AnalysisSettings& s) { s.Lens.AlwaysCalculate = true, s.Lens.Edit1 = "5", s.Lens.Edit2 = "9"; }},
    {"comma", [](AnalysisSettings& s) { s.PathList = Quantity::Shutter; }, ','},
};

// Every option set on the whole corpus: without the cache, filling it, and from it. One
// cache serves them all, so a later set meets entries an earlier set made.
TEST(PhotoCache, CorpusResultsAreTheSameWithAndWithoutTheCache) {
    QUORVELA_REQUIRE_CORPUS();
    const testing::TempDir folder;
    const fs::path cache = folder.path() / "photos.db";
    for (const OptionSet& set : kOptionSets) {
        AnalysisSettings settings;
        set.Apply(settings);
        const Outcome plain = RunOn(testing::CorpusDir(), settings, {}, 2, set.Separator);
        const Outcome filling = RunOn(testing::CorpusDir(), settings, cache, 2, set.Separator);
        const Outcome remembered = RunOn(testing::CorpusDir(), settings, cache, 1, set.Separator);
        ExpectSame(plain.Result, filling.Result, std::string(set.Name) + ", filling");
        ExpectSame(plain.Result, remembered.Result, std::string(set.Name) + ", remembered");
    }
}

// A copy of a few corpus photos to change between runs.
class ChangingFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!testing::HaveCorpus()) GTEST_SKIP() << "photo corpus absent";
        // Maker notes of several makes (Casio's has a FocalLength of its own), none, no make.
        for (const char* name : {"apple_iphone7_01.jpg", "bad_nomake_01.jpg", "canon_eos20d_01.jpg",
                                 "casio_exz3_01.jpg", "fujifilm_xt3_01.jpg", "nikon_d70_01.jpg"}) {
            fs::copy_file(testing::CorpusDir() / name, photos_.path() / name);
        }
        settings_.AddMakerNotes = true;
    }

    // Runs with the cache and without it; both must agree.
    void ExpectCacheAgrees(const std::string& what) {
        const Outcome plain = RunOn(photos_.path(), settings_, {});
        const Outcome cached = RunOn(photos_.path(), settings_, cacheFolder_.path() / "photos.db");
        ExpectSame(plain.Result, cached.Result, what);
    }

    fs::path Photo(const char* name) const { return photos_.path() / name; }

    testing::TempDir photos_;
    testing::TempDir cacheFolder_;
    AnalysisSettings settings_;
};

TEST_F(ChangingFolder, TouchedRewrittenRenamedAndDeletedPhotos) {
    ExpectCacheAgrees("first run");
    fs::last_write_time(Photo("apple_iphone7_01.jpg"), fs::file_time_type::clock::now());
    ExpectCacheAgrees("touched");

    // Same size, other content: the make a filter and the path lines see changes.
    const fs::path canon = Photo("canon_eos20d_01.jpg");
    std::vector<std::uint8_t> bytes = testing::ReadFileBytes(canon);
    const std::string make = "Canon";
    const auto at = std::search(bytes.begin(), bytes.end(), make.begin(), make.end());
    ASSERT_NE(at, bytes.end());
    *at = 'X';
    std::ofstream(canon, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ExpectCacheAgrees("rewritten in place");
    // Rewritten again, its size and time put back as an editor may: only the change time moves.
    const fs::file_time_type written = fs::last_write_time(canon);
    *at = 'Y';
    std::ofstream(canon, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    fs::last_write_time(canon, written);
    ExpectCacheAgrees("rewritten, its time put back");

    fs::rename(Photo("casio_exz3_01.jpg"), Photo("zz_renamed.jpg"));
    ExpectCacheAgrees("renamed");
    fs::remove(Photo("nikon_d70_01.jpg"));
    ExpectCacheAgrees("deleted");
    settings_.FilterOn = true;
    settings_.Filter.Make = "X";
    ExpectCacheAgrees("filtered after the changes");
}

// A re-run that finds every photo as remembered writes nothing: no rows, no layout.
TEST_F(ChangingFolder, ARunWithNothingNewLeavesTheCacheFileAlone) {
    const fs::path cache = cacheFolder_.path() / "photos.db";
    ExpectCacheAgrees("filling");
    const auto before = fs::last_write_time(cache);
    fs::last_write_time(cache, before - std::chrono::hours(1));
    ExpectCacheAgrees("again");
    EXPECT_EQ(fs::last_write_time(cache), before - std::chrono::hours(1));
}

// A cache that cannot be used gives one message, and the run reads every photo.
TEST_F(ChangingFolder, UnusableCacheFilesAreSetAsideWithOneMessage) {
    const Outcome plain = RunOn(photos_.path(), settings_, {});
    const auto expectOneMessage = [&](const fs::path& cache, const std::string& what) {
        const Outcome cached = RunOn(photos_.path(), settings_, cache);
        EXPECT_EQ(std::count(cached.Kinds.begin(), cached.Kinds.end(), MessageKind::CacheSetAside), 1) << what;
        AnalysisResult without = cached.Result;
        ASSERT_FALSE(without.Messages.empty()) << what;
        EXPECT_NE(without.Messages.front().find(kCacheSetAside), std::string::npos) << what;
        without.Messages.erase(without.Messages.begin());
        ExpectSame(plain.Result, without, what);
    };

    const fs::path garbage = cacheFolder_.path() / "garbage.db";
    std::ofstream(garbage) << std::string(5000, 'x');
    expectOneMessage(garbage, "not a database");
    expectOneMessage(garbage, "not a database, again: it was left as it is");

    const fs::path newer = cacheFolder_.path() / "newer.db";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(newer.c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    expectOneMessage(newer, "newer layout");

    const fs::path notAFolder = cacheFolder_.path() / "file";
    std::ofstream(notAFolder) << "x";
    expectOneMessage(notAFolder / "photos.db", "folder cannot be made");

    // Another program holds the write lock for longer than a run waits, and the run has
    // photos to remember (a run with nothing to write only reads, which the lock allows).
    const fs::path locked = cacheFolder_.path() / "locked.db";
    const testing::TempDir nothing;
    RunOn(nothing.path(), settings_, locked);
    ASSERT_EQ(sqlite3_open(locked.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    expectOneMessage(locked, "locked");
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

fs::path SqliteFile(const fs::path& file, const char* sql) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << file;
    sqlite3_close(db);
    return file;
}

// Only a file the cache made is ever changed, emptied or moved: anything else given as the
// cache is refused, by a run and by Forget, and left byte for byte as it was.
TEST(PhotoCache, FilesItDidNotMakeAreRefusedAndLeftAsTheyAre) {
    const testing::TempDir folder;
    const fs::path text = folder.path() / "notes.txt";
    std::ofstream(text) << std::string(5000, 'x');
    const fs::path photo = folder.path() / "photo.jpg";
    std::ofstream(photo) << "\xFF\xD8\xFF\xE1" << std::string(300, '\0') << "\xFF\xD9";
    const fs::path fifo = folder.path() / "fifo.db";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        const char* What;
        fs::path File;
    } cases[] = {
        {"a text file", text},
        {"a photo", photo},
        {"a folder", folder.path()},
        {"a FIFO, never opened", fifo},
        {"another program's table of photos",
         SqliteFile(folder.path() / "other.db", "CREATE TABLE photos (id INTEGER, name TEXT)")},
        {"our columns among another program's tables",
         SqliteFile(folder.path() / "mixed.db",
                    "CREATE TABLE photos (path BLOB, reader TEXT, facts BLOB); CREATE TABLE albums (name TEXT);"
                    " PRAGMA user_version = 2")},
        {"another program's mark",
         SqliteFile(folder.path() / "marked.db",
                    "PRAGMA application_id = 7; CREATE TABLE photos (path BLOB, reader TEXT, facts BLOB);"
                    " PRAGMA user_version = 3")},
    };
    for (const auto& c : cases) {
        const auto before = fs::is_regular_file(c.File) ? testing::ReadFileBytes(c.File) : std::vector<std::uint8_t>{};
        std::string problem;
        EXPECT_FALSE(PhotoCache::Open(c.File, "1.", problem)) << c.What;
        EXPECT_NE(problem.find("left as it is"), std::string::npos) << c.What << ": " << problem;
        problem.clear();
        EXPECT_FALSE(PhotoCache::Forget(c.File, problem)) << c.What;
        EXPECT_NE(problem.find("left as it is"), std::string::npos) << c.What << ": " << problem;
        if (fs::is_regular_file(c.File)) {
            EXPECT_EQ(testing::ReadFileBytes(c.File), before) << c.What;
        }
        for (const char* suffix : {".damaged", "-wal", "-shm"}) {
            EXPECT_FALSE(fs::exists(c.File.string() + suffix)) << c.What << suffix;
        }
    }
}

// Its own files: one made before files were marked is used and gets the mark; a damaged one is
// moved aside, never onto a file already there; Forget empties one and says when it cannot.
TEST(PhotoCache, ItsOwnFilesAreMarkedAndWhenDamagedMovedAside) {
    const testing::TempDir folder;
    const fs::path file = folder.path() / "photos.db";
    const auto applicationId = [&file] {
        const std::vector<std::uint8_t> bytes = testing::ReadFileBytes(file);
        return bytes.size() < 72 ? 0U : (bytes[68] << 24U) | (bytes[69] << 16U) | (bytes[70] << 8U) | bytes[71];
    };
    const auto use = [&file](const char* what) {
        std::string problem;
        const std::unique_ptr<PhotoCache> cache = PhotoCache::Open(file, "1.", problem);
        ASSERT_TRUE(cache) << what << ": " << problem;
        cache->KeepNote("n", "v");
        EXPECT_TRUE(cache->Finish(problem)) << what << ": " << problem;
    };
    use("new");
    const unsigned mark = applicationId();
    EXPECT_NE(mark, 0U);
    SqliteFile(file, "PRAGMA application_id = 0");
    ASSERT_EQ(applicationId(), 0U);
    use("made before the mark");
    EXPECT_EQ(applicationId(), mark);

    // Its header intact, the rest of its first page overwritten.
    {
        std::fstream bytes(file, std::ios::in | std::ios::out | std::ios::binary);
        bytes.seekp(100);
        bytes << std::string(1000, '\x5A');
    }
    std::ofstream(file.string() + ".damaged") << "an earlier one, kept";
    std::string problem;
    EXPECT_FALSE(PhotoCache::Open(file, "1.", problem));
    EXPECT_NE(problem.find("moved to " + file.string() + ".damaged.1"), std::string::npos) << problem;
    EXPECT_EQ(testing::ReadFileBytes(file.string() + ".damaged").size(), 20U);
    EXPECT_FALSE(fs::exists(file));
    use("a new one in its place");

    ASSERT_TRUE(PhotoCache::Forget(file, problem)) << problem;
    ::chmod(folder.path().c_str(), 0500);
    ::chmod(file.c_str(), 0400);
    if (::access(file.c_str(), W_OK) != 0) {  // not as root
        EXPECT_FALSE(PhotoCache::Forget(file, problem));
        EXPECT_NE(problem.find("cannot be written"), std::string::npos) << problem;
    }
    ::chmod(folder.path().c_str(), 0700);
}

// An entry whose stored bytes were changed is read again, not believed.
TEST_F(ChangingFolder, DamagedEntriesAreReadAgain) {
    const fs::path cache = cacheFolder_.path() / "photos.db";
    const Outcome plain = RunOn(photos_.path(), settings_, {});
    RunOn(photos_.path(), settings_, cache);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(cache.c_str(), &db), SQLITE_OK);
    // Flip one byte inside every entry's facts; the lengths still decode.
    ASSERT_EQ(sqlite3_exec(db, "UPDATE photos SET facts = substr(facts, 1, 8) || x'41' || substr(facts, 10)", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    const Outcome again = RunOn(photos_.path(), settings_, cache);
    ExpectSame(plain.Result, again.Result, "damaged entries");
    EXPECT_TRUE(again.Kinds.empty());
}

// A note is read back as kept; a damaged one, one never kept, or one in a file that holds no
// notes is nothing, and none of these sets the cache aside. Clearing the cache drops notes.
TEST(PhotoCache, NotesRoundTripAndDamagedOnesAreNothing) {
    const testing::TempDir folder;
    const fs::path file = folder.path() / "photos.db";
    const std::string bytes("\x00\x01\x7F", 3);
    const auto open = [&] {
        std::string problem;
        std::unique_ptr<PhotoCache> cache = PhotoCache::Open(file, "1.", problem);
        EXPECT_TRUE(cache) << problem;
        return cache;
    };
    {
        const auto cache = open();
        ASSERT_TRUE(cache);
        EXPECT_FALSE(cache->Note("ranks C")) << "no notes yet";
        cache->KeepNote("ranks C", bytes);
        cache->KeepNote("ranks de", "xyz");
        std::string problem;
        EXPECT_TRUE(cache->Finish(problem)) << problem;
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "UPDATE notes SET value = 'xyy' WHERE name = 'ranks de'", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    {
        const auto cache = open();
        ASSERT_TRUE(cache);
        EXPECT_EQ(cache->Note("ranks C"), bytes);
        EXPECT_FALSE(cache->Note("ranks de")) << "damaged";
        EXPECT_FALSE(cache->Note("ranks fr"));
        EXPECT_FALSE(cache->Failed());
    }
    std::string problem;
    ASSERT_TRUE(PhotoCache::Forget(file, problem)) << problem;
    EXPECT_FALSE(open()->Note("ranks C"));
}

// A long run keeps its locale's rank table in the cache; the next run sorts with it instead of
// ICU and must come out the same.
TEST(PhotoCache, TheKeptRankTableSortsAsIcuDoes) {
    if (!testing::HaveCorpus()) GTEST_SKIP() << "photo corpus absent";
    const testing::TempDir photos;
    const testing::TempDir cacheFolder;
    fs::copy_file(testing::CorpusDir() / "canon_eos20d_01.jpg", photos.path() / "photo.jpg");
    for (std::size_t i = 0; i < Collation::kLongList; ++i) {
        // Names out of order, with fill and case that the sort must place.
        const std::string name = (i % 3 == 0   ? "Img_"
                                  : i % 3 == 1 ? "img-"
                                               : "_IMG") +
                                 std::to_string((i * 7919) % 10007);
        fs::create_hard_link(photos.path() / "photo.jpg", photos.path() / (name + ".jpg"));
    }
    const fs::path cache = cacheFolder.path() / "photos.db";
    const Outcome plain = RunOn(photos.path(), {}, {});
    const Outcome filling = RunOn(photos.path(), {}, cache);
    sqlite3* db = nullptr;
    sqlite3_stmt* notes = nullptr;
    ASSERT_EQ(sqlite3_open(cache.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT count(*) FROM notes", -1, &notes, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(notes), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(notes, 0), 1) << "the rank table is kept";
    sqlite3_finalize(notes);
    sqlite3_close(db);
    const Outcome again = RunOn(photos.path(), {}, cache);
    ExpectSame(plain.Result, filling.Result, "filling");
    ExpectSame(plain.Result, again.Result, "with the kept rank table");
}

int Count(const fs::path& cache, const char* where) {
    sqlite3* db = nullptr;
    sqlite3_stmt* count = nullptr;
    int rows = -1;
    const std::string sql = std::string("SELECT count(*) FROM photos WHERE ") + where;
    if (sqlite3_open(cache.c_str(), &db) == SQLITE_OK &&
        sqlite3_prepare_v2(db, sql.c_str(), -1, &count, nullptr) == SQLITE_OK && sqlite3_step(count) == SQLITE_ROW) {
        rows = sqlite3_column_int(count, 0);
    }
    sqlite3_finalize(count);
    sqlite3_close(db);
    return rows;
}

// Entries not seen for longer than the cache keeps them go at the next day's first run;
// younger ones, and those of the photos just seen, stay.
TEST_F(ChangingFolder, EntriesNotSeenForLongAreDropped) {
    const fs::path cache = cacheFolder_.path() / "photos.db";
    RunOn(photos_.path(), settings_, cache);
    const int photos = Count(cache, "1");
    ASSERT_EQ(photos, 6);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(cache.c_str(), &db), SQLITE_OK);
    const std::string today = "(SELECT max(seen) FROM photos)";
    const std::string sql =
        "INSERT INTO photos SELECT CAST('/gone/old' AS BLOB), reader, size, mtime_ns, inode, ctime_ns, " + today +
        " - " + std::to_string(PhotoCache::kKeepDays + 1) + ", facts, checksum FROM photos LIMIT 1;" +
        "INSERT INTO photos SELECT CAST('/gone/young' AS BLOB), reader, size, mtime_ns, inode, ctime_ns, " + today +
        " - " + std::to_string(PhotoCache::kKeepDays - 1) + ", facts, checksum FROM photos LIMIT 1;" +
        "UPDATE photos SET seen = seen - 400 WHERE CAST(path AS TEXT) NOT LIKE '/gone/%';" + "DELETE FROM meta;";
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    const Outcome again = RunOn(photos_.path(), settings_, cache);
    EXPECT_TRUE(again.Kinds.empty());
    EXPECT_EQ(Count(cache, "path = CAST('/gone/old' AS BLOB)"), 0);
    EXPECT_EQ(Count(cache, "path = CAST('/gone/young' AS BLOB)"), 1);
    EXPECT_EQ(Count(cache, "CAST(path AS TEXT) NOT LIKE '/gone/%'"), photos) << "seen in the run: kept";
}

// A photo's day of last sight is rewritten once it is a week old, not at every day's first run.
TEST_F(ChangingFolder, SeenDaysAreRewrittenOnlyOnceAWeek) {
    const fs::path cache = cacheFolder_.path() / "photos.db";
    RunOn(photos_.path(), settings_, cache);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(cache.c_str(), &db), SQLITE_OK);
    const auto seenDays = [&] {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "SELECT min(seen), max(seen) FROM photos", -1, &stmt, nullptr);
        sqlite3_step(stmt);
        const std::pair<std::int64_t, std::int64_t> days{sqlite3_column_int64(stmt, 0), sqlite3_column_int64(stmt, 1)};
        sqlite3_finalize(stmt);
        return days;
    };
    const std::int64_t day = seenDays().second;
    for (const auto& [back, seenAfter] :
         {std::pair<std::int64_t, std::int64_t>{1, day - 1}, {PhotoCache::kTouchAfterDays, day}}) {
        const std::string shift = "UPDATE photos SET seen = " + std::to_string(day - back);
        ASSERT_EQ(sqlite3_exec(db, shift.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        RunOn(photos_.path(), settings_, cache);
        EXPECT_EQ(seenDays(), std::make_pair(seenAfter, seenAfter)) << back << " days back";
    }
    sqlite3_close(db);
}

TEST(PhotoFacts, EncodingRoundTripsAndRefusesDamage) {
    PhotoFacts facts;
    facts.HasExif = true;
    facts.Make = "Canon";
    facts.FocalLength = std::string("5\0.8 mm", 7);
    facts.NoteCrop = 1.609;
    facts.Aspect = 1.5;
    facts.MakerNotePairsRead = true;
    facts.MakerNoteDecoded = true;
    facts.MakerNotePairs = {{"Lens", "18-55 mm"}, {"", ""}};
    const std::string bytes = EncodeFacts(facts);
    EXPECT_EQ(DecodeFacts(bytes), facts);
    EXPECT_EQ(DecodeFacts(EncodeFacts(PhotoFacts{})), PhotoFacts{});

    EXPECT_FALSE(DecodeFacts(""));
    EXPECT_FALSE(DecodeFacts(bytes.substr(0, bytes.size() - 1))) << "cut short";
    EXPECT_FALSE(DecodeFacts(bytes + "x")) << "bytes left over";
    std::string flags = bytes;
    flags[0] = static_cast<char>(0x80);
    EXPECT_FALSE(DecodeFacts(flags)) << "unknown flag";
    std::string count = EncodeFacts(PhotoFacts{});
    count[count.size() - 1] = '\x7F';
    EXPECT_FALSE(DecodeFacts(count)) << "pair count beyond the bytes";
    std::string crop = EncodeFacts(PhotoFacts{});
    // The last lens number's sign and exponent (before the rating, the stamp and the pair
    // count): a negative NaN.
    crop[crop.size() - 14] = '\xFF';
    crop[crop.size() - 15] = '\xFF';
    EXPECT_FALSE(DecodeFacts(crop)) << "a factor that is no number";
    std::string rating = EncodeFacts(PhotoFacts{});
    rating[rating.size() - 13] = '\x06';
    EXPECT_FALSE(DecodeFacts(rating)) << "a rating beyond five stars";
}

// The warmer crawls on its own threads: a link cycle, a missing root and an early end must
// all let it finish (a hang fails the test by its time limit).
TEST(FolderWarmer, EndsOnCyclesMissingRootsAndEarlyStops) {
    const testing::TempDir tree;
    fs::create_directories(tree.path() / "a" / "b");
    fs::create_directory_symlink(tree.path(), tree.path() / "a" / "b" / "up");
    for (int i = 0; i < 50; ++i) fs::create_directories(tree.path() / ("c" + std::to_string(i)) / "d");
    { const FolderWarmer whole(tree.path().string()); }
    { const FolderWarmer missing((tree.path() / "none").string()); }
    const FolderWarmer file((tree.path() / "a").string());
    std::vector<std::string> folders;
    CollectFolders(tree.path().string(), folders);
    EXPECT_EQ(folders.size(), 103U) << "the root, a, a/b, 50 c and 50 d; the link leads back";
}

// The walk takes the folders the warmer read and must come out as it does reading them itself:
// the same order, links followed once, an unreadable folder listed but not entered, and a link
// reached before the folder it leads to standing in its place.
TEST(FolderWarmer, TheWalkFromItsListingsIsTheWalkOfItsOwn) {
    const testing::TempDir tree;
    const fs::path root = tree.path();
    for (const char* folder : {"a/b/c", "a/e", "f", "g/h", "locked/inner", ".hidden/x"}) {
        fs::create_directories(root / folder);
    }
    fs::create_directory_symlink(root / "g", root / "a" / "to-g");  // met before g itself
    fs::create_directory_symlink(root, root / "a" / "b" / "up");
    fs::create_directory_symlink(root / "missing", root / "f" / "dangling");
    std::ofstream(root / "f" / "photo.jpg") << "x";
    fs::permissions(root / "locked", fs::perms::none);
    std::vector<std::string> own;
    CollectFolders(root.string(), own);
    for (int round = 0; round < 5; ++round) {
        FolderWarmer warmer(root.string());
        std::vector<std::string> fromWarmer;
        CollectFolders(root.string(), fromWarmer, nullptr, &warmer);
        EXPECT_EQ(fromWarmer, own);
    }
    fs::permissions(root / "locked", fs::perms::owner_all);
}

TEST(PhotoCache, DefaultFileFollowsXdgCacheHome) {
    const char* saved = std::getenv("XDG_CACHE_HOME");
    const std::string keep = saved != nullptr ? saved : "";
    ::setenv("XDG_CACHE_HOME", "/somewhere", 1);
    EXPECT_EQ(DefaultCacheFile(), fs::path("/somewhere/quorvela/photos.db"));
    ::setenv("XDG_CACHE_HOME", "relative", 1);  // not absolute: ignored, as the XDG rules say
    EXPECT_EQ(DefaultCacheFile(), fs::path(std::getenv("HOME")) / ".cache/quorvela/photos.db");
    if (saved != nullptr) {
        ::setenv("XDG_CACHE_HOME", keep.c_str(), 1);
    } else {
        ::unsetenv("XDG_CACHE_HOME");
    }
}

}  // namespace
}  // namespace quorvela::analysis
