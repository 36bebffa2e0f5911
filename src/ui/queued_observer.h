#pragma once

#include <QMetaObject>
#include <QObject>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <utility>

#include "analysis/analysis_run.h"

namespace quorvela::ui {

// The one adapter between a run's thread and a window: an observer of the run whose reports
// are carried out on the thread that made the observer (the window's), in the order the run
// made them. A subclass overrides the reports it shows and wraps what it does to the window in
// Queue(...); a message goes through QueueAndWait(...), so it holds the run until it has been
// shown and the steps after it follow it. Calls still queued when the observer goes are dropped.
class QueuedObserver : public analysis::AnalysisObserver {
  public:
    QueuedObserver() = default;
    QueuedObserver(const QueuedObserver&) = delete;
    QueuedObserver& operator=(const QueuedObserver&) = delete;

    // From now on nothing holds the run: a waiting call lets it go and later waiting calls
    // are dropped (the window is closing).
    void Abandon() {
        std::lock_guard lock(mutex_);
        abandoned_ = true;
        doneChanged_.notify_all();
    }
    // A new run: waiting calls are made again.
    void Reset() {
        std::lock_guard lock(mutex_);
        abandoned_ = false;
    }
    [[nodiscard]] bool Abandoned() const {
        std::lock_guard lock(mutex_);
        return abandoned_;
    }

  protected:
    // A maximum and a position that change faster than a window repaints (a progress bar).
    struct Gauge {
        std::atomic<int> Maximum{0};
        std::atomic<int> Position{0};
        std::atomic<bool> Queued{false};
    };

    // Runs `call` on the observer's thread.
    template <class F>
    void Queue(F&& call) {
        QMetaObject::invokeMethod(&receiver_, std::forward<F>(call), Qt::QueuedConnection);
    }

    // Runs `call` on the observer's thread and holds the calling thread until it has returned.
    // Once abandoned, neither happens.
    template <class F>
    void QueueAndWait(F&& call) {
        {
            std::lock_guard lock(mutex_);
            if (abandoned_) return;
            done_ = false;
        }
        Queue([this, call = std::forward<F>(call)]() mutable {
            if (!Abandoned()) call();
            std::lock_guard lock(mutex_);
            done_ = true;
            doneChanged_.notify_all();
        });
        std::unique_lock lock(mutex_);
        doneChanged_.wait(lock, [this] { return done_ || abandoned_; });
    }

    // Queues `show(maximum, position)` unless a call for the gauge already waits in the queue:
    // that one shows the latest values when it runs.
    template <class F>
    void QueueGauge(Gauge& gauge, F&& show) {
        if (gauge.Queued.exchange(true)) return;
        Queue([&gauge, show = std::forward<F>(show)] {
            gauge.Queued = false;
            show(gauge.Maximum.load(), gauge.Position.load());
        });
    }

  private:
    QObject receiver_;  // lives on the thread that made the observer
    mutable std::mutex mutex_;
    std::condition_variable doneChanged_;
    bool done_ = true;
    bool abandoned_ = false;
};

}  // namespace quorvela::ui
