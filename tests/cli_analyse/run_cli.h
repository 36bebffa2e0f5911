#pragma once

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace quorvela::cli::test {

struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
    nlohmann::json Json() const { return nlohmann::json::parse(out); }
};

inline CliRun RunCli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.code = runCli(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

// "analyse", then `first`, then the options that keep a test's run inside `folder`: "." as the
// decimal separator, the camera table cam_equiv.txt, the path list vt_debug.txt and the photo
// cache photos.db there.
inline std::vector<std::string> AnalyseArgs(const std::filesystem::path& folder, std::vector<std::string> first) {
    std::vector<std::string> args{"analyse"};
    args.insert(args.end(), first.begin(), first.end());
    const std::vector<std::string> local{"--decimal-separator",
                                         ".",
                                         "--table",
                                         (folder / "cam_equiv.txt").string(),
                                         "--path-list-file",
                                         (folder / "vt_debug.txt").string(),
                                         "--cache",
                                         (folder / "photos.db").string()};
    args.insert(args.end(), local.begin(), local.end());
    return args;
}

// Photos per category, as the JSON output's rows of one quantity give them.
using Tally = std::map<std::string, int>;

inline Tally TallyOf(const nlohmann::json& rows) {
    Tally tally;
    for (const auto& row : rows) tally[row["category"].get<std::string>()] += row["count"].get<int>();
    return tally;
}

inline int Total(const Tally& tally) {
    int total = 0;
    for (const auto& [category, count] : tally) total += count;
    return total;
}

}  // namespace quorvela::cli::test
