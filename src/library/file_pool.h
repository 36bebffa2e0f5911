#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "folder_walk.h"

namespace quorvela::library {

// The most reading threads a run uses when none is asked for. A photo costs a run far less
// processor time than a cold read of it from a disk or a network share (bench/README.md,
// "Figures behind the code"); only many reads in flight keep a cold run near what the disk
// gives. The pool starts with one
// thread per core and grows towards this only while reading makes its threads wait
// (PoolSizing::GrowWhenWaiting), so a warm run keeps one thread per core.
int DefaultJobs();

// The times the calling thread gave up the processor of its own accord: waiting for a read, an
// open or a lock. Being preempted by other work is not counted.
long VoluntaryWaits();

// Why the work failed on some files. What a file's bytes can cause the work turns into an
// outcome of its own; what reaches the pool is the machine's (out of memory above all) or a
// fault of the program. It is counted and named here so that a run can say why photos were
// not read, instead of counting them as unreadable photos.
class WorkFailures {
  public:
    struct Counts {
        int OutOfMemory = 0;
        int Errors = 0;          // anything else
        std::string FirstError;  // the first one's text
    };

    void Add(const std::exception& error) noexcept {
        const std::lock_guard lock(mutex_);
        if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
            ++counts_.OutOfMemory;
        } else if (counts_.Errors++ == 0) {
            try {
                counts_.FirstError = error.what();
            } catch (const std::bad_alloc&) {
                // Counted without its text.
            }
        }
    }
    Counts Take() {
        const std::lock_guard lock(mutex_);
        return std::exchange(counts_, {});
    }

  private:
    std::mutex mutex_;
    Counts counts_;
};

// `work` on one file, or `failed` (counted in `failures`) when it throws.
template <typename Outcome, typename Work>
Outcome Attempt(const Work& work, const PhotoPath& file, int worker, const Outcome& failed, WorkFailures& failures) {
    try {
        return work(file, worker);
    } catch (const std::exception& error) {
        failures.Add(error);
        return failed;
    }
}

// Fixed: `jobs` threads from the start. GrowWhenWaiting: one thread per core, and one more each
// time a file made its thread wait for the disk, up to `jobs`. On a warm page cache the work is
// all processor time and more threads than cores only add switching; on a cold disk or a
// network share each thread waits most of the time, and more reads in flight are what makes
// the run faster.
enum class PoolSizing { Fixed, GrowWhenWaiting };

// Reads files on a small pool of threads, each with its own reader, turning each into an
// `Outcome`. Files are handed out in the order they were submitted and their results are
// taken back in that same order, so a run combines them exactly as if it had read them one
// after another. A folder's files go out
// in one ticket per thread (kMostPerTicket at most): a photo known from the cache costs a few
// microseconds, about what handing it to a thread and back costs.
template <typename Outcome>
class FilePool {
  public:
    // Turns one path into its result on a worker thread; must be safe to call concurrently
    // with the worker's own scratch state (`worker` is the worker's index). A file whose work
    // throws gives the pool's `failed` outcome, and the exception is counted in Failures().
    using Work = std::function<Outcome(const PhotoPath& photo, int worker)>;

    FilePool(int jobs, Work work, Outcome failed, PoolSizing sizing = PoolSizing::Fixed)
        : work_(std::move(work)),
          failed_(std::move(failed)),
          maxThreads_(std::clamp(jobs, 1, 64)),
          grow_(sizing == PoolSizing::GrowWhenWaiting) {
        const int cores = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
        const int start = grow_ ? std::min(cores, maxThreads_) : maxThreads_;
        threads_.reserve(static_cast<std::size_t>(maxThreads_));
        const std::lock_guard lock(mutex_);
        for (int i = 0; i < start; ++i) {
            if (!StartThread()) break;
        }
        // Without a single thread nothing would ever be read; a pool with fewer works as well.
        if (threads_.empty()) throw std::runtime_error("no thread could be started to read files");
    }
    ~FilePool() {
        {
            const std::lock_guard lock(mutex_);
            closing_ = true;
            queue_.clear();
        }
        wake_.notify_all();
        for (std::thread& thread : threads_) thread.join();
    }
    FilePool(const FilePool&) = delete;
    FilePool& operator=(const FilePool&) = delete;
    FilePool(FilePool&&) = delete;
    FilePool& operator=(FilePool&&) = delete;

