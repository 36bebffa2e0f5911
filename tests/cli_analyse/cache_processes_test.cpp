// Several quorvela-cli processes on one photo cache at once, as two windows and a terminal
// may be: every one reports what a run without the cache reports, and the file stays sound.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "run_cli.h"
#include "support/test_files.h"

extern char** environ;

namespace quorvela::cli {
namespace {

namespace fs = std::filesystem;

// Starts the program with `args`, its output going to `out`.
pid_t Start(const std::vector<std::string>& args, const fs::path& out) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> all{QUORVELA_CLI_BINARY};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

std::string Read(const fs::path& file) {
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Args(const fs::path& folder, const fs::path& cache, const char* pathList) {
    return {"analyse",
            testing::CorpusDir().string(),
            "--json",
            "--decimal-separator",
            ".",
            "--table",
            QUORVELA_SOURCE_DIR "/data/cam_equiv.exp",
            "--path-list",
            pathList,
            "--path-list-file",
            (folder / (std::string(pathList) + ".txt")).string(),
            "--cache",
            cache.string(),
            "--jobs",
            "2"};
}

TEST(CacheProcesses, ConcurrentRunsOnOneCacheAgreeWithRunsWithoutIt) {
    QUORVELA_REQUIRE_CORPUS();
    const testing::TempDir folder;
    const fs::path cache = folder.path() / "photos.db";
    const char* lists[] = {"focal", "iso", "aperture", "shutter"};
    std::vector<std::string> expected;
    for (const char* list : lists) {
        std::vector<std::string> args = Args(folder.path(), cache, list);
        args.back() = "1";
        args.emplace_back("--no-cache");
        expected.push_back(test::RunCli(args).out);
    }
    EXPECT_FALSE(fs::exists(cache)) << "--no-cache leaves the cache alone";
    // Two rounds: the first fills the cache from eight processes at once, the second reads it.
    for (int round = 0; round < 2; ++round) {
        std::vector<pid_t> children;
        for (int i = 0; i < 8; ++i) {
            const fs::path out = folder.path() / ("out" + std::to_string(i));
            children.push_back(Start(Args(folder.path(), cache, lists[i % 4]), out));
            ASSERT_GT(children.back(), 0);
        }
        for (std::size_t i = 0; i < children.size(); ++i) {
            int status = 0;
            ASSERT_EQ(::waitpid(children[i], &status, 0), children[i]);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "process " << i;
            EXPECT_EQ(Read(folder.path() / ("out" + std::to_string(i))), expected[i % 4])
                << "round " << round << ", process " << i;
        }
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(cache.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* check = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(db);
}

}  // namespace
}  // namespace quorvela::cli
