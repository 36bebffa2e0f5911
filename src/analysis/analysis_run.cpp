#include "analysis_run.h"

#include <memory>
#include <optional>
#include <utility>

#include "common/code_page.h"
#include "equivalence/camera_database.h"
#include "file_result.h"
#include "filter.h"
#include "library/file_pool.h"
#include "library/folder_walk.h"
#include "library/folder_warmer.h"
#include "library/ordered_reading.h"
#include "library/photo_reading.h"
#include "metadata/img_data.h"
#include "path_list_writer.h"
#include "run_cache.h"

namespace quorvela::analysis {

namespace {

using library::Collation;

// What reading one photo gives a run: its result, and what the photo cache is to learn.
struct FileOutcome {
    FileResult Result;
    library::CacheNews News;
    std::pair<std::string, std::string> XmpProblem = {};  // the photo and why its XMP was refused
};

// A file that cannot be read at all adds nothing, as an unreadable one.
FileOutcome FailedFile() {
    FileOutcome nothing;
    nothing.Result.Passed = false;
    return nothing;
}

// The state of one run: its counters and lists, the observer it reports to.
class Run final : public library::InOrder<FileOutcome> {
  public:
    Run(AnalysisSettings settings, RunEnvironment environment, AnalysisObserver& observer)
        : settings_(std::move(settings)), environment_(std::move(environment)), observer_(observer) {
        if (environment_.Order == nullptr) {
            ownOrder_ = std::make_unique<Collation>();
            order_ = ownOrder_.get();
        } else {
            order_ = environment_.Order;
        }
    }

    // Performs the run, once, and hands its result over.
    AnalysisResult Perform() && {
        PerformSteps();
        return std::move(result_);
    }

  private:
    void PerformSteps();
    void ReadFolders(const std::vector<std::string>& folders);
    void FolderStart(std::size_t photos, const library::ListingNotes& notes) override;
    bool Photo(FileOutcome outcome) override;
    bool FolderEnd(std::size_t index) override;
    // Reads one file, or takes it from the cache, and derives its result.
    FileOutcome Analyse(const library::PhotoPath& photo, metadata::TimgData& reader, library::FolderKeys& keys);
    // Starts loading ICU the first time a text of the run cannot be sorted without it.
    void AskIcuFor(const FileResult& file);
    void OpenCache();
    void CloseCache();
    // Counts the labels of the run's lenses that name one lens as one, in every list.
    void OneNamePerLens();
    void TallyAll();
    void EndOfRun(bool analysed);
    [[nodiscard]] RunOutcome OutcomeOf(bool analysed) const;
    void Say(MessageKind kind, std::string_view text) {
        result_.Messages.emplace_back(text);
        observer_.Message(kind, std::string(text));
    }
    [[nodiscard]] bool StopAsked() const { return observer_.StopRequested.load(); }

    // A copy: a run started from the window's controls is not changed by later edits to them.
    const AnalysisSettings settings_;
    const RunEnvironment environment_;
    AnalysisObserver& observer_;
    std::unique_ptr<Collation> ownOrder_;
    const Collation* order_ = nullptr;
    const equivalence::EquivalentList noTable_;
    const bool needPairs_ = NeedsMakerNotePairs(settings_);
    // The crop factors of the cameras met, kept in the cache so that a re-run need not read
    // lensfun's list.
    equivalence::RememberedCameras cameras_;
    RunCache cache_;
    const LensCatalogue& lenses_ = environment_.Lenses != nullptr ? *environment_.Lenses : LensfunCatalogue();
    LensUseCounter lensUses_;
    std::atomic<bool> icuAsked_{false};  // a text of the run needs ICU to be sorted

