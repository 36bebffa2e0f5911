#include "file_pool.h"

#include <algorithm>
#include <exception>

namespace quorvela::analysis {

int DefaultJobs() {
    const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
    return std::clamp(static_cast<int>(std::min(cores, 64U)) * 8, 16, 64);
}

FilePool::FilePool(int jobs, Work work) : work_(std::move(work)) {
    jobs = std::clamp(jobs, 1, 64);
    threads_.reserve(static_cast<std::size_t>(jobs));
    for (int i = 0; i < jobs; ++i) threads_.emplace_back([this, i] { WorkerLoop(i); });
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

void FilePool::Submit(std::string path) {
    auto ticket = std::make_shared<Ticket>();
    ticket->Path = std::move(path);
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
    done_.wait(lock, [&] { return ticket->Done; });
    tickets_.pop_front();
    return std::move(ticket->Result);
}

void FilePool::Cancel() {
    std::unique_lock lock(mutex_);
    queue_.clear();
    done_.wait(lock, [&] {
        return std::all_of(tickets_.begin(), tickets_.end(), [](const auto& t) { return !t->Started || t->Done; });
    });
    tickets_.clear();
}

void FilePool::WorkerLoop(int worker) {
    for (;;) {
        std::shared_ptr<Ticket> ticket;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return closing_ || !queue_.empty(); });
            if (queue_.empty()) return;  // closing
            ticket = std::move(queue_.front());
            queue_.pop_front();
            ticket->Started = true;
        }
        FileOutcome result;
        try {
            result = work_(ticket->Path, worker);
        } catch (const std::exception&) {
            result = FileOutcome{};  // a file that cannot be analysed adds nothing
            result.Result.Passed = false;
        }
        {
            std::lock_guard lock(mutex_);
            ticket->Result = std::move(result);
            ticket->Done = true;
        }
        done_.notify_all();
    }
}

}  // namespace quorvela::analysis
