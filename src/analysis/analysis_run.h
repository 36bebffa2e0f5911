#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analysis_settings.h"
#include "common/quantity.h"
#include "coverage.h"
#include "equivalence/equivalent_table.h"
#include "equivalence_summary.h"
#include "lens_label.h"
#include "lens_use.h"
#include "library/collation.h"
#include "photo_record.h"
#include "run_messages.h"
#include "tallies.h"

namespace quorvela::analysis {

// The two stages a run shows progress of: collecting the files (folder by folder, or file by
// file when there is one folder) and analysing the focal lengths read.
enum class RunStage { Collecting, Analysing };

// What a message tells; its text comes with it.
enum class MessageKind {
    FilterRefused,  // kFilterRefused, kPeriodRefused or kPeriodReversed: the filter fields cannot be used; nothing else
                    // happens
    NoFolder,       // kNoFolderSelected
    NoPhotos,       // kNoJpegFiles
    NoExif,         // kNoExifInfo
    NoFilterMatch,  // kNoFilterMatch
    PathListNotWritten,  // the path-list file could not be written: the error's text
    Interrupted,         // kPlotInterrupted
    FilterSummary,       // how many files matched the filter
    CacheSetAside,       // the photo cache could not be used: kCacheSetAside and the reason
    FoldersLeftOut,      // links out of the chosen folder, or system folders, were not walked: FoldersLeftOutText
    FoldersUnreadable,   // folders that could not be read: FoldersUnreadableText
    PhotosNotRead,       // photos not read for a reason of the machine's, such as memory: PhotosNotReadText
    XmpNotRead,          // XMP packets or sidecars refused (too large, malformed): XmpNotReadText
    RunFailed,           // the run ended on an error of its own (out of memory, a library that failed): the text
};

// How a run ended, the first that applies.
enum class RunOutcome {
    Refused,        // the filter fields were refused: nothing was done
    NoFolder,       // the folder does not exist: the earlier results stand
    Stopped,        // stopped on request: what was gathered so far
    NoPhotos,       // no JPEG file was found
    NoFilterMatch,  // files were found, but none passed the filter
    NoExif,         // files were found, but none had a focal length
    Finished,       // the results are complete
};

// True for the outcomes whose results match the settings they were made with (everything but
// a refused, folderless or stopped run).
constexpr bool ResultsCurrent(RunOutcome outcome) {
    return outcome != RunOutcome::Refused && outcome != RunOutcome::NoFolder && outcome != RunOutcome::Stopped;
}

// What a run reports as it goes, in the order it happens; how it is shown is the caller's
// business (the window, the command line). Every call has a no-op default. `StopRequested`
// may be set from any thread or a signal handler; the run reads it after each analysed file and
// after each folder. The caller clears it before it starts a run: a stop asked for at once
// after the start must not be lost to the run's own thread.
//
// The order of a run: RunStarted; then either a NoFolder message or FolderOpened, the
// progress, status texts, the summary and the chart points (the lens chart's last); messages;
// PhotosReady (when kept) and PathListReady before the end-of-run messages; RunEnded last. A refused run reports its
// message and RunEnded only.
class AnalysisObserver {
  public:
    virtual ~AnalysisObserver() = default;

    std::atomic<bool> StopRequested{false};

    // The run begins on `root` (before the folder is looked at).
    virtual void RunStarted(const std::string& /*root*/) {}
    // The folder exists: earlier results are dropped, the run is under way and can be stopped.
    virtual void FolderOpened(const std::string& /*root*/) {}
    virtual void ProgressMaximum(RunStage /*stage*/, int /*maximum*/) {}
    virtual void ProgressPosition(RunStage /*stage*/, int /*position*/) {}
    virtual void StatusText(const std::string& /*text*/) {}
    virtual void RunSummary(const std::string& /*text*/) {}  // set once the files are read
    virtual void PhotosRead(int /*count*/) {}                // each photo read, in the run's order
    // A point in time where a caller may handle its own events (after each folder and chart point).
    virtual void ServiceEvents() {}
    virtual void ChartPoint(Quantity /*quantity*/, const CategoryCount& /*point*/) {}
    // Where the 35mm equivalents came from; once, after the chart points.
    virtual void EquivalenceReady(const EquivalenceSummary& /*summary*/) {}
    // Every photo the run counted (those that passed the filter), in file order; once, before
    // PathListReady, and only when RunEnvironment::KeepPhotoRecords is set.
    virtual void PhotosReady(const std::vector<PhotoRecord>& /*photos*/) {}
    // The sorted lines, and for each the path of its file as the run was given it: a line
    // shows "?" for a line break in a name and UTF-8 for names in another encoding.
    virtual void PathListReady(const std::vector<std::string>& /*sortedLines*/,
                               const std::vector<std::string>& /*linePaths*/) {}
    // Something the user has to learn; a window shows it before the run goes on.
    virtual void Message(MessageKind /*kind*/, const std::string& /*text*/) {}
    // The run is over; nothing follows.
    virtual void RunEnded(const std::string& /*root*/, RunOutcome /*outcome*/) {}
};

// What one run needs besides its settings.
struct RunEnvironment {
    char DecimalSeparator = '.';
    const equivalence::EquivalentList* Table = nullptr;  // the camera table; none when null
    const library::Collation* Order = nullptr;           // root-locale collation when null
    std::filesystem::path PathListFile;                  // vt_debug.txt; not written when empty
    // Threads that read files: 0 chooses library::DefaultJobs(); 1 reads every file on
    // the run's own thread. The result does not depend on it.
    int Jobs = 0;
    // Keep a PhotoRecord of each counted photo for PhotosReady: a window answers questions
    // after the run from them; a caller without such questions saves the memory.
    bool KeepPhotoRecords = false;
    // The photo cache (see library::DefaultCacheFile); none when empty. The result
    // does not depend on it.
    std::filesystem::path CacheFile;
    // What names a lens from its range and tells cameras with a lens of their own; lensfun's
    // data when null.
    const LensCatalogue* Lenses = nullptr;
};

struct AnalysisResult {
    RunOutcome Outcome = RunOutcome::Finished;
    int FilesFound = 0;
    int FilesAnalysed = 0;
    bool StopRequested = false;
    std::string RunSummaryText;
    PerQuantity<CategoryTable> Tables;
    std::optional<CoverageCount> Coverage;  // when the settings name a range
    EquivalenceSummary Equivalence;
    std::vector<std::string> PathLines;                 // sorted
    std::vector<std::string> LinePaths;                 // the file of each path line
    std::vector<std::string> Messages;                  // as shown, in order
    std::string PathListProblem;                        // why the path-list file was not written; empty when it was
    std::unordered_map<std::string, LensUse> LensUses;  // by the label of each row of Tables[Lens]
};

// Performs one run.
AnalysisResult StartAnalyzing(const AnalysisSettings& settings, const RunEnvironment& environment,
                              AnalysisObserver& observer);

}  // namespace quorvela::analysis
