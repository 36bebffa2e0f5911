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

void FilePool::Submit(std::vector<PhotoPath> files) {
    if (files.empty()) return;
    std::size_t perTicket = 1;
    {
        std::lock_guard lock(mutex_);
        // A ticket for each thread, and a file as soon as it is submitted while threads are
        // many (a cold disk, where each file is a wait of its own). Few threads each take a
        // large part of a folder: two threads looking up names in one folder at once contend
        // for the kernel's locks on it, at 5 % more processor time for a cached run.
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
        std::lock_guard lock(mutex_);
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

FileOutcome FilePool::TakeNext() {
    const std::shared_ptr<Ticket>& ticket = tickets_.front();
    if (!frontDone_) {
        std::unique_lock lock(mutex_);
        awaited_ = ticket.get();
        done_.wait(lock, [&] { return ticket->Done; });
        awaited_ = nullptr;
        frontDone_ = true;
    }
    FileOutcome result = std::move(ticket->Results[ticket->Taken++]);
    --pending_;
    if (ticket->Taken == ticket->Results.size()) {
        std::lock_guard lock(mutex_);  // workers read tickets_ only under the lock
        tickets_.pop_front();
        frontDone_ = false;
    }
    return result;
}

void FilePool::Cancel() {
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

void FilePool::WorkerLoop(int worker) {
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
        std::vector<FileOutcome> results(ticket->Files.size());
        for (std::size_t i = 0; i < results.size(); ++i) {
            // Every eighth file is enough to see waiting, at an eighth of the system calls.
            const bool watch = mayGrow && (++taken % 8) == 0;
            const long waitsBefore = watch ? VoluntaryWaits() : 0;
            try {
                results[i] = work_(ticket->Files[i].Path, ticket->Files[i].Kind, worker);
            } catch (const std::exception&) {
                results[i] = FileOutcome{};  // a file that cannot be analysed adds nothing
                results[i].Result.Passed = false;
            }
            // A file that made this thread wait: another thread reads while this one waits,
            // at once rather than at the end of the ticket, which may be long.
            if (watch && VoluntaryWaits() > waitsBefore) {
                std::lock_guard lock(mutex_);
                if (!closing_ && !queue_.empty() && static_cast<int>(threads_.size()) < maxThreads_) StartThread();
                mayGrow = static_cast<int>(threads_.size()) < maxThreads_;
            }
        }
        bool wake = false;
        {
            std::lock_guard lock(mutex_);
            ticket->Results = std::move(results);
            ticket->Done = true;
            // The run waits for one ticket at a time; waking it for any other is wasted.
            wake = cancelling_ || ticket.get() == awaited_;
        }
        if (wake) done_.notify_all();
    }
}

}  // namespace quorvela::analysis
