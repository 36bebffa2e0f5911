#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "file_analysis.h"
#include "photo_cache.h"

namespace quorvela::analysis {

// The most reading threads a run uses when none is asked for. A photo costs a run about 15 us
// of processor time but a disk read of 0.2 ms (an SSD, cold) to several ms (a network share);
// only many reads in flight keep a cold run near what the disk gives. The pool starts with one
// thread per core and grows towards this only while reading makes its threads wait
// (FilePool::Sizing::GrowWhenWaiting), so a warm run keeps one thread per core.
int DefaultJobs();

// What a folder's listing said of an entry. A plain file needs no look of its own before it is
// opened; anything else (a link, a file system that does not say) is looked at first, since a
// FIFO or a device must never be opened.
enum class EntryKind { Plain, NotPlain, Unknown };

// A file to read, and what its folder's listing said of it.
struct PhotoPath {
    std::string Path;
    EntryKind Kind = EntryKind::Unknown;
};

// What reading one file gives a run: its result, and what the photo cache is to learn.
struct FileOutcome {
    FileResult Result;
    std::optional<PhotoKey> Key;      // set when the cache learns something of the file
    std::optional<PhotoFacts> Facts;  // read now, to be remembered under Key
    bool Touch = false;               // remembered, and now seen again
};

// Reads files on a small pool of threads, each with its own reader. Files are handed out in
// the order they were submitted and their results are taken back in that same order, so a
// run combines them exactly as if it had read them one after another. A folder's files go out
// in one ticket per thread (kMostPerTicket at most): a photo known from the cache costs a few
// microseconds, about what handing it to a thread and back costs.
class FilePool {
  public:
    // Turns one path into its result on a worker thread; must be safe to call concurrently
    // with the worker's own scratch state (`worker` is the worker's index).
    using Work = std::function<FileOutcome(const std::string& path, EntryKind kind, int worker)>;

    // Fixed: `jobs` threads from the start. GrowWhenWaiting: one thread per core, and one more
    // each time a file made its thread wait for the disk, up to `jobs`. On a warm page cache
    // the work is all processor time and more threads than cores only add switching; on a cold
    // disk or a network share each thread waits most of the time, and more reads in flight
    // are what makes the run faster.
    enum class Sizing { Fixed, GrowWhenWaiting };

    FilePool(int jobs, Work work, Sizing sizing = Sizing::Fixed);
    ~FilePool();
    FilePool(const FilePool&) = delete;
    FilePool& operator=(const FilePool&) = delete;

    // One folder's files, in order.
    void Submit(std::vector<PhotoPath> files);
    void Submit(std::string path, EntryKind kind = EntryKind::Unknown) { Submit({{std::move(path), kind}}); }
    // Results not yet taken back.
    [[nodiscard]] std::size_t Pending() const { return pending_; }
    // Waits for the oldest submitted file and returns its result. Requires Pending() > 0.
    FileOutcome TakeNext();
    // Drops every file not yet started and waits for those being read.
    void Cancel();
    // The threads started so far.
    [[nodiscard]] int Threads();

  private:
    // The most files one thread takes at a time. Each ticket costs a hand-over to a thread and
    // back, a wake-up of the run's thread as often as not: a cached photo costs about as much,
    // so a few threads take a folder in a few large tickets.
    static constexpr std::size_t kMostPerTicket = 64;

    struct Ticket {
        std::vector<PhotoPath> Files;
        std::vector<FileOutcome> Results;  // one per file, once Done
        std::size_t Taken = 0;             // results given back; the run's thread only
        bool Started = false;
        bool Done = false;
    };
    void WorkerLoop(int worker);
    bool StartThread();  // with mutex_ held; false when the system refuses another thread

    Work work_;
    std::mutex mutex_;
    std::condition_variable wake_;                 // workers: a new ticket or the end
    std::condition_variable done_;                 // the run: a ticket finished
    std::deque<std::shared_ptr<Ticket>> tickets_;  // in submission order, until taken back
    std::size_t pending_ = 0;                      // files of tickets_ not yet taken back
    bool frontDone_ = false;                       // tickets_.front() seen Done; the run's thread only
    std::deque<std::shared_ptr<Ticket>> queue_;    // not yet started
    const Ticket* awaited_ = nullptr;              // the ticket TakeNext waits for
    bool cancelling_ = false;
    bool closing_ = false;
    int maxThreads_ = 1;
    bool grow_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace quorvela::analysis
