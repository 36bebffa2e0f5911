#include "analyse_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <ostream>

#include "analysis/analysis_run.h"
#include "analysis/dates.h"
#include "analysis/filter.h"
#include "chart_export.h"
#include "cli.h"
#include "common/code_page.h"
#include "common/file_names.h"
#include "json_text.h"
#include "library/collation.h"
#include "library/photo_cache.h"
#include "settings/program_folder.h"
#include "settings/settings_file.h"

namespace quorvela::cli {

namespace fs = std::filesystem;
using analysis::AnalysisSettings;

namespace {

// The stop flag of the running analysis, for the Ctrl-C handler. A lock-free atomic store is
// safe inside a signal handler.
std::atomic<bool>* gStopFlag = nullptr;

extern "C" void OnInterrupt(int) {
    if (gStopFlag != nullptr) gStopFlag->store(true);
}

// Ctrl-C asks the run to stop, as the Stop button does, for as long as this object lives.
class InterruptGuard {
  public:
    explicit InterruptGuard(std::atomic<bool>& flag) {
        gStopFlag = &flag;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &previous_);
    }
    ~InterruptGuard() {
        ::sigaction(SIGINT, &previous_, nullptr);
        gStopFlag = nullptr;
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

  private:
    struct sigaction previous_ {};
};

// The command line's window: progress on a terminal, nothing else while the run goes.
class TerminalObserver : public analysis::AnalysisObserver {
  public:
    explicit TerminalObserver(std::ostream* progress) : progress_(progress) {}
    ~TerminalObserver() override {
        if (progress_ != nullptr && shown_) *progress_ << "\r\033[K" << std::flush;
    }

    void ProgressMaximum(analysis::RunStage stage, int maximum) override {
        if (stage == analysis::RunStage::Collecting) maximum_ = maximum;
    }
    void ProgressPosition(analysis::RunStage stage, int position) override {
        if (stage != analysis::RunStage::Collecting || progress_ == nullptr || position == 0) return;
        const auto now = std::chrono::steady_clock::now();
        if (shown_ && now - last_ < std::chrono::milliseconds(100)) return;
        last_ = now;
        shown_ = true;
        *progress_ << "\rCollecting files " << position << " / " << maximum_ << "\033[K" << std::flush;
    }

