#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "equivalence/equivalent_table.h"

namespace CLI {
class App;
}

namespace quorvela::analysis {
struct AnalysisSettings;
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
    // Builds the run's settings from --settings and the options; 0, or the exit status of a
    // refusal (its reason written to `err`).
    int Settings(analysis::AnalysisSettings& s, std::ostream& err) const;
    // The on/off switches and the lens fields, in command-line order: the last one given wins.
    int ApplyInOrder(analysis::AnalysisSettings& s, std::ostream& err) const;
    // The lens, period and coverage options; 2 with the reason in `err` when one is unusable.
    int ApplyLensOptions(analysis::AnalysisSettings& s, std::ostream& err) const;
    int ReadTable(equivalence::EquivalentList& table, const std::filesystem::path& programFolder,
                  const std::filesystem::path& dataFolder, std::ostream& err) const;

    CLI::App* command_ = nullptr;
    std::string folder_;
    std::optional<int> step_;
    std::optional<int> ignore_;
    std::string pathList_;
    std::string formats_;  // "jpeg" or "all"; empty: as --settings, else all
    std::string lens_;
    std::string lensReal_;
    std::string lensEquiv_;
    std::optional<std::string> make_;
    std::optional<std::string> model_;
    std::optional<std::string> makerNoteLabel_;
    std::optional<std::string> makerNoteData_;
    std::optional<std::string> lensModel_;
    std::optional<int> minRating_;
    std::optional<std::string> label_;
    std::vector<std::string> charts_;  // QUANTITY=FILE of --chart
    std::optional<std::string> from_;
    std::optional<std::string> to_;
    std::optional<std::string> coverage_;
    std::string table_;
    std::string settings_;
    std::string decimalSeparator_;
    int jobs_ = 0;
    bool noCache_ = false;
    std::string cacheFile_;
    std::string pathListFile_;
    bool json_ = false;
};

}  // namespace quorvela::cli
