#pragma once

// Helpers for runs over hostile folder trees: a standard photo, a run with default settings,
// the checks every finished run must pass, and file-system tools the tests need beyond
// std::filesystem (trees deeper than a path can name, open and read accounting).

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/analysis_run.h"
#include "analysis/photo.h"

namespace quorvela::hostile {

namespace fs = std::filesystem;
using analysis::AnalysisObserver;
using analysis::AnalysisResult;
using analysis::AnalysisSettings;

// A photo with a 35mm focal length of 50 mm, F2.8, 1/125 s and ISO 100.
const std::vector<std::uint8_t>& Photo();

// One run over `root` with the settings of a first start, no camera table, no path-list file,
// reading on the default number of threads.
AnalysisResult RunOn(const fs::path& root, AnalysisObserver& observer, AnalysisSettings settings = {});
// The same, once reading on the run's own thread and once on the default number of threads:
// both must give the same result, which is returned.
AnalysisResult RunOn(const fs::path& root, AnalysisSettings settings = {});

// The same on a thread of its own. When the run has not ended after 20 seconds it is taken to
// wait on a FIFO: the test fails, and every FIFO below `root` is given a writer, which ends
// the wait.
AnalysisResult RunWatched(const fs::path& root, AnalysisObserver& observer, AnalysisSettings settings = {});
AnalysisResult RunWatched(const fs::path& root, AnalysisSettings settings = {});

// What every run that was not stopped leaves, whatever the tree: no message, a summary of its
// counters, one focal-length entry and one path-list line per analysed file.
void ExpectCompleteRun(const AnalysisResult& result);

// True when some path-list line names exactly this file.
bool Lists(const AnalysisResult& result, const fs::path& file);

// Removes a tree without following links and without naming paths longer than the system
// allows, so trees deeper than PATH_MAX go too; uses a fixed number of descriptors.
void RemoveTree(const fs::path& root);

// Bytes this process has read through system calls so far (all threads, ended ones too).
std::uint64_t BytesReadByProcess();

// Counts opens of the watched files (inotify), so a test can tell a FIFO or device was never
// opened, not merely that the run did not wait on it.
class OpenWatch {
  public:
    explicit OpenWatch(const std::vector<fs::path>& files);
    ~OpenWatch();
    OpenWatch(const OpenWatch&) = delete;
    OpenWatch& operator=(const OpenWatch&) = delete;
    int Opens();  // since construction

  private:
    int fd_ = -1;
    int opens_ = 0;
};

}  // namespace quorvela::hostile
