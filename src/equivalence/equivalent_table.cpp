#include "equivalent_table.h"

#include <system_error>
#include <utility>

#include "common/ascii.h"
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
