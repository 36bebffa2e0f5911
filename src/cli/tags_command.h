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

// Lists every stored entry of each file, as aligned text or as one JSON array.
int RunTagsCommand(const TagsOptions& options, std::ostream& out);

}  // namespace quorvela::cli
