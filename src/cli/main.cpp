#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return quorvela::cli::runCli(args, std::cout, std::cerr);
    } catch (const std::exception& e) {
        // Out of memory, or ICU's collation missing from the system: said, not a crash.
        std::cerr << "quorvela-cli: " << e.what() << '\n';
        return 1;
    }
}
