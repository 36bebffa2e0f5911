#pragma once

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

}  // namespace quorvela::cli::test
