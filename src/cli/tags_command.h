#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace quorvela::cli {

struct TagsOptions {
    bool json = false;
    char decimalSeparator = '.';
    std::vector<std::string> files;
};

// Lists every stored entry of each file, as aligned text or as one JSON array. A path that is
// no file is listed without entries and said on `err`; the status is then 1.
int RunTagsCommand(const TagsOptions& options, std::ostream& out, std::ostream& err);

}  // namespace quorvela::cli