    // One folder's files, in order.
    void Submit(std::vector<PhotoPath> files) {
        if (files.empty()) return;
        std::size_t perTicket = 1;
        {
            const std::lock_guard lock(mutex_);
            // A ticket for each thread, and a file as soon as it is submitted while threads are
            // many (a cold disk, where each file is a wait of its own). Few threads each take a
            // large part of a folder: two threads looking up names in one folder at once contend
            // for the kernel's locks on it.
            perTicket = std::clamp<std::size_t>(files.size() / threads_.size(), 1, kMostPerTicket);
        }
        std::vector<std::shared_ptr<Ticket>> made;
        for (std::size_t from = 0; from < files.size(); from += perTicket) {
            auto ticket = std::make_shared<Ticket>();
            const std::size_t to = std::min(files.size(), from + perTicket);
            ticket->Files.assign(std::make_move_iterator(files.begin() + static_cast<std::ptrdiff_t>(from)),
                                 std::make_move_iterator(files.begin() + static_cast<std::ptrdiff_t>(to)));
            made.push_back(std::move(ticket));
        }
        pending_ += files.size();
        {
            const std::lock_guard lock(mutex_);
            for (std::shared_ptr<Ticket>& ticket : made) {
                tickets_.push_back(ticket);
                queue_.push_back(std::move(ticket));
            }
        }
        if (made.size() == 1) {
            wake_.notify_one();
        } else {
            wake_.notify_all();
        }
    }
    void Submit(std::string path, EntryKind kind = EntryKind::Unknown) { Submit({{std::move(path), kind}}); }
    // Results not yet taken back.
    [[nodiscard]] std::size_t Pending() const { return pending_; }
    // Waits for the oldest submitted file and returns its result. Requires Pending() > 0.
    Outcome TakeNext() {
        const std::shared_ptr<Ticket>& ticket = tickets_.front();
        if (!frontDone_) {
            std::unique_lock lock(mutex_);
            awaited_ = ticket.get();
            done_.wait(lock, [&] { return ticket->Done; });
            awaited_ = nullptr;
            frontDone_ = true;
        }
        Outcome result = std::move(ticket->Results[ticket->Taken++]);
        --pending_;
        if (ticket->Taken == ticket->Results.size()) {
            tickets_.pop_front();
            frontDone_ = false;
        }
        return result;
    }
    // Drops every file not yet started and waits for those being read.
    void Cancel() {
        std::unique_lock lock(mutex_);
        cancelling_ = true;
        queue_.clear();
        done_.wait(lock, [&] {
            return std::all_of(tickets_.begin(), tickets_.end(), [](const auto& t) { return !t->Started || t->Done; });
        });
        tickets_.clear();
        pending_ = 0;
        frontDone_ = false;
        cancelling_ = false;
    }
    // Why the work failed on files taken so far; emptied by the call.
    WorkFailures::Counts TakeFailures() { return failures_.Take(); }
    // The threads started so far.
    [[nodiscard]] int Threads() {
        const std::lock_guard lock(mutex_);
        return static_cast<int>(threads_.size());
    }

  private:
    // The most files one thread takes at a time. Each ticket costs a hand-over to a thread and
    // back, a wake-up of the run's thread as often as not: a cached photo costs about as much,
    // so a few threads take a folder in a few large tickets.
    static constexpr std::size_t kMostPerTicket = 64;

    struct Ticket {
        std::vector<PhotoPath> Files;
        std::vector<Outcome> Results;  // one per file, once Done
        std::size_t Taken = 0;         // results given back; the run's thread only
        bool Started = false;
        bool Done = false;
    };

    // With mutex_ held; false when the system refuses another thread.
    bool StartThread() {
        const int worker = static_cast<int>(threads_.size());
        try {
            threads_.emplace_back([this, worker] { WorkerLoop(worker); });
            return true;
        } catch (const std::system_error&) {
            // The system's limit on threads: the pool stays as large as it is.
            maxThreads_ = static_cast<int>(threads_.size());
            return false;
        }
    }

    void WorkerLoop(int worker) {
        unsigned taken = 0;
        for (;;) {
            std::shared_ptr<Ticket> ticket;
            bool mayGrow = false;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return closing_ || !queue_.empty(); });
                if (queue_.empty()) return;  // closing
                ticket = std::move(queue_.front());
                queue_.pop_front();
                ticket->Started = true;
                mayGrow = grow_ && static_cast<int>(threads_.size()) < maxThreads_;
            }
            std::vector<Outcome> results(ticket->Files.size());
            for (std::size_t i = 0; i < results.size(); ++i) {
                // Every eighth file is enough to see waiting, at an eighth of the system calls.
                const bool watch = mayGrow && (++taken % 8) == 0;
                const long waitsBefore = watch ? VoluntaryWaits() : 0;
                results[i] = Attempt(work_, ticket->Files[i], worker, failed_, failures_);
                // A file that made this thread wait: another thread reads while this one waits,
                // at once rather than at the end of the ticket, which may be long.
                if (watch && VoluntaryWaits() > waitsBefore) {
                    const std::lock_guard lock(mutex_);
                    if (!closing_ && !queue_.empty() && static_cast<int>(threads_.size()) < maxThreads_) StartThread();
                    mayGrow = static_cast<int>(threads_.size()) < maxThreads_;
                }
            }
            bool wake = false;
            {
                const std::lock_guard lock(mutex_);
                ticket->Results = std::move(results);
                ticket->Done = true;
                // The run waits for one ticket at a time; waking it for any other is wasted.
                wake = cancelling_ || ticket.get() == awaited_;
            }
            if (wake) done_.notify_all();
        }
    }

    Work work_;
    const Outcome failed_;
    WorkFailures failures_;
    std::mutex mutex_;
    std::condition_variable wake_;                 // workers: a new ticket or the end
    std::condition_variable done_;                 // the run: a ticket finished
    std::deque<std::shared_ptr<Ticket>> tickets_;  // in submission order, until taken back; the run's thread only
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

}  // namespace quorvela::library
