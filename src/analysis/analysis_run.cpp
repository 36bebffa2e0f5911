#include "analysis_run.h"

#include <dirent.h>
#include <sys/stat.h>

#include <atomic>
#include <cstring>
#include <deque>
#include <exception>
#include <functional>
#include <future>
#include <map>
#include <optional>
#include <set>
#include <system_error>
#include <utility>

#include "common/ascii.h"
#include "common/code_page.h"
#include "common/text_file.h"
#include "equivalence/camera_database.h"
#include "file_analysis.h"
#include "file_pool.h"
#include "filter.h"
#include "folder_warmer.h"
#include "metadata/img_data.h"
#include "photo_cache.h"
#include "photo_candidates.h"
#include "photo_facts.h"

namespace quorvela::analysis {

namespace {

struct Entry {
    std::string Name;
    EntryKind Kind = EntryKind::Unknown;
};

EntryKind KindOf(unsigned char type) {
    if (type == DT_REG) return EntryKind::Plain;
    return type == DT_LNK || type == DT_UNKNOWN ? EntryKind::Unknown : EntryKind::NotPlain;
}

// Every entry of a folder with what its listing says of it; no entry is looked at.
std::vector<Entry> ListFolder(const std::string& folder) {
    std::vector<Entry> entries;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return entries;
    while (const dirent* item = ::readdir(dir)) {
        const std::string_view name = item->d_name;
        if (name == "." || name == "..") continue;
        entries.push_back({std::string(name), KindOf(item->d_type)});
    }
    ::closedir(dir);
    return entries;
}

bool IsExistingFolder(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The state of one run: its lists and counters, the observer it reports to.
class Run {
  public:
    Run(AnalysisSettings settings, const RunEnvironment& environment, AnalysisObserver& observer)
        : settings_(std::move(settings)),
          environment_(environment),
          observer_(observer),
          reader_(true, environment.DecimalSeparator) {
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
    // One step of the walk, combined in the order a one-file-at-a-time run takes it.
    struct Step {
        enum class Kind { FolderStart, File, FolderEnd } What;
        int Value = 0;  // FolderStart: photos in the folder; FolderEnd: folder index
    };

    void ProcessFolders(const std::vector<std::string>& folders);
    void ReadOneByOne(const std::vector<std::string>& folders);
    [[nodiscard]] std::vector<PhotoPath> PhotoPaths(const std::string& folder) const;
    // Applies one step; false when the run stops here.
    bool Combine(const Step& step, std::size_t folderCount, const std::function<FileOutcome()>& nextResult);
    // Reads one file, or takes it from the cache.
    FileOutcome Analyse(const std::string& path, EntryKind kind, metadata::TimgData& reader, FolderKeys& keys);
    FileOutcome ReadHere(const PhotoPath& photo);
    // Starts loading ICU the first time a text of the run cannot be sorted without it.
    void AskIcuFor(const FileResult& file);
    void AddFile(FileOutcome outcome);
    void OpenCache();
    void CloseCache();
    // Sorts the path lines and writes them to the path-list file; what went wrong, if anything.
    std::string SortAndWritePathLines(const Collation& order);
    void SortPathLinesBeside();
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
    metadata::TimgData reader_;
    FolderKeys keys_;  // the run thread's, when it reads itself
    std::unique_ptr<Collation> ownOrder_;
    const Collation* order_ = nullptr;
    const equivalence::EquivalentList noTable_;
    const bool needPairs_ = NeedsMakerNotePairs(settings_);
    std::unique_ptr<PhotoCache> cache_;
    std::future<void> loading_;  // the cache's entries of the folder, read beside the walk
    bool ranksKept_ = false;     // the collation's rank table came from the cache
    // The crop factors of the cameras met, kept in the cache so that a re-run need not read
    // lensfun's list.
    equivalence::RememberedCameras cameras_;
    std::string camerasNote_;
    std::atomic<bool> icuAsked_{false};  // a text of the run needs ICU to be sorted

    int filesDone_ = 0;  // in the current folder
    AnalysisResult result_;
    std::array<RunList, kQuantityCount> lists_{RunList(Quantity::FocalLength), RunList(Quantity::Iso),
                                               RunList(Quantity::Aperture), RunList(Quantity::Shutter),
                                               RunList(Quantity::Lens)};
    EquivalenceCounter sources_{!settings_.Lens.RealLength && !settings_.Lens.AlwaysCalculate};
    std::vector<std::int64_t> focalMm_;  // per counted photo, for the coverage
    std::vector<PhotoRecord> photos_;    // when the environment keeps them
    int undated_ = 0;                    // left out by the period for want of a date
    std::vector<std::string> pathLines_;
    std::vector<std::string> linePaths_;  // the file of each path line
    std::future<std::string> linesDone_;  // the path lines sorted and written beside the tallies; the problem
    std::string statusText_;
};

void Run::PerformSteps() {
    const std::string& root = settings_.RootFolder;
    if (settings_.FilterOn && !CheckFilterFields(settings_.Filter)) {
        result_.Outcome = RunOutcome::Refused;
        Say(MessageKind::FilterRefused, PeriodUsable(settings_.Filter) ? kFilterRefused : kPeriodRefused);
        observer_.RunEnded(root, result_.Outcome);
        return;
    }
    observer_.StopRequested = false;
    observer_.RunStarted(root);
    if (!IsExistingFolder(root)) {
        Say(MessageKind::NoFolder, kNoFolderSelected);
        EndOfRun(false);
        return;
    }
    observer_.FolderOpened(root);
    // The tree's folders are read ahead while the cache is opened: both wait for the disk.
    std::optional<FolderWarmer> warmer;
    if (settings_.IncludeSubfolders) warmer.emplace(root);
    OpenCache();
    observer_.ProgressPosition(RunStage::Collecting, 0);
    observer_.ProgressPosition(RunStage::Analysing, 0);
    observer_.StatusText({});
    observer_.ServiceEvents();

    std::vector<std::string> folders;
    if (settings_.IncludeSubfolders) {
        CollectFolders(root, folders, &observer_.StopRequested, &*warmer);
        warmer.reset();
    } else {
        folders.push_back(root);
    }
    if (folders.size() > 1) observer_.ProgressMaximum(RunStage::Collecting, static_cast<int>(folders.size()));
    ProcessFolders(folders);

    result_.RunSummaryText = RunSummaryText(result_.FilesAnalysed, result_.FilesFound);
    observer_.RunSummary(result_.RunSummaryText);
    observer_.StatusText(result_.RunSummaryText);
    SortPathLinesBeside();
    TallyAll();

    if (result_.FilesFound == 0) {
        Say(MessageKind::NoPhotos, kNoJpegFiles);
    } else if (result_.FilesAnalysed == 0) {
        // Not "no focal category": a file whose length lies beyond every category was still
        // analysed, and saying that no file matched the filter would be wrong.
        observer_.ProgressPosition(RunStage::Collecting, 0);
        if (settings_.FilterOn) {
            Say(MessageKind::NoFilterMatch, kNoFilterMatch);
        } else {
            Say(MessageKind::NoExif, kNoExifInfo);
        }
    }
    EndOfRun(true);
}

std::vector<PhotoPath> Run::PhotoPaths(const std::string& folder) const {
    std::vector<std::string> names;
    std::map<std::string, EntryKind, std::less<>> notPlain;  // usually none
    for (Entry& entry : ListFolder(folder)) {
        if (entry.Kind != EntryKind::Plain) notPlain.emplace(entry.Name, entry.Kind);
        names.push_back(std::move(entry.Name));
    }
    std::vector<PhotoPath> paths;
    for (const std::string& name : ChoosePhotos(names, settings_.IncludeRawHeif)) {
        const auto found = notPlain.find(name);
        paths.push_back({JoinPath(folder, name), found == notPlain.end() ? EntryKind::Plain : found->second});
    }
    return paths;
}

FileOutcome Run::Analyse(const std::string& path, EntryKind kind, metadata::TimgData& reader, FolderKeys& keys) {
    const equivalence::EquivalentList& table = environment_.Table ? *environment_.Table : noTable_;
    const char separator = environment_.DecimalSeparator;
    FileOutcome outcome;
    std::optional<PhotoKey> key = cache_ ? keys.Of(path) : std::nullopt;
    if (key) {
        if (auto hit = cache_->Find(*key, needPairs_)) {
            outcome.Result =
                DeriveResult(hit->Facts, path, settings_, table, separator, environment_.KeepPhotoRecords, &cameras_);
            AskIcuFor(outcome.Result);
            outcome.Touch = hit->Touch;
            if (outcome.Touch) outcome.Key = std::move(key);
            return outcome;
        }
    }
    // Never opened unless a plain file: opening a FIFO or a device may block or act.
    const bool readable =
        cache_ ? key.has_value() : kind == EntryKind::Plain || (kind == EntryKind::Unknown && IsReadableFile(path));
    PhotoFacts facts = ReadFacts(path, readable, needPairs_, reader);
    outcome.Result = DeriveResult(facts, path, settings_, table, separator, environment_.KeepPhotoRecords, &cameras_);
    AskIcuFor(outcome.Result);
    // A file changed while it was read may hold anything: it is read again next time.
    if (key && keys.Of(path) == key) {
        outcome.Key = std::move(key);
        outcome.Facts = std::move(facts);
    }
    return outcome;
}

void Run::AskIcuFor(const FileResult& file) {
    if (icuAsked_.load(std::memory_order_relaxed)) return;
    // Shutter speeds have an order of their own.
    for (const std::string* text : {&file.Focal, &file.Iso, &file.Aperture, &file.Lens, &file.PathLine}) {
        if (order_->NeedsIcu(*text)) {
            if (!icuAsked_.exchange(true)) order_->PrepareIcuBeside();
            return;
        }
    }
}

FileOutcome Run::ReadHere(const PhotoPath& photo) {
    try {
        return Analyse(photo.Path, photo.Kind, reader_, keys_);
    } catch (const std::exception&) {
        FileOutcome nothing;  // a file that cannot be analysed adds nothing, as an unreadable one
        nothing.Result.Passed = false;
        return nothing;
    }
}

void Run::OpenCache() {
    if (environment_.CacheFile.empty()) return;
    std::string problem;
    const std::string version = std::to_string(kFactsVersion) + environment_.DecimalSeparator;
    cache_ = PhotoCache::Open(environment_.CacheFile, version, problem);
    if (!cache_) {
        Say(MessageKind::CacheSetAside, std::string(kCacheSetAside) + problem);
        return;
    }
    // Read beside the folder walk: on a cold disk both wait for reads.
    loading_ = std::async(std::launch::async, [this] {
        camerasNote_ = equivalence::CameraListName();
        if (const auto note = cache_->Note(camerasNote_)) cameras_.Take(*note);
        cache_->Load(settings_.RootFolder, settings_.IncludeSubfolders);
        // With the locale's rank table kept from an earlier run, lists of ASCII texts are sorted
        // without ICU. Otherwise its first use reads ICU from disk, which the walk no longer
        // waits for; a run of that many remembered photos will sort long lists.
        if (const auto note = cache_->Note(order_->RanksName()); note && note->size() == sizeof(AsciiRankTable)) {
            AsciiRankTable ranks{};
            std::memcpy(ranks.data(), note->data(), ranks.size());
            order_->UseRanks(ranks);
            ranksKept_ = true;
        }
        order_->PrepareBeside(cache_->Loaded());
    });
}

void Run::CloseCache() {
    if (loading_.valid()) loading_.get();
    if (!cache_) return;
    if (!ranksKept_) {
        if (const auto made = order_->MadeRanks()) {
            cache_->KeepNote(order_->RanksName(),
                             std::string_view(reinterpret_cast<const char*>(made->data()), made->size()));
        }
    }
    if (cameras_.Changed()) cache_->KeepNote(camerasNote_, cameras_.Text());
    if (std::string problem; !cache_->Finish(problem))
        Say(MessageKind::CacheSetAside, std::string(kCacheSetAside) + problem);
    cache_.reset();
}

bool Run::Combine(const Step& step, std::size_t folderCount, const std::function<FileOutcome()>& nextResult) {
    switch (step.What) {
        case Step::Kind::FolderStart:
            result_.FilesFound += step.Value;
            order_->PrepareBeside(static_cast<std::size_t>(result_.FilesFound));
            filesDone_ = 0;
            if (folderCount == 1) observer_.ProgressMaximum(RunStage::Collecting, result_.FilesFound);
            return true;
        case Step::Kind::File:
            if (settings_.FilterOn && statusText_.empty()) {
                statusText_ = kFilterScanning;
                observer_.StatusText(statusText_);
            }
            AddFile(nextResult());
            // With one folder the collecting bar follows the files of that folder.
            if (folderCount == 1) observer_.ProgressPosition(RunStage::Collecting, ++filesDone_);
            return !StopAsked();
        case Step::Kind::FolderEnd:
            if (folderCount > 1) observer_.ProgressPosition(RunStage::Collecting, step.Value + 1);
            observer_.ServiceEvents();
            return !StopAsked();
    }
    return true;
}

void Run::ProcessFolders(const std::vector<std::string>& folders) {
    const std::size_t count = folders.size();
    const int jobs = environment_.Jobs > 0 ? environment_.Jobs : DefaultJobs();
    if (loading_.valid()) loading_.get();
    // One reader per thread, made by the thread that uses it: a pool that never grows to
    // `jobs` threads does not pay for the readers it does not use.
    struct Worker {
        explicit Worker(char separator) : Reader(true, separator) {}
        metadata::TimgData Reader;
        FolderKeys Keys;
    };
    std::vector<std::unique_ptr<Worker>> workers(static_cast<std::size_t>(jobs));
    std::unique_ptr<FilePool> reading;
    if (jobs > 1) {
        const auto sizing = environment_.Jobs > 0 ? FilePool::Sizing::Fixed : FilePool::Sizing::GrowWhenWaiting;
        try {
            reading = std::make_unique<FilePool>(
                jobs,
                [&](const std::string& path, EntryKind kind, int worker) {
                    auto& own = workers[static_cast<std::size_t>(worker)];
                    if (!own) own = std::make_unique<Worker>(environment_.DecimalSeparator);
                    return Analyse(path, kind, own->Reader, own->Keys);
                },
                sizing);
        } catch (const std::exception&) {
            // The system gives no thread to read with: the run reads the files itself.
        }
    }
    if (!reading) {
        ReadOneByOne(folders);
        return;
    }

    // Several readers: the walk runs ahead of the combining by a bounded number of files,
    // across folder boundaries, so small folders do not leave readers idle.
    FilePool& pool = *reading;
    const std::size_t ahead = static_cast<std::size_t>(jobs) * 16;
    std::deque<Step> steps;
    std::size_t next = 0;
    const std::function<FileOutcome()> take = [&] { return pool.TakeNext(); };
    for (;;) {
        while (next < count && pool.Pending() < ahead) {
            std::vector<PhotoPath> paths = PhotoPaths(folders[next]);
            steps.push_back({Step::Kind::FolderStart, static_cast<int>(paths.size())});
            steps.insert(steps.end(), paths.size(), Step{Step::Kind::File});
            pool.Submit(std::move(paths));
            steps.push_back({Step::Kind::FolderEnd, static_cast<int>(next)});
            ++next;
        }
        if (steps.empty()) return;
        const Step step = steps.front();
        steps.pop_front();
        if (Combine(step, count, take)) continue;
        // Stopped: files read ahead are dropped; the folder being combined still ends as
        // it would have without the readers running ahead.
        pool.Cancel();
        if (step.What == Step::Kind::File) {
            while (!steps.empty() && steps.front().What != Step::Kind::FolderEnd) steps.pop_front();
            if (!steps.empty()) Combine(steps.front(), count, {});
        }
        return;
    }
}

void Run::ReadOneByOne(const std::vector<std::string>& folders) {
    const std::size_t count = folders.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::vector<PhotoPath> paths = PhotoPaths(folders[i]);
        Combine({Step::Kind::FolderStart, static_cast<int>(paths.size())}, count, {});
        for (const PhotoPath& photo : paths) {
            if (!Combine({Step::Kind::File}, count, [&] { return ReadHere(photo); })) break;
        }
        if (!Combine({Step::Kind::FolderEnd, static_cast<int>(i)}, count, {})) return;
    }
}

void Run::AddFile(FileOutcome outcome) {
    if (cache_ && outcome.Key) {
        if (outcome.Facts) {
            cache_->Remember(*outcome.Key, *outcome.Facts);
        } else if (outcome.Touch) {
            cache_->Touch(*outcome.Key);
        }
    }
    FileResult& file = outcome.Result;
    if (!file.Passed) {
        if (file.Undated) ++undated_;
        return;
    }
    if (environment_.KeepPhotoRecords) {
        PhotoRecord& photo = photos_.emplace_back();
        photo.Path = std::move(file.Path);
        photo.Categories = {file.Focal, file.Iso, file.Aperture, file.Shutter, file.Lens};
        photo.FocalMm = file.FocalMm;
        photo.MakeModel = std::move(file.MakeModel);
        photo.MakerNotes = std::move(file.MakerNotes);
        photo.DebugInfo = std::move(file.DebugInfo);
    }
    if (settings_.Coverage) focalMm_.push_back(file.FocalMm);
    if (!file.Lens.empty()) lists_[4].Add(std::move(file.Lens));
    if (!file.Iso.empty()) lists_[1].Add(std::move(file.Iso));
    if (!file.Aperture.empty()) lists_[2].Add(std::move(file.Aperture));
    if (!file.Shutter.empty()) lists_[3].Add(std::move(file.Shutter));
    if (!file.Focal.empty()) lists_[0].Add(std::move(file.Focal), file.Estimated);
    if (file.Analysed) {
        ++result_.FilesAnalysed;
        sources_.Add(file.Source, file.Make, file.Model);
    }
    if (!file.PathLine.empty()) {
        pathLines_.push_back(std::move(file.PathLine));
        linePaths_.push_back(std::move(file.LinePath));
    }
}

std::string Run::SortAndWritePathLines(const Collation& order) {
    const std::vector<std::size_t> sorted = order.SortOrder(pathLines_);
    ApplyOrder(sorted, pathLines_);
    ApplyOrder(sorted, linePaths_);
    if (environment_.PathListFile.empty()) return {};
    try {
        common::WriteTextLines(environment_.PathListFile, pathLines_);
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

void Run::SortPathLinesBeside() {
    if (pathLines_.size() < Collation::kLongList) return;  // a short list costs less than a thread
    try {
        // A copy of the collation: ICU's collator is not shared between threads. Until the
        // tallies are done the run's thread does not touch the lines.
        linesDone_ =
            std::async(std::launch::async, [order = Collation(*order_), this] { return SortAndWritePathLines(order); });
    } catch (const std::system_error&) {
        // No thread to spare: the lines are sorted after the tallies.
    }
}

void Run::TallyAll() {
    const std::size_t focalCount = lists_[0].Size();
    observer_.ProgressMaximum(RunStage::Analysing, static_cast<int>(focalCount));
    for (std::size_t q = 0; q < kQuantityCount; ++q) {
        const auto quantity = static_cast<Quantity>(q);
        CategoryTable table = lists_[q].Tally(*order_, settings_.FractionShutter, environment_.DecimalSeparator);
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
        result_.Tables[q] = std::move(table);
    }
    result_.Equivalence = sources_.Summary();
    observer_.EquivalenceReady(result_.Equivalence);
    if (settings_.Coverage) result_.Coverage = CountCoverage(*settings_.Coverage, focalMm_);
    focalMm_.clear();
}

void Run::EndOfRun(bool analysed) {
    for (std::size_t q = 0; q < kQuantityCount; ++q) lists_[q] = RunList(static_cast<Quantity>(q));
    if (analysed && environment_.KeepPhotoRecords) observer_.PhotosReady(photos_);
    photos_.clear();
    if (!pathLines_.empty()) {
        const std::string problem = linesDone_.valid() ? linesDone_.get() : SortAndWritePathLines(*order_);
        // The view is filled from the lines themselves; the user learns why the file is old.
        if (!problem.empty()) Say(MessageKind::PathListNotWritten, problem);
        observer_.PathListReady(pathLines_, linePaths_);
        result_.PathLines = std::move(pathLines_);
        result_.LinePaths = std::move(linePaths_);
    }
    CloseCache();
    pathLines_.clear();
    linePaths_.clear();
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

bool IsJpegFileName(std::string_view name) {
    return CandidateKindOf(name, false) == CandidateKind::Jpeg;
}

void CollectFolders(const std::string& root, std::vector<std::string>& list, const std::atomic<bool>* stop,
                    FolderWarmer* warmer) {
    struct stat info {};
    if (::stat(root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return;
    list.push_back(root);
    std::set<FolderId> entered{{info.st_dev, info.st_ino}};
    // The warmer's listing when it has one, else the folder read here.
    const auto listing = [warmer](const std::string& folder, FolderId id) {
        std::optional<std::vector<Subfolder>> subfolders =
            warmer != nullptr ? warmer->TakeSubfolders(id) : std::nullopt;
        if (!subfolders) subfolders = ReadSubfolders(folder);
        return subfolders ? std::move(*subfolders) : std::vector<Subfolder>();
    };

    // An explicit stack instead of recursion: a deep tree must not exhaust the thread's stack.
    struct Level {
        std::string Folder;
        std::vector<Subfolder> Entries;
        std::size_t Next = 0;
    };
    std::vector<Level> stack;
    stack.push_back({root, listing(root, {info.st_dev, info.st_ino})});
    while (!stack.empty()) {
        if (stop != nullptr && stop->load()) return;
        Level& level = stack.back();
        if (level.Next >= level.Entries.size()) {
            stack.pop_back();
            continue;
        }
        const Subfolder& entry = level.Entries[level.Next++];
        if (!entered.insert(entry.Id).second) continue;
        std::string path = JoinPath(level.Folder, entry.Name);
        list.push_back(path);
        std::vector<Subfolder> children = listing(path, entry.Id);
        stack.push_back({std::move(path), std::move(children)});
    }
}

std::string RunSummaryText(int filesAnalysed, int filesFound) {
    return "Files analyzed: " + std::to_string(filesAnalysed) + " out of total: " + std::to_string(filesFound);
}

AnalysisResult StartAnalyzing(const AnalysisSettings& settings, const RunEnvironment& environment,
                              AnalysisObserver& observer) {
    return Run(settings, environment, observer).Perform();
}

}  // namespace quorvela::analysis
