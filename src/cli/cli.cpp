#include "cli.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstring>
#include <locale>
#include <ostream>
#include <stdexcept>

#include "analyse_command.h"
#include "tags_command.h"

namespace quorvela::cli {

char LocaleDecimalSeparator() {
    try {
        const char point = std::use_facet<std::numpunct<char>>(std::locale("")).decimal_point();
        return point == ',' ? ',' : '.';
    } catch (const std::runtime_error&) {
        return '.';  // an unknown LANG falls back to the classic form
    }
}

namespace {

// The command's status, unless its output could not be written all (a full disk, a closed
// pipe): a half-written document is no success.
int Finished(int status, std::ostream& out, std::ostream& err) {
    errno = 0;
    out.flush();
    if (out) return status;
    const int cause = errno;
    err << "quorvela-cli: the output could not be written"
        << (cause != 0 ? std::string(": ") + std::strerror(cause) : "") << '\n';
    return status == 0 ? 1 : status;
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CLI::App app{"Quorvela from the terminal: reads the EXIF metadata of photos.", "quorvela-cli"};
    app.require_subcommand(1);

    TagsOptions tags;
    std::string separator;
    auto* tagsCommand = app.add_subcommand("tags", "List every metadata entry of each file");
    tagsCommand->add_flag("--json", tags.json, "Print one JSON array, one object per file");
    tagsCommand->add_option("--decimal-separator", separator, "Decimal separator of numbers: . or ,")
        ->check(CLI::IsMember({".", ","}));
    tagsCommand->add_option("FILE", tags.files, "Photos to read")->required();
    AnalyseCommand analyse(app);

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, out, err);
        return code == 0 ? 0 : 2;
    }
    if (tagsCommand->parsed()) {
        tags.decimalSeparator = separator.empty() ? LocaleDecimalSeparator() : separator[0];
        return Finished(RunTagsCommand(tags, out, err), out, err);
    }
    if (analyse.Parsed()) return Finished(analyse.Run(out, err), out, err);
    return 2;
}

}  // namespace quorvela::cli
