#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace quorvela::cli {

// `object` as nlohmann's dump with an indent of 2 (invalid UTF-8 replaced) writes it once
// `key` holds `lines` as an array of strings: the same text, without a tree of one node per
// line for a library's path list. `key` must not be in `object` yet.
std::string DumpWithLines(nlohmann::json object, const std::string& key, const std::vector<std::string>& lines);

}  // namespace quorvela::cli
