#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace quorvela::cli {

// `quorvela-cli analyse DIR`: one analysis run from the terminal, with an option for every
// setting of a run. Options given on the command line override a --settings file.
class AnalyseCommand {
  public:
    explicit AnalyseCommand(CLI::App& app);
    [[nodiscard]] bool Parsed() const;
    // Exit status: 0 for a completed run, 1 when the folder does not exist, 2 for wrong
    // arguments or unusable files, 130 when interrupted (what was gathered is still printed).
    int Run(std::ostream& out, std::ostream& err) const;

  private:
    CLI::App* command_ = nullptr;
    std::string folder_;
    bool noSubfolders_ = false;
    bool noSteps_ = false;
    std::optional<int> step_;
    std::optional<int> ignore_;
    bool fractionShutter_ = false;
    std::string pathList_;
    bool makerNotes_ = false;
    bool realLength_ = false;
    bool alwaysCalc_ = false;
    std::string lens_;
    std::optional<std::string> make_;
    std::optional<std::string> model_;
    std::optional<std::string> makerNoteLabel_;
    std::optional<std::string> makerNoteData_;
    std::string table_;
    std::string settings_;
    std::string decimalSeparator_;
    int jobs_ = 0;
    std::string pathListFile_;
    bool json_ = false;
};

}  // namespace quorvela::cli
