#include "tree_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <future>
#include <numeric>
#include <sstream>

namespace quorvela::hostile {

const std::vector<std::uint8_t>& Photo() {
    static const std::vector<std::uint8_t> bytes =
        analysis::test::PhotoBytes({.Make = "Canon",
                                    .Model = "G2",
                                    .Focal35 = 50,
                                    .FNumber = analysis::test::Fraction{28, 10},
                                    .ExposureTime = analysis::test::Fraction{1, 125},
                                    .Iso = std::vector<std::uint16_t>{100}});
    return bytes;
}

namespace {

// The tables as "quantity label count" texts, to compare two runs.
std::vector<std::string> Flat(const AnalysisResult& result) {
    std::vector<std::string> rows;
    for (const Quantity q : kQuantities) {
        for (const auto& row : result.Tables[q])
            rows.push_back(std::to_string(IndexOf(q)) + " " + row.Label + " " + std::to_string(row.Count));
    }
    return rows;
}

AnalysisResult RunWithJobs(const fs::path& root, AnalysisObserver& observer, AnalysisSettings settings, int jobs) {
    settings.RootFolder = root.string();
    analysis::RunEnvironment environment;
    environment.Jobs = jobs;
    return analysis::StartAnalyzing(settings, environment, observer);
}

}  // namespace

AnalysisResult RunOn(const fs::path& root, AnalysisObserver& observer, AnalysisSettings settings) {
    return RunWithJobs(root, observer, std::move(settings), 0);
}

AnalysisResult RunOn(const fs::path& root, AnalysisSettings settings) {
    AnalysisObserver alone;
    const AnalysisResult one = RunWithJobs(root, alone, settings, 1);
    AnalysisObserver pooled;
    AnalysisResult many = RunWithJobs(root, pooled, std::move(settings), 0);
    EXPECT_EQ(one.FilesFound, many.FilesFound) << "one reading thread against several";
    EXPECT_EQ(one.FilesAnalysed, many.FilesAnalysed) << "one reading thread against several";
    EXPECT_EQ(Flat(one), Flat(many)) << "one reading thread against several";
    EXPECT_EQ(one.PathLines, many.PathLines) << "one reading thread against several";
    EXPECT_EQ(one.Messages, many.Messages) << "one reading thread against several";
    return many;
}

AnalysisResult RunWatched(const fs::path& root, AnalysisObserver& observer, AnalysisSettings settings) {
    auto run = std::async(std::launch::async, [&] { return RunOn(root, observer, settings); });
    if (run.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << "the run waits on a FIFO named like a photo";
        while (run.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
            std::error_code error;
            for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
                if (it->is_fifo(error)) ::close(::open(it->path().c_str(), O_WRONLY | O_NONBLOCK));
            }
        }
    }
    return run.get();
}

AnalysisResult RunWatched(const fs::path& root, AnalysisSettings settings) {
    AnalysisObserver observer;
    return RunWatched(root, observer, std::move(settings));
}

void ExpectCompleteRun(const AnalysisResult& result) {
    EXPECT_NE(result.Outcome, analysis::RunOutcome::Refused);
    EXPECT_FALSE(result.StopRequested);
    EXPECT_LE(result.FilesAnalysed, result.FilesFound);
    EXPECT_EQ(result.RunSummaryText, analysis::RunSummaryText(result.FilesAnalysed, result.FilesFound));
    const auto& focal = result.Tables[Quantity::FocalLength];
    const int tallied =
        std::accumulate(focal.begin(), focal.end(), 0, [](int sum, const auto& row) { return sum + row.Count; });
    EXPECT_EQ(tallied, result.FilesAnalysed);
    EXPECT_EQ(result.PathLines.size(), static_cast<std::size_t>(result.FilesAnalysed));
    // A complete run says nothing but what it passed over: folders gone or too deep to be read,
    // links out of the tree.
    for (const std::string& message : result.Messages) {
        EXPECT_TRUE(message.find("could not be read") != std::string::npos ||
                    message.find("left out") != std::string::npos || result.FilesAnalysed == 0)
            << message;
    }
}

bool Lists(const AnalysisResult& result, const fs::path& file) {
    // Every line of a first-start run ends its path with " - Make: ".
    const std::string needle = " - " + file.string() + " - Make: ";
    for (const std::string& line : result.PathLines) {
        if (line.find(needle) != std::string::npos) return true;
    }
    return false;
}

namespace {

// The names in a folder (without "." and ".."), each with whether it is a folder itself.
std::vector<std::pair<std::string, bool>> Names(int folder) {
    std::vector<std::pair<std::string, bool>> names;
    const int scan = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (scan < 0) return names;
    DIR* dir = ::fdopendir(scan);
    if (dir == nullptr) {
        ::close(scan);
        return names;
    }
    while (const dirent* item = ::readdir(dir)) {
        const std::string name = item->d_name;
        if (name == "." || name == "..") continue;
        struct stat info {};
        const bool isFolder = ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
        names.emplace_back(name, isFolder);
    }
    ::closedir(dir);
    return names;
}

int OpenFolderAt(int parent, const char* name) {
    const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(parent, name, flags);
    if (fd < 0 && errno == EACCES) {
        ::fchmodat(parent, name, 0700, 0);  // a test's locked folder goes as well
        fd = ::openat(parent, name, flags);
    }
    return fd;
}

}  // namespace

void RemoveTree(const fs::path& root) {
    int fd = OpenFolderAt(AT_FDCWD, root.c_str());
    if (fd < 0) {
        ::unlink(root.c_str());
        return;
    }
    std::vector<std::string> down;  // names from the root to the current folder
    for (;;) {
        std::string folder;
        for (const auto& [name, isFolder] : Names(fd)) {
            if (!isFolder) {
                ::unlinkat(fd, name.c_str(), 0);
            } else if (folder.empty()) {
                folder = name;
            }
        }
        if (!folder.empty()) {
            const int child = OpenFolderAt(fd, folder.c_str());
            if (child >= 0) {
                ::close(fd);
                fd = child;
                down.push_back(folder);
                continue;
            }
            ::unlinkat(fd, folder.c_str(), AT_REMOVEDIR);  // cannot enter: try it as empty
            if (::faccessat(fd, folder.c_str(), F_OK, AT_SYMLINK_NOFOLLOW) == 0) break;
            continue;
        }
        if (down.empty()) break;
        const int parent = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        if (parent < 0) return;
        fd = parent;
        ::unlinkat(fd, down.back().c_str(), AT_REMOVEDIR);
        down.pop_back();
    }
    ::close(fd);
    if (down.empty()) ::rmdir(root.c_str());
}

std::uint64_t BytesReadByProcess() {
    std::ifstream io("/proc/self/io");
    std::string key;
    std::uint64_t value = 0;
    while (io >> key >> value) {
        if (key == "rchar:") return value;
    }
    ADD_FAILURE() << "no read accounting in /proc/self/io";
    return 0;
}

OpenWatch::OpenWatch(const std::vector<fs::path>& files) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (fd_ < 0) {
        ADD_FAILURE() << "inotify_init1 failed";
        return;
    }
    for (const fs::path& file : files) {
        if (::inotify_add_watch(fd_, file.c_str(), IN_OPEN) < 0) ADD_FAILURE() << "cannot watch " << file;
    }
}

OpenWatch::~OpenWatch() {
    if (fd_ >= 0) ::close(fd_);
}

int OpenWatch::Opens() {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0) break;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if ((event->mask & IN_OPEN) != 0) ++opens_;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return opens_;
}

}  // namespace quorvela::hostile