    std::size_t folderCount_ = 0;
    int filesDone_ = 0;   // in the current folder
    int photosRead_ = 0;  // in the whole run
    AnalysisResult result_;
    PerQuantity<CategoryCounter> counters_ =
        PerQuantity<CategoryCounter>::Made([](Quantity q) { return CategoryCounter(q); });
    EquivalenceCounter sources_{!settings_.Lens.RealLength && !settings_.Lens.AlwaysCalculate};
    std::vector<std::int64_t> focalMm_;                    // per counted photo, for the coverage
    std::vector<PhotoRecord> photos_;                      // when the environment keeps them
    int undated_ = 0;                                      // left out by the period for want of a date
    int xmpNotRead_ = 0;                                   // photos whose XMP was refused
    std::pair<std::string, std::string> firstXmpNotRead_;  // the first of them and why
    int unreadable_ = 0;                                   // folders that could not be read
    std::string firstUnreadable_;                          // why the first of them could not
    std::size_t rawHeifLeftOut_ = 0;                       // RAW and HEIF files of a run without them
    PathListWriter pathList_;
    std::string statusText_;
};

void Run::PerformSteps() {
    const std::string& root = settings_.RootFolder;
    if (settings_.FilterOn && !CheckFilterFields(settings_.Filter)) {
        result_.Outcome = RunOutcome::Refused;
        Say(MessageKind::FilterRefused,
            PeriodUsable(settings_.Filter) ? kFilterRefused : PeriodProblem(settings_.Filter));
        observer_.RunEnded(root, result_.Outcome);
        return;
    }
    observer_.RunStarted(root);
    if (!library::IsExistingFolder(root)) {
        Say(MessageKind::NoFolder, kNoFolderSelected);
        EndOfRun(false);
        return;
    }
    observer_.FolderOpened(root);
    // The tree's folders are read ahead while the cache is opened: both wait for the disk.
    std::optional<library::FolderWarmer> warmer;
    if (settings_.IncludeSubfolders) warmer.emplace(root);
    OpenCache();
    observer_.ProgressPosition(RunStage::Collecting, 0);
    observer_.ProgressPosition(RunStage::Analysing, 0);
    observer_.StatusText({});
    observer_.ServiceEvents();

    std::vector<std::string> folders;
    int leftOut = 0;
    if (settings_.IncludeSubfolders) {
        library::CollectFolders(root, folders, &observer_.StopRequested, &*warmer, &leftOut);
        warmer.reset();
    } else {
        folders.push_back(root);
    }
    if (folders.size() > 1) observer_.ProgressMaximum(RunStage::Collecting, static_cast<int>(folders.size()));
    ReadFolders(folders);

    result_.RunSummaryText = RunSummaryText(result_.FilesAnalysed, result_.FilesFound);
    observer_.RunSummary(result_.RunSummaryText);
    observer_.StatusText(result_.RunSummaryText);
    OneNamePerLens();
    pathList_.SortInBackground(*order_, environment_.PathListFile);
    TallyAll();

    if (leftOut > 0) Say(MessageKind::FoldersLeftOut, FoldersLeftOutText(leftOut));
    if (unreadable_ > 0) Say(MessageKind::FoldersUnreadable, FoldersUnreadableText(unreadable_, firstUnreadable_));
    if (xmpNotRead_ > 0) {
        Say(MessageKind::XmpNotRead, XmpNotReadText(xmpNotRead_, firstXmpNotRead_.first, firstXmpNotRead_.second));
    }
    if (result_.FilesFound == 0) {
        Say(MessageKind::NoPhotos, kNoJpegFiles);
        if (rawHeifLeftOut_ > 0) Say(MessageKind::NoPhotos, RawHeifLeftOutText(rawHeifLeftOut_));
    } else if (result_.FilesAnalysed == 0) {
        // Not "no focal category": a file whose length lies beyond every category was still
        // analysed, and saying that no file matched the filter would be wrong.
        observer_.ProgressPosition(RunStage::Collecting, 0);
        Say(settings_.FilterOn ? MessageKind::NoFilterMatch : MessageKind::NoExif,
            settings_.FilterOn ? kNoFilterMatch : kNoExifInfo);
    }
    EndOfRun(true);
}

void Run::ReadFolders(const std::vector<std::string>& folders) {
    folderCount_ = folders.size();
    cache_.WaitLoaded();
    library::ReadingPlan plan;
    plan.Jobs = environment_.Jobs > 0 ? environment_.Jobs : library::DefaultJobs();
    plan.Sizing = environment_.Jobs > 0 ? library::PoolSizing::Fixed : library::PoolSizing::GrowWhenWaiting;
    plan.WithRawHeif = settings_.IncludeRawHeif;
    // One reader per thread, made by the thread that uses it: a pool that never grows to its
    // most threads does not pay for the readers it does not use.
    struct Worker {
        explicit Worker(char separator) : Reader(true, separator) {}
        metadata::TimgData Reader;
        library::FolderKeys Keys;
    };
    std::vector<std::unique_ptr<Worker>> workers(static_cast<std::size_t>(plan.Jobs));
    const auto work = [&](const library::PhotoPath& photo, int index) {
        auto& own = workers[static_cast<std::size_t>(index)];
        if (!own) own = std::make_unique<Worker>(environment_.DecimalSeparator);
        return Analyse(photo, own->Reader, own->Keys);
    };
    const library::WorkFailures::Counts failures =
        library::ReadInOrder<FileOutcome>(folders, plan, work, FailedFile(), *this);
    if (failures.OutOfMemory > 0)
        Say(MessageKind::PhotosNotRead, PhotosNotReadText(failures.OutOfMemory, kOutOfMemory));
    if (failures.Errors > 0) Say(MessageKind::PhotosNotRead, PhotosNotReadText(failures.Errors, failures.FirstError));
}

FileOutcome Run::Analyse(const library::PhotoPath& photo, metadata::TimgData& reader, library::FolderKeys& keys) {
    library::PhotoReading reading = library::ReadPhoto(photo, needPairs_, cache_.Photos(), reader, keys);
    const Derivation derivation{environment_.Table != nullptr ? *environment_.Table : noTable_, cameras_, lenses_,
                                environment_.DecimalSeparator, environment_.KeepPhotoRecords};
    FileOutcome outcome{DeriveResult(reading.Facts, photo.Path, settings_, derivation), {}};
    if (!reading.Facts.XmpProblem.empty()) outcome.XmpProblem = {photo.Path, reading.Facts.XmpProblem};
    AskIcuFor(outcome.Result);
    outcome.News = std::move(reading).TakeNews();
    return outcome;
}

void Run::AskIcuFor(const FileResult& file) {
    if (icuAsked_.load(std::memory_order_relaxed)) return;
    // Shutter speeds have an order of their own.
    for (const std::string* text : {&file.Focal, &file.Iso, &file.Aperture, &file.Lens, &file.PathLine}) {
        if (order_->NeedsIcu(*text)) {
            if (!icuAsked_.exchange(true)) order_->OpenIcuInBackground();
            return;
        }
    }
}

void Run::OpenCache() {
    if (environment_.CacheFile.empty()) return;
    if (std::string problem; !cache_.Open(environment_.CacheFile, environment_.DecimalSeparator, problem)) {
        Say(MessageKind::CacheSetAside, std::string(kCacheSetAside) + problem);
        return;
    }
    cache_.StartLoading(settings_.RootFolder, settings_.IncludeSubfolders, *order_, cameras_);
}

void Run::CloseCache() {
    if (std::string problem; !cache_.Close(*order_, cameras_, problem))
        Say(MessageKind::CacheSetAside, std::string(kCacheSetAside) + problem);
}

void Run::FolderStart(std::size_t photos, const library::ListingNotes& notes) {
    if (!notes.Problem.empty() && unreadable_++ == 0) firstUnreadable_ = notes.Problem;
    rawHeifLeftOut_ += notes.RawHeifLeftOut;
    result_.FilesFound += static_cast<int>(photos);
    order_->PrepareInBackground(static_cast<std::size_t>(result_.FilesFound));
    filesDone_ = 0;
    if (folderCount_ == 1) observer_.ProgressMaximum(RunStage::Collecting, result_.FilesFound);
}

bool Run::Photo(FileOutcome outcome) {
    if (settings_.FilterOn && statusText_.empty()) {
        statusText_ = kFilterScanning;
        observer_.StatusText(statusText_);
    }
    cache_.Learn(outcome.News);
    FileResult& file = outcome.Result;
    if (!outcome.XmpProblem.second.empty() && xmpNotRead_++ == 0) firstXmpNotRead_ = std::move(outcome.XmpProblem);
    if (!file.Passed) {
        if (file.Undated) ++undated_;
    } else {
        if (environment_.KeepPhotoRecords) photos_.push_back(TakeRecord(file));
        if (settings_.Coverage) focalMm_.push_back(file.FocalMm);
        if (!file.Lens.empty()) {
            lensUses_.Add(file.Lens, file.LensRange, file.RealFocal);
            counters_[Quantity::Lens].Add(std::move(file.Lens));
        }
        if (!file.Rating.empty()) counters_[Quantity::Rating].Add(std::move(file.Rating));
        if (!file.Iso.empty()) counters_[Quantity::Iso].Add(std::move(file.Iso));
        if (!file.Aperture.empty()) counters_[Quantity::Aperture].Add(std::move(file.Aperture));
        if (!file.Shutter.empty()) counters_[Quantity::Shutter].Add(std::move(file.Shutter));
        if (!file.Focal.empty()) counters_[Quantity::FocalLength].Add(std::move(file.Focal), file.Estimated);
        if (file.HasFocalLength) {
            ++result_.FilesAnalysed;
            sources_.Add(file.Source, file.Make, file.Model);
        }
        if (!file.PathLine.empty()) pathList_.Add(std::move(file.PathLine), std::move(file.LinePath));
    }
    // With one folder the collecting bar follows the files of that folder.
    if (folderCount_ == 1) observer_.ProgressPosition(RunStage::Collecting, ++filesDone_);
    observer_.PhotosRead(++photosRead_);
    return !StopAsked();
}

bool Run::FolderEnd(std::size_t index) {
    if (folderCount_ > 1) observer_.ProgressPosition(RunStage::Collecting, static_cast<int>(index) + 1);
    observer_.ServiceEvents();
    return !StopAsked();
}

void Run::OneNamePerLens() {
    const std::unordered_map<std::string, std::string> names =
        analysis::OneNamePerLens(counters_[Quantity::Lens].Distinct());
    result_.LensUses = lensUses_.Uses(names);
    if (names.empty()) return;
    counters_[Quantity::Lens].Rename(names);
    if (settings_.PathList == Quantity::Lens) pathList_.RenameLabels(names);
    for (PhotoRecord& photo : photos_) {
        std::string& lens = photo.Categories[Quantity::Lens];
        if (const auto it = names.find(lens); it != names.end()) lens = it->second;
    }
}

void Run::TallyAll() {
    observer_.ProgressMaximum(RunStage::Analysing, static_cast<int>(counters_[Quantity::FocalLength].Size()));
    for (const Quantity quantity : kQuantities) {
        CategoryTable table =
            counters_[quantity].Tally(*order_, settings_.FractionShutter, environment_.DecimalSeparator);
        if (quantity == Quantity::FocalLength) {
            // The analysing bar follows the entries of the sorted list, one step per entry.
            int gone = 0;
            for (const CategoryCount& row : table) {
                for (int i = 0; i < row.Count; ++i) observer_.ProgressPosition(RunStage::Analysing, ++gone);
            }
        }
        for (const CategoryCount& row : table) {
            observer_.ChartPoint(quantity, row);
            observer_.ServiceEvents();
        }
        result_.Tables[quantity] = std::move(table);
    }
    result_.Equivalence = sources_.Summary();
    observer_.EquivalenceReady(result_.Equivalence);
    if (settings_.Coverage) result_.Coverage = CountCoverage(*settings_.Coverage, focalMm_);
    focalMm_.clear();
}

void Run::EndOfRun(bool analysed) {
    counters_ = PerQuantity<CategoryCounter>::Made([](Quantity q) { return CategoryCounter(q); });
    if (analysed && environment_.KeepPhotoRecords) observer_.PhotosReady(photos_);
    photos_.clear();
    const std::string problem = pathList_.Finish(*order_, environment_.PathListFile);
    if (!pathList_.Empty()) {
        // The view is filled from the lines themselves; the user learns why the file is old.
        if (!problem.empty()) Say(MessageKind::PathListNotWritten, problem);
        result_.PathListProblem = problem;
        observer_.PathListReady(pathList_.Lines(), pathList_.Paths());
        result_.PathLines = pathList_.TakeLines();
        result_.LinePaths = pathList_.TakePaths();
    }
    CloseCache();
    result_.StopRequested = StopAsked();
    if (result_.StopRequested) Say(MessageKind::Interrupted, kPlotInterrupted);
    if (settings_.FilterOn && result_.FilesAnalysed > 0) {
        // The filter fields are in the metadata's code page; messages are for a person.
        Say(MessageKind::FilterSummary, common::Cp1252ToUtf8(FilterSummaryText(
                                            result_.FilesAnalysed, result_.FilesFound, settings_.Filter, undated_)));
    }
    observer_.ProgressPosition(RunStage::Collecting, 0);
    observer_.ProgressPosition(RunStage::Analysing, 0);
    result_.Outcome = OutcomeOf(analysed);
    observer_.RunEnded(settings_.RootFolder, result_.Outcome);
}

RunOutcome Run::OutcomeOf(bool analysed) const {
    // Without a folder nothing was analysed: the charts still show an earlier run.
    if (!analysed) return RunOutcome::NoFolder;
    if (result_.StopRequested) return RunOutcome::Stopped;
    if (result_.FilesFound == 0) return RunOutcome::NoPhotos;
    if (result_.FilesAnalysed == 0) return settings_.FilterOn ? RunOutcome::NoFilterMatch : RunOutcome::NoExif;
    return RunOutcome::Finished;
}

}  // namespace

AnalysisResult StartAnalyzing(const AnalysisSettings& settings, const RunEnvironment& environment,
                              AnalysisObserver& observer) {
    return Run(settings, environment, observer).Perform();
}

}  // namespace quorvela::analysis
