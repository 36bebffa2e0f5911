#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "analysis_settings.h"
#include "equivalence/equivalent_table.h"
#include "tallies.h"

namespace quorvela::analysis {

inline constexpr std::string_view kNoFolderSelected = "No folder selected.";
inline constexpr std::string_view kNoJpegFiles = "No jpeg files found.";
inline constexpr std::string_view kNoExifInfo = "None of the jpeg files contained EXIF info.";
inline constexpr std::string_view kNoFilterMatch = "None of the jpeg files match the make and/or model filter strings.";
inline constexpr std::string_view kPlotInterrupted = "Plot interrupted, graph not complete.";
inline constexpr std::string_view kPreviewHint = "Click on a line to select and show the image!";

// What a run does to the window, in the order the run does it. The window implements it
// (marshalling to its own thread), and so does the command line; every call has a no-op
// default. `StopRequested` may be set from any thread or a signal handler; the run reads it
// after each analysed file and after each folder.
class AnalysisObserver {
  public:
    virtual ~AnalysisObserver() = default;

    std::atomic<bool> StopRequested{false};

    virtual void BusyCursor(bool /*busy*/) {}
    virtual void Caption(const std::string& /*text*/) {}       // "Analyzing: ", "Analysed: "
    virtual void ResetPreview(const std::string& /*hint*/) {}  // preview image cleared, hint shown
    virtual void ClearResults() {}                             // series, zooms, path-list view
    virtual void Running(bool /*running*/) {}                  // Stop shown, save buttons disabled
    virtual void CollectMaximum(int /*maximum*/) {}            // "Collecting files" bar
    virtual void CollectPosition(int /*position*/) {}
    virtual void AnalyseMaximum(int /*maximum*/) {}    // "Analyzing files" bar
    virtual void AnalysePosition(int /*position*/) {}  // repainted at once
    virtual void StatusText(const std::string& /*text*/) {}
    virtual void RunSummary(const std::string& /*text*/) {}  // set once the files are read
    virtual void ServiceEvents() {}
    virtual void ChartPoint(Quantity /*quantity*/, const CategoryCount& /*point*/) {}
    // The sorted lines, and for each the path of its file as the run was given it: a line
    // shows "?" for a line break in a name and UTF-8 for names in another encoding.
    virtual void PathListReady(const std::vector<std::string>& /*sortedLines*/,
                               const std::vector<std::string>& /*linePaths*/) {}
    virtual void Message(const std::string& /*text*/) {}  // modal, one OK button
    virtual void AnalysisCurrent() {}                     // charts match the settings
};

// What one run needs besides its settings.
struct RunEnvironment {
    char DecimalSeparator = '.';
    const equivalence::EquivalentList* Table = nullptr;  // the camera table; none when null
    const Collation* Order = nullptr;                    // root-locale collation when null
    std::filesystem::path PathListFile;                  // vt_debug.txt; not written when empty
    // Threads that read files: 0 chooses one per core (at least two); 1 reads every file on
    // the run's own thread. The result does not depend on it.
    int Jobs = 0;
};

struct AnalysisResult {
    bool Refused = false;  // the filter fields were refused; nothing else happened
    int FilesFound = 0;
    int FilesAnalysed = 0;
    bool StopRequested = false;
    std::string RunSummaryText;
    std::array<CategoryTable, 4> Tables;  // indexed by Quantity
    std::vector<std::string> PathLines;   // sorted
    std::vector<std::string> LinePaths;   // the file of each path line
    std::vector<std::string> Messages;    // as shown, in order
};

// True when the extension of the name part (from its last "."), upper-cased, is ".JPG",
// ".THM", ".JPEG" or ".JPE".
bool IsJpegFileName(std::string_view name);

// The folder and every folder below it, depth first, each before its own subfolders,
// siblings in listing order. Links to folders are followed, but no folder is entered twice,
// so a link cycle ends. When `stop` is given and set, the walk ends where it is: a stop must
// not wait for the walk of a large tree.
void CollectFolders(const std::string& root, std::vector<std::string>& list, const std::atomic<bool>* stop = nullptr);

std::string RunSummaryText(int filesAnalysed, int filesFound);

// Performs one run.
AnalysisResult StartAnalyzing(const AnalysisSettings& settings, const RunEnvironment& environment,
                              AnalysisObserver& observer);

}  // namespace quorvela::analysis
