#include "path_list_writer.h"

#include <exception>
#include <system_error>
#include <utility>

#include "common/text_file.h"

namespace quorvela::analysis {

void PathListWriter::Add(std::string line, std::string path) {
    lines_.push_back(std::move(line));
    paths_.push_back(std::move(path));
}

void PathListWriter::RenameLabels(const std::unordered_map<std::string, std::string>& names) {
    constexpr std::string_view kAfterLabel = " - ";
    for (std::string& line : lines_) {
        for (const auto& [label, name] : names) {
            if (line.starts_with(label) && std::string_view(line).substr(label.size()).starts_with(kAfterLabel)) {
                line.replace(0, label.size(), name);
                break;
            }
        }
    }
}

std::string PathListWriter::SortAndWrite(const library::Collation& order, const std::filesystem::path& file) {
    const std::vector<std::size_t> sorted = order.SortOrder(lines_);
    library::ApplyOrder(sorted, lines_);
    library::ApplyOrder(sorted, paths_);
    if (file.empty()) return {};
    try {
        common::WriteTextLines(file, lines_);
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

void PathListWriter::SortInBackground(const library::Collation& order, const std::filesystem::path& file) {
    if (lines_.size() < library::Collation::kLongList) return;  // a short list costs less than a thread
    try {
        // A copy of the collation: ICU's collator is not shared between threads.
        sorting_ = std::async(std::launch::async,
                              [this, order = library::Collation(order), file] { return SortAndWrite(order, file); });
    } catch (const std::system_error&) {
        // No thread to spare: the lines are sorted in Finish.
    }
}

std::string PathListWriter::Finish(const library::Collation& order, const std::filesystem::path& file) {
    if (sorting_.valid()) return sorting_.get();
    if (lines_.empty()) return {};
    return SortAndWrite(order, file);
}

}  // namespace quorvela::analysis
