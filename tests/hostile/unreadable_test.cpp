// A photo and a folder that the user may not open. Root may open anything, so as root the run
// is made in a child process that has given up root first.

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

#include "support/test_files.h"
#include "tree_support.h"

namespace quorvela::hostile {
namespace {

using testing::TempDir;

constexpr uid_t kNobody = 65534;

struct Outcome {
    std::string Skip;  // why the run could not be made as an ordinary user
    int Found = -1;
    int Analysed = -1;
    std::size_t Lines = 0;
    std::size_t Messages = 0;
    bool Stopped = false;
};

Outcome Summarise(const AnalysisResult& result) {
    return {{},
            result.FilesFound,
            result.FilesAnalysed,
            result.PathLines.size(),
            result.Messages.size(),
            result.StopRequested};
}

// Runs as user and group `kNobody` in a child process; the child reports through a pipe.
Outcome RunAsNobody(const fs::path& root, const fs::path& locked) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return {"pipe failed"};
    const pid_t child = ::fork();
    if (child < 0) return {"fork failed"};
    if (child == 0) {
        ::close(pipeEnds[0]);
        std::ostringstream report;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
            report << "S cannot drop root privileges: " << std::strerror(errno);
        } else if (::access(locked.c_str(), R_OK) == 0) {
            report << "S the locked photo stays readable without root";
        } else {
            const Outcome o = Summarise(RunOn(root));
            report << "R " << o.Found << ' ' << o.Analysed << ' ' << o.Lines << ' ' << o.Messages << ' ' << o.Stopped;
        }
        const std::string text = report.str();
        [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        ADD_FAILURE() << "the run as an ordinary user ended abnormally, status " << status;
        return {};
    }
    if (text.rfind("S ", 0) == 0) return {text.substr(2)};
    Outcome outcome;
    std::istringstream in(text.substr(text.rfind("R ", 0) == 0 ? 2 : 0));
    in >> outcome.Found >> outcome.Analysed >> outcome.Lines >> outcome.Messages >> outcome.Stopped;
    return outcome;
}

TEST(Unreadable, PhotoAndFolderThatCannotBeOpenedCountAsTheyAre) {
    TempDir dir;
    const fs::path root = dir.path();
    const auto readable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                          fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(root, readable);
    fs::permissions(dir.Write("good.jpg", Photo()), readable);
    const fs::path locked = dir.Write("locked.jpg", Photo());
    dir.Write("locked-folder/inside.jpg", Photo());
    fs::permissions(locked, fs::perms::none);
    fs::permissions(root / "locked-folder", fs::perms::none);

    const Outcome outcome = ::geteuid() == 0 ? RunAsNobody(root, locked) : Summarise(RunOn(root));
    fs::permissions(root / "locked-folder", fs::perms::owner_all);  // so the folder can be removed
    if (!outcome.Skip.empty()) GTEST_SKIP() << "needs a run without root's rights: " << outcome.Skip;
    // The locked photo is a photo-named entry that adds nothing; the locked folder cannot be
    // listed, so its photo is never found, and the run says so.
    EXPECT_EQ(outcome.Found, 2);
    EXPECT_EQ(outcome.Analysed, 1);
    EXPECT_EQ(outcome.Lines, 1U);
    EXPECT_EQ(outcome.Messages, 1U);
    EXPECT_FALSE(outcome.Stopped);
}

}  // namespace
}  // namespace quorvela::hostile
