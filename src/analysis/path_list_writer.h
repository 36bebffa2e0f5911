#pragma once

#include <filesystem>
#include <future>
#include <string>
#include <unordered_map>
#include <vector>

#include "library/collation.h"

namespace quorvela::analysis {

// A run's path-list lines with the file each names, sorted in the locale's order and written
// to the path-list file once the run has read every photo. A long list is sorted and written
// on a thread of its own while the run makes its tallies.
class PathListWriter {
  public:
    void Add(std::string line, std::string path);
    // Lines that start with a label of `names` and " - " (a lens list's lines) start with the
    // name it maps to instead. Before sorting.
    void RenameLabels(const std::unordered_map<std::string, std::string>& names);

    // Starts sorting and writing the lines to `file` (none when empty) on a thread of its own,
    // when the list is long enough to be worth one. The lines are not to be touched until Finish.
    void SortInBackground(const library::Collation& order, const std::filesystem::path& file);
    // Sorts and writes the lines, or waits for the thread doing it. What went wrong writing
    // the file; empty when nothing did, or when there are no lines (nothing is written then).
    std::string Finish(const library::Collation& order, const std::filesystem::path& file);

    // After Finish: the sorted lines and the file of each.
    [[nodiscard]] bool Empty() const { return lines_.empty(); }
    [[nodiscard]] const std::vector<std::string>& Lines() const { return lines_; }
    [[nodiscard]] const std::vector<std::string>& Paths() const { return paths_; }
    std::vector<std::string> TakeLines() { return std::move(lines_); }
    std::vector<std::string> TakePaths() { return std::move(paths_); }

  private:
    std::string SortAndWrite(const library::Collation& order, const std::filesystem::path& file);

    std::vector<std::string> lines_;
    std::vector<std::string> paths_;
    std::future<std::string> sorting_;  // the problem writing, when sorted on a thread of its own
};

}  // namespace quorvela::analysis
