#include "file_pool.h"

#include <sys/resource.h>

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <system_error>

namespace quorvela::analysis {

int DefaultJobs() {
    return 64;
}

namespace {

// The times this thread gave up the processor of its own accord: waiting for a read, an open
// or a lock. Being preempted by other work is not counted.
long VoluntaryWaits() {
    rusage usage{};
    return ::getrusage(RUSAGE_THREAD, &usage) == 0 ? usage.ru_nvcsw : 0;
}

}  // namespace

FilePool::FilePool(int jobs, Work work, Sizing sizing)
    : work_(std::move(work)), maxThreads_(std::clamp(jobs, 1, 64)), grow_(sizing == Sizing::GrowWhenWaiting) {
    const int cores = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    const int start = grow_ ? std::min(cores, maxThreads_) : maxThreads_;
    threads_.reserve(static_cast<std::size_t>(maxThreads_));
    std::lock_guard lock(mutex_);
    for (int i = 0; i < start; ++i) {
        if (!StartThread()) break;
    }
    // Without a single thread nothing would ever be read; a pool with fewer works as well.
    if (threads_.empty()) throw std::runtime_error("no thread could be started to read files");
}

bool FilePool::StartThread() {
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

int FilePool::Threads() {
    std::lock_guard lock(mutex_);
    return static_cast<int>(threads_.size());
}

FilePool::~FilePool() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void FilePool::Submit(std::string path, EntryKind kind) {
    auto ticket = std::make_shared<Ticket>();
    ticket->Path = std::move(path);
    ticket->Kind = kind;
    {
        std::lock_guard lock(mutex_);
        tickets_.push_back(ticket);
        queue_.push_back(std::move(ticket));
    }
    wake_.notify_one();
}

FileOutcome FilePool::TakeNext() {
    std::shared_ptr<Ticket> ticket = tickets_.front();
    std::unique_lock lock(mutex_);
    awaited_ = ticket.get();
    done_.wait(lock, [&] { return ticket->Done; });
    awaited_ = nullptr;
    tickets_.pop_front();
    return std::move(ticket->Result);
}

void FilePool::Cancel() {
    std::unique_lock lock(mutex_);
    cancelling_ = true;
    queue_.clear();
    done_.wait(lock, [&] {
        return std::all_of(tickets_.begin(), tickets_.end(), [](const auto& t) { return !t->Started || t->Done; });
    });
    tickets_.clear();
    cancelling_ = false;
}

void FilePool::WorkerLoop(int worker) {
    unsigned taken = 0;
    for (;;) {
        std::shared_ptr<Ticket> ticket;
        bool watch = false;  // whether this file may show that more threads are wanted
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return closing_ || !queue_.empty(); });
            if (queue_.empty()) return;  // closing
            ticket = std::move(queue_.front());
            queue_.pop_front();
            ticket->Started = true;
            // Every fourth file is enough to see waiting, at a quarter of the system calls.
            watch = grow_ && static_cast<int>(threads_.size()) < maxThreads_ && (++taken % 4) == 0;
        }
        const long waitsBefore = watch ? VoluntaryWaits() : 0;
        bool wake = false;
        FileOutcome result;
        try {
            result = work_(ticket->Path, ticket->Kind, worker);
        } catch (const std::exception&) {
            result = FileOutcome{};  // a file that cannot be analysed adds nothing
            result.Result.Passed = false;
        }
        const bool waited = watch && VoluntaryWaits() > waitsBefore;
        {
            std::lock_guard lock(mutex_);
            ticket->Result = std::move(result);
            ticket->Done = true;
            if (waited && !closing_ && !queue_.empty() && static_cast<int>(threads_.size()) < maxThreads_) {
                StartThread();
            }
            // The run waits for one ticket at a time; waking it for any other is wasted.
            wake = cancelling_ || ticket.get() == awaited_;
        }
        if (wake) done_.notify_all();
    }
}

}  // namespace quorvela::analysis