  private:
    std::ostream* progress_;
    int maximum_ = 0;
    bool shown_ = false;
    std::chrono::steady_clock::time_point last_{};
};

AnalysisSettings FromIni(const settings::IniSettings& ini) {
    AnalysisSettings s;
    s.RootFolder = ini.Path;
    s.IncludeSubfolders = ini.IncludeSubfolders;
    s.IncludeRawHeif = ini.IncludeRawHeif;
    s.FilterOn = ini.FilterOn;
    s.Filter = {ini.FilterMake, ini.FilterModel, ini.MakerTag,  ini.MakerData,  ini.FilterLens,
                ini.PeriodFrom, ini.PeriodTo,    ini.MinRating, ini.NoRejected, common::Cp1252ToUtf8(ini.FilterLabel)};
    s.UseSteps = ini.UseSteps;
    s.StepSize = ini.StepSize;
    s.IgnoreUpTo = ini.IgnoreUpTo;
    s.FractionShutter = ini.FractionShutter;
    s.PathList = QuantityAt(ini.PathList);
    s.AddMakerNotes = ini.MakerNote;
    s.Lens = {ini.RealLens, ini.Equivalent, ini.RealLength, ini.AlwaysCalculate};
    // The window keeps the range's text as typed: one that does not parse asks nothing.
    s.Coverage = analysis::ParseCoverage(ini.Coverage);
    return s;
}

// An on/off setting of the window. Both forms exist so that either can override a settings
// file; the last one on the command line wins.
struct Switch {
    const char* On;
    const char* Off;
    const char* OnHelp;
    const char* OffHelp;
    bool& (*Field)(AnalysisSettings&);
};

constexpr Switch kSwitches[] = {
    {"--subfolders", "--no-subfolders", "Also the folders below the folder (default)",
     "Only the folder itself, not the folders below it",
     [](AnalysisSettings& s) -> bool& { return s.IncludeSubfolders; }},
    {"--steps", "--no-steps", "Focal lengths in categories of --step mm (default)",
     "Every focal length its own category", [](AnalysisSettings& s) -> bool& { return s.UseSteps; }},
    {"--filter", "--no-filter",
     "Filter by the filter fields of --settings and the filter options (on by itself with --make, --model, --mn-label, "
     "--mn-data, --lens-model, --from, --to, --min-rating, --no-rejected or --label)",
     "No filter, even with filter fields given (default)", [](AnalysisSettings& s) -> bool& { return s.FilterOn; }},
    {"--fraction-shutter", "--decimal-shutter", "Shutter speeds as 1/125 instead of 0.008",
     "Shutter speeds as 0.008 (default)", [](AnalysisSettings& s) -> bool& { return s.FractionShutter; }},
    {"--no-rejected", "--rejected", "Filter: leave out the photos rated as rejected",
     "Count the photos rated as rejected (default)", [](AnalysisSettings& s) -> bool& { return s.Filter.NoRejected; }},
    {"--maker-notes", "--no-maker-notes", "Add the maker notes to the path list",
     "No maker notes in the path list (default)", [](AnalysisSettings& s) -> bool& { return s.AddMakerNotes; }},
    {"--real-length", "--equivalent", "Plot real lens lengths instead of 35mm equivalents",
     "Plot 35mm equivalents (default)", [](AnalysisSettings& s) -> bool& { return s.Lens.RealLength; }},
    {"--always-calc", "--no-always-calc", "Use only the manual factor for the 35mm equivalent",
     "Use the photo's own 35mm length or the camera table before the manual factor (default)",
     [](AnalysisSettings& s) -> bool& { return s.Lens.AlwaysCalculate; }},
};

// A manual-factor field as the window holds it (Windows-1252, at most kLensTextLength
// characters); nothing when it is too long for the field.
std::optional<std::string> LensField(std::string_view utf8) {
    std::string text = common::Utf8ToCp1252(utf8);
    if (text.size() > settings::kLensTextLength) return std::nullopt;
    return text;
}

// Path-list lines and the caption name the full path, as the window's do. An absolute folder
// stays as given; "." parts and a trailing separator of a relative one go, ".." stays for the
// file system to resolve (it may follow a link).
std::string AbsoluteFolder(const std::string& folder) {
    if (folder.empty() || fs::path(folder).is_absolute()) return folder;
    std::error_code error;
    fs::path absolute = fs::current_path(error);
    if (error) return folder;
    for (const fs::path& part : fs::path(folder)) {
        if (!part.empty() && part != ".") absolute /= part;
    }
    return absolute.string();
}

// Why the folder to analyse cannot be: none when it is a folder. An empty name is left to the
// run, which says that no folder is selected.
std::string FolderProblem(const std::string& folder) {
    struct stat info {};
    if (folder.empty()) return {};
    if (::stat(folder.c_str(), &info) != 0) return errno == ENOENT ? "no such folder" : std::strerror(errno);
    return S_ISDIR(info.st_mode) ? std::string() : "not a folder";
}

// Each quantity's name in the JSON and in --path-list.
constexpr PerQuantity<const char*> kQuantityKeys{{"focal", "iso", "aperture", "shutter", "lens", "rating"}};
static_assert(EveryQuantity(kQuantityKeys));

// The quantity --path-list names ("none": no path list).
std::optional<Quantity> QuantityNamed(const std::string& name) {
    for (const Quantity quantity : kQuantities) {
        if (name == kQuantityKeys[quantity]) return quantity;
    }
    if (name == "none") return std::nullopt;
    return Quantity::FocalLength;
}

// A lens's range in real millimetres and, for a zoom, how many photos were taken at its ends.
void AddLensUse(nlohmann::json& item, const std::unordered_map<std::string, analysis::LensUse>& uses,
                const std::string& label) {
    const auto use = uses.find(label);
    if (use == uses.end() || !use->second.Range.Known()) return;
    item["range"] = {use->second.Range.MinFocal, use->second.Range.MaxFocal};
    if (!use->second.IsZoom()) return;
    item["atWideEnd"] = use->second.AtWideEnd;
    item["atLongEnd"] = use->second.AtLongEnd;
}

// Everything but the path list, which DumpWithLines adds.
nlohmann::json ToJson(const analysis::AnalysisResult& result, const AnalysisSettings& settings) {
    nlohmann::json json;
    json["root"] = settings.RootFolder;
    json["filesFound"] = result.FilesFound;
    json["filesAnalysed"] = result.FilesAnalysed;
    json["stopped"] = result.StopRequested;
    json["summary"] = result.RunSummaryText;
    json["messages"] = result.Messages;
    for (const Quantity quantity : kQuantities) {
        nlohmann::json rows = nlohmann::json::array();
        for (const auto& row : result.Tables[quantity]) {
            nlohmann::json item = {{"category", row.Category}, {"label", row.Label}, {"count", row.Count}};
            if (row.Estimated > 0) item["estimated"] = row.Estimated;
            if (quantity == Quantity::Lens) AddLensUse(item, result.LensUses, row.Category);
            rows.push_back(std::move(item));
        }
        json[kQuantityKeys[quantity]] = std::move(rows);
    }
    const analysis::EquivalenceSummary& sources = result.Equivalence;
    json["equivalentSources"] = {
        {"stored", sources.Stored}, {"table", sources.Table}, {"sensor", sources.Sensor}, {"manual", sources.Manual}};
    nlohmann::json cameras = nlohmann::json::array();
    for (const analysis::ManualCamera& camera : sources.ManualCameras) {
        cameras.push_back({{"make", common::Cp1252ToUtf8(camera.Make)},
                           {"model", common::Cp1252ToUtf8(camera.Model)},
                           {"photos", camera.Photos}});
    }
    json["manualCameras"] = std::move(cameras);
    if (settings.Coverage && result.Coverage) {
        json["coverage"] = {{"from", settings.Coverage->From},
                            {"to", settings.Coverage->To},
                            {"photos", result.Coverage->Photos},
                            {"of", result.Coverage->Of}};
    }
    return json;
}

// A bar of `fraction` x `width` cells in block characters, eighths at its end.
std::string Bar(double fraction, int width) {
    static constexpr const char* kEighths[] = {"", "▏", "▎", "▍", "▌", "▋", "▊", "▉"};
    const int eighths = static_cast<int>(std::lround(fraction * width * 8));
    std::string bar;
    for (int i = 0; i < eighths / 8; ++i) bar += "█";
    bar += kEighths[eighths % 8];
    return bar;
}

void PrintTable(std::ostream& out, const std::string& title, const CategoryTable& table) {
    out << title << '\n';
    if (table.empty()) {
        out << "  (no values)\n\n";
        return;
    }
    int total = 0;
    int most = 0;
    std::size_t labelWidth = 5;
    for (const auto& row : table) {
        total += row.Count;
        most = std::max(most, row.Count);
        labelWidth = std::max(labelWidth, row.Label.size());
    }
    for (const auto& row : table) {
        const double percent = 100.0 * row.Count / total;
        out << "  " << std::string(labelWidth - row.Label.size(), ' ') << row.Label << "  " << std::setw(6) << row.Count
            << "  " << std::setw(5) << std::fixed << std::setprecision(1) << percent << "%  "
            << Bar(static_cast<double>(row.Count) / most, 40) << '\n';
    }
    out << '\n';
}

void PrintPlain(std::ostream& out, const analysis::AnalysisResult& result, const AnalysisSettings& settings) {
    const char* focalTitle =
        settings.Lens.RealLength ? "Focal length (real length, mm)" : "Focal length (35mm equivalent, mm)";
    const PerQuantity<const char*> titles{{focalTitle, "ISO", "Aperture", "Shutter speed (s)", "Lens", "Rating"}};
    for (const Quantity quantity : kQuantities) PrintTable(out, titles[quantity], result.Tables[quantity]);
    if (settings.Coverage && result.Coverage) {
        out << analysis::CoverageSentence(*settings.Coverage, *result.Coverage) << "\n\n";
    }
    for (std::string message : result.Messages) {
        // The filter summary separates its lines with bare carriage returns.
        for (char& c : message) {
            if (c == '\r') c = '\n';
        }
        out << message << '\n';
    }
    if (const std::string estimates = analysis::EstimateStatusText(result.Equivalence); !estimates.empty()) {
        out << estimates << '\n';
    }
    if (!result.RunSummaryText.empty()) out << result.RunSummaryText << '\n';
}

}  // namespace

AnalyseCommand::AnalyseCommand(CLI::App& app) {
    command_ = app.add_subcommand("analyse", "Analyse the photos of a folder: focal length, ISO, aperture, shutter");
    auto* c = command_;
    // An option given twice takes its last value, as a later option overrides an earlier one.
    c->option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    c->add_option("DIR", folder_, "Folder to analyse (default: the Path of --settings)");
    for (const Switch& toggle : kSwitches) {
        c->add_flag(toggle.On, toggle.OnHelp);
        c->add_flag(toggle.Off, toggle.OffHelp);
    }
    c->add_option("--step", step_, "Step size of focal-length categories (1 to 50, default 10)")
        ->check(CLI::Range(1, 50));
    c->add_option("--ignore", ignore_, "Focal lengths up to this keep their value (0 to 49, default 28)")
        ->check(CLI::Range(0, 49));
    c->add_option("--path-list", pathList_, "Quantity of the path list (default focal)")
        ->check(CLI::IsMember({"focal", "iso", "aperture", "shutter", "lens", "rating", "none"}));
    c->add_option("--formats", formats_,
                  "Photos to read: jpeg, or all for RAW and HEIF files too, a RAW or HEIF file beside the JPEG of "
                  "its shot counting once (default all)")
        ->check(CLI::IsMember({"jpeg", "all"}));
    c->add_option("--lens", lens_, "Manual factor: a real length and its 35mm equivalent (default 8,2=38)");
    c->add_option("--lens-real", lensReal_, "Manual factor: the real length alone (default 8,2)");
    c->add_option("--lens-equiv", lensEquiv_, "Manual factor: the 35mm equivalent alone (default 38)");
    c->add_option("--make", make_, "Filter: part of the camera make");
    c->add_option("--model", model_, "Filter: part of the camera model");
    c->add_option("--mn-label", makerNoteLabel_, "Filter: part of a maker-note label (needs --mn-data)");
    c->add_option("--mn-data", makerNoteData_, "Filter: part of that maker note's data (needs --mn-label)");
    c->add_option("--lens-model", lensModel_, "Filter: part of the lens text (\"unknown lens\" when none is found)");
    c->add_option("--from", from_, "Filter: photos taken on this day (YYYY-MM-DD) or later");
    c->add_option("--to", to_, "Filter: photos taken on this day (YYYY-MM-DD) or earlier");
    c->add_option("--min-rating", minRating_, "Filter: photos with at least this many stars (1 to 5)")
        ->check(CLI::Range(1, 5));
    c->add_option("--label", label_, "Filter: part of the photo's colour label (any case)");
    c->add_option("--coverage", coverage_, "Count the photos a lens of this range would cover: A-B, or A for a prime");
    c->add_option(
         "--chart", charts_,
         "Save a chart as a picture, QUANTITY=FILE: focal, iso, aperture, shutter, lens or rating; PNG, or SVG "
         "or BMP as FILE ends (repeatable)")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    c->add_option("--table", table_, "Camera table (default cam_equiv.txt in the settings folder)");
    c->add_option("--settings", settings_, "Take every setting from this vintrop.ini; options override it");
    c->add_option("--decimal-separator", decimalSeparator_, "Decimal separator: . or , (default: the locale's)")
        ->check(CLI::IsMember({".", ","}));
    c->add_option("--path-list-file", pathListFile_,
                  "Where the sorted path list is written (default vt_debug.txt in the settings folder)");
    c->add_flag("--json", json_, "Print the result as one JSON object");
    c->add_option("--jobs", jobs_,
                  "Threads that read photos (default: one per core, more up to 64 while the disk keeps them waiting)")
        ->check(CLI::Range(1, 64));
    c->add_flag("--no-cache", noCache_, "Read every photo; neither use nor fill the cache of photos read before");
    c->add_option("--cache", cacheFile_,
                  "The cache of photos read before (default: quorvela/photos.db in $XDG_CACHE_HOME or ~/.cache)");
    c->footer(
        "Options override --settings. Of two options that set the same thing (--steps and --no-steps, "
        "--lens and --lens-real) the last one given wins.");
}

bool AnalyseCommand::Parsed() const {
    return command_->parsed();
}

int AnalyseCommand::ApplyInOrder(AnalysisSettings& s, std::ostream& err) const {
    for (const CLI::Option* option : command_->parse_order()) {
        const std::string name = option->get_name();
        for (const Switch& toggle : kSwitches) {
            if (name == toggle.On) toggle.Field(s) = true;
            if (name == toggle.Off) toggle.Field(s) = false;
        }
        // Leaving rejected photos out is a filter, as a filter text is.
        if (name == "--no-rejected") s.FilterOn = true;
        if (name == "--lens") {
            const auto equals = lens_.find('=');
            const auto real = LensField(std::string_view(lens_).substr(0, equals));
            const auto equivalent =
                equals == std::string::npos ? std::nullopt : LensField(std::string_view(lens_).substr(equals + 1));
            if (!real || !equivalent) {
                err << "quorvela-cli analyse: --lens needs REAL=EQUIV, each at most 5 characters, such as 8,2=38\n";
                return 2;
            }
            s.Lens.Edit1 = *real;
            s.Lens.Edit2 = *equivalent;
        } else if (name == "--lens-real" || name == "--lens-equiv") {
            const bool isReal = name == "--lens-real";
            const auto text = LensField(isReal ? lensReal_ : lensEquiv_);
            if (!text) {
                err << "quorvela-cli analyse: " << name << " takes at most 5 characters, such as "
                    << (isReal ? "8,2" : "38") << '\n';
                return 2;
            }
            (isReal ? s.Lens.Edit1 : s.Lens.Edit2) = *text;
        }
    }
    return 0;
}

int AnalyseCommand::Settings(AnalysisSettings& s, std::ostream& err) const {
    if (const std::string problem = CheckChartRequests(charts_); !problem.empty()) {
        err << "quorvela-cli analyse: " << problem << '\n';
        return 2;
    }
    if (!settings_.empty()) {
        std::error_code error;
        if (!fs::is_regular_file(settings_, error)) {
            err << "quorvela-cli analyse: settings file not found: " << settings_ << '\n';
            return 2;
        }
        s = FromIni(settings::ReadIniFile(settings_));
    }
    if (!folder_.empty()) s.RootFolder = folder_;
    s.RootFolder = AbsoluteFolder(s.RootFolder);
    if (step_) s.StepSize = *step_;
    if (ignore_) s.IgnoreUpTo = *ignore_;
    if (!pathList_.empty()) s.PathList = QuantityNamed(pathList_);
    if (!formats_.empty()) s.IncludeRawHeif = formats_ == "all";
    // A filter text switches the filter on; --filter and --no-filter, applied after, decide
    // when given.
    const std::optional<std::string>* filter[] = {&make_, &model_, &makerNoteLabel_, &makerNoteData_};
    std::string* fields[] = {&s.Filter.Make, &s.Filter.Model, &s.Filter.MakerNoteLabel, &s.Filter.MakerNoteData};
    for (int i = 0; i < 4; ++i) {
        if (*filter[i]) {
            *fields[i] = common::Utf8ToCp1252(**filter[i]);
            s.FilterOn = true;
        }
    }
    if (const int refused = ApplyLensOptions(s, err); refused != 0) return refused;
    return ApplyInOrder(s, err);
}

int AnalyseCommand::ApplyLensOptions(AnalysisSettings& s, std::ostream& err) const {
    if (lensModel_) {
        s.Filter.Lens = common::Utf8ToCp1252(*lensModel_);
        s.FilterOn = true;
    }
    if (minRating_) {
        s.Filter.MinRating = *minRating_;
        s.FilterOn = true;
    }
    if (label_) {
        s.Filter.Label = *label_;  // XMP is UTF-8, and so are the labels read from it
        s.FilterOn = true;
    }
    const std::tuple<const char*, const std::optional<std::string>&, std::string&> days[] = {
        {"--from", from_, s.Filter.PeriodFrom}, {"--to", to_, s.Filter.PeriodTo}};
    for (const auto& [name, option, field] : days) {
        if (!option) continue;
        if (!analysis::ParseDay(*option)) {
            err << "quorvela-cli analyse: " << name
                << " needs a day that exists, as YYYY-MM-DD such as 2026-06-01, not " << *option << '\n';
            return 2;
        }
        field = *option;
        s.FilterOn = true;
    }
    if (!analysis::PeriodUsable(s.Filter)) {
        err << "quorvela-cli analyse: " << analysis::PeriodProblem(s.Filter) << " (" << s.Filter.PeriodFrom << " to "
            << s.Filter.PeriodTo << ")\n";
        return 2;
    }
    if (coverage_) {
        s.Coverage = analysis::ParseCoverage(*coverage_);
        if (!s.Coverage) {
            err << "quorvela-cli analyse: --coverage needs a focal range in mm such as 24-70, or one length such as "
                   "35, not "
                << *coverage_ << '\n';
            return 2;
        }
    }
    return 0;
}

int AnalyseCommand::ReadTable(equivalence::EquivalentList& table, const fs::path& programFolder,
                              const fs::path& dataFolder, std::ostream& err) const {
    try {
        if (table_.empty()) {
            equivalence::ReadEquivalentData(dataFolder / common::kTableFileName, table,
                                            settings::SeedFileFor(programFolder));
        } else {
            std::error_code error;
            if (!fs::exists(table_, error)) {
                err << "quorvela-cli analyse: camera table not found: " << table_ << '\n';
                return 2;
            }
            equivalence::ReadEquivalentData(table_, table);
        }
    } catch (const std::exception& e) {
        err << "quorvela-cli analyse: " << e.what() << '\n';
        return 2;
    }
    return 0;
}

int AnalyseCommand::Run(std::ostream& out, std::ostream& err) const {
    const fs::path programFolder = settings::ExecutableFolder();
    const fs::path dataFolder = settings::ProgramFolderFor(programFolder);

    AnalysisSettings s;
    if (const int refused = Settings(s, err); refused != 0) return refused;
    if (const std::string problem = FolderProblem(s.RootFolder); !problem.empty()) {
        err << "quorvela-cli analyse: " << problem << ": " << s.RootFolder << '\n';
        return 2;
    }
    equivalence::EquivalentList table;
    if (const int refused = ReadTable(table, programFolder, dataFolder, err); refused != 0) return refused;

    const char separator = decimalSeparator_.empty() ? LocaleDecimalSeparator() : decimalSeparator_[0];
    const library::Collation order(library::CollationLocaleFromEnvironment());
    analysis::RunEnvironment environment;
    environment.DecimalSeparator = separator;
    environment.Jobs = jobs_;
    environment.Table = &table;
    environment.Order = &order;
    if (!noCache_) environment.CacheFile = cacheFile_.empty() ? library::DefaultCacheFile() : fs::path(cacheFile_);
    environment.PathListFile = pathListFile_.empty() ? dataFolder / common::kPathListFileName : fs::path(pathListFile_);

    const bool terminal = &err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
    analysis::AnalysisResult result;
    {
        TerminalObserver observer(terminal ? &err : nullptr);
        InterruptGuard guard(observer.StopRequested);
        result = analysis::StartAnalyzing(s, environment, observer);
    }

    if (result.Outcome == analysis::RunOutcome::Refused) {
        err << "quorvela-cli analyse: " << result.Messages.front() << '\n';
        return 2;
    }
    if (json_) {
        out << DumpWithLines(ToJson(result, s), "pathList", result.PathLines) << '\n';
    } else {
        PrintPlain(out, result, s);
    }
    if (!result.PathListProblem.empty()) {
        err << "quorvela-cli analyse: the path list was not written: " << result.PathListProblem << '\n';
    }
    const std::string chartProblem = WriteChartImages(s, result, charts_);
    if (!chartProblem.empty()) err << "quorvela-cli analyse: " << chartProblem << '\n';
    switch (result.Outcome) {
        case analysis::RunOutcome::NoFolder:
            return 1;
        case analysis::RunOutcome::Stopped:
            return 130;
        default:
            return result.PathListProblem.empty() && chartProblem.empty() ? 0 : 1;
    }
}

}  // namespace quorvela::cli
