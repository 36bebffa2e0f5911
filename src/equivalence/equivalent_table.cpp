#include "equivalent_table.h"

#include <cmath>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "common/ascii.h"
#include "common/number_format.h"
#include "common/text_file.h"

namespace quorvela::equivalence {

using common::UpperAscii;

namespace {

// Text between the end of `from` and the start of `to` in `item`; empty when a marker is
// missing or the markers stand in the wrong order.
std::string_view Between(std::string_view item, std::string_view from, std::string_view to) {
    const std::size_t a = item.find(from);
    if (a == std::string_view::npos) return {};
    const std::size_t start = a + from.size();
    if (to.empty()) return item.substr(start);
    const std::size_t b = item.find(to);
    if (b == std::string_view::npos || b < start) return {};
    return item.substr(start, b - start);
}

}  // namespace

EquivalentEntry::EquivalentEntry(std::string text) : text_(std::move(text)) {
    const std::string item = UpperAscii(text_);
    const std::size_t modelAt = item.find("[MODEL]");
    hasModel_ = modelAt != std::string::npos;
    if (!hasModel_) return;
    make_ = item.substr(0, modelAt);
    if (const std::size_t makeAt = make_.find("[MAKE]"); makeAt != std::string::npos) make_.erase(makeAt, 6);
    model_ = Between(item, "[MODEL]", "[REAL_LENS]");
    realLens_ = Between(item, "[REAL_LENS]", "[35MM_EQUIVALENT]");
    equivalent_ = Between(item, "[35MM_EQUIVALENT]", {});
}

void AppendEquivalentEntries(const std::vector<std::string>& lines, EquivalentList& list) {
    std::string entry;
    for (const std::string& raw : lines) {
        std::string line = raw;
        std::string upper = UpperAscii(line);
        if (upper.find("[MODEL]") != std::string::npos) {
            // Model names are compared without spaces, so the marker's own line drops them.
            line = common::RemoveChar(line, ' ');
            upper = UpperAscii(line);
        }
        if (line.empty() || line.front() == ';') continue;
        const bool start = upper == "[_START]";
        const bool end = upper == "[_END]";
        // "[_START]" does not clear: stray lines before it join the next entry's make.
        if (!start && !end) entry += line;
        if (end) {
            const std::string joined = UpperAscii(entry);
            bool complete = true;
            for (const std::string_view marker : {"[MAKE]", "[MODEL]", "[REAL_LENS]", "[35MM_EQUIVALENT]"}) {
                complete = complete && joined.find(marker) != std::string::npos;
            }
            if (complete) list.emplace_back(entry);
            entry.clear();
        }
    }
    // An entry left open at the end of the file is dropped.
}

std::string CropFactorProblem(std::string_view make, std::string_view model) {
    if (common::Trim(make).empty()) return "the photos name no maker";
    for (const std::string_view field : {make, model}) {
        for (const char c : field) {
            if (c == '[' || c == ']' || c == '\r' || c == '\n') {
                return "its name holds a square bracket or a line break, which the camera table cannot hold";
            }
        }
    }
    return {};
}

std::vector<std::string> CropFactorLines(std::string_view make, std::string_view model, double cropFactor) {
    if (const std::string problem = CropFactorProblem(make, model); !problem.empty()) {
        throw std::invalid_argument("No table entry for this camera: " + problem);
    }
    if (!std::isfinite(cropFactor) || cropFactor <= 0)
        throw std::invalid_argument("A crop factor is a positive number");
    const std::string_view trimmedMake = common::Trim(make);
    const std::string_view trimmedModel = common::Trim(model);
    // The point is read as the decimal separator whatever the user's locale (ParseDecimal).
    const std::string factor = common::FormatGeneral(cropFactor, '.');
    return {
        "; " + std::string(trimmedMake) + " " + std::string(trimmedModel) + ": crop factor " + factor,
        "[_START]",
        "[MAKE]" + std::string(trimmedMake),
        "[MODEL]" + std::string(trimmedModel),
        "[REAL_LENS]1",
        "[35MM_EQUIVALENT]" + factor,
        "[_END]",
    };
}

void AppendTableLines(const std::filesystem::path& tableFile, const std::vector<std::string>& lines,
                      const std::filesystem::path& seedFile) {
    std::error_code error;
    std::string content;
    if (std::filesystem::exists(tableFile, error)) {
        content = common::ReadTextFile(tableFile);
    } else {
        const std::filesystem::path seed = seedFile.empty() ? tableFile.parent_path() / kSeedFileName : seedFile;
        if (std::filesystem::exists(seed, error)) content = common::ReadTextFile(seed);
    }
    // The file's own line end; CR LF, as the table is written elsewhere, for a new one.
    const std::size_t firstEnd = content.find('\n');
    const std::string end = firstEnd != std::string::npos && (firstEnd == 0 || content[firstEnd - 1] != '\r')
                                ? std::string("\n")
                                : std::string("\r\n");
    if (!content.empty() && content.back() != '\n') content += end;
    // An empty line keeps the new entries apart from the last one when the file is read by eye.
    if (!content.empty() && !content.ends_with(end + end)) content += end;
    for (const std::string& line : lines) content += line + end;
    common::WriteFileAtomically(tableFile, content);
}

void ReadEquivalentData(const std::filesystem::path& tableFile, EquivalentList& list,
                        const std::filesystem::path& seedFile) {
    std::error_code error;
    if (!std::filesystem::exists(tableFile, error)) {
        const std::filesystem::path seed = seedFile.empty() ? tableFile.parent_path() / kSeedFileName : seedFile;
        if (std::filesystem::exists(seed, error)) common::WriteTextLines(tableFile, common::ReadTextLines(seed));
    }
    if (!std::filesystem::exists(tableFile, error)) return;
    AppendEquivalentEntries(common::ReadTextLines(tableFile), list);
}

}  // namespace quorvela::equivalence
