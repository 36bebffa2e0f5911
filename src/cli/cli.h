#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace quorvela::cli {

// Runs one quorvela-cli command. `args` excludes the program name. Returns the exit status.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The decimal separator of the user's locale ('.' when the locale cannot be read).
char LocaleDecimalSeparator();

}  // namespace quorvela::cli
