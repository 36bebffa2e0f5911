#include "ui/run_controller.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QMetaObject>
#include <condition_variable>
#include <mutex>
#include <utility>

#include "ui/text_codec.h"

namespace quorvela::ui {

namespace {

constexpr int kRunNiceness = 10;

// A progress bar's latest maximum and position. Files come much faster than the window
// repaints, so at most one update per bar waits in the window's queue at a time.
struct ProgressSlot {
    std::atomic<int> Maximum{0};
    std::atomic<int> Position{0};
    std::atomic<bool> Posted{false};
};

}  // namespace

// The engine's observer on the run's thread: posts every report to the view.
class RunController::Observer final : public analysis::AnalysisObserver {
  public:
    Observer(QObject* context, RunView& view, std::function<void()> servicePoint)
        : context_(context), view_(view), servicePoint_(std::move(servicePoint)) {}

    void ServiceEvents() override {
        if (servicePoint_) servicePoint_();
    }

    void BusyCursor(bool busy) override {
        Post([this, busy] { view_.RunBusyCursor(busy); });
    }
    void Caption(const std::string& text) override {
        Post([this, t = FromUtf8(text)] { view_.RunCaption(t); });
    }
    void ResetPreview(const std::string& hint) override {
        Post([this, t = FromUtf8(hint)] { view_.RunResetPreview(t); });
    }
    void ClearResults() override {
        Post([this] { view_.RunClearResults(); });
    }
    void Running(bool running) override {
        Post([this, running] { view_.RunRunning(running); });
    }
    void CollectMaximum(int maximum) override { Progress(collect_, &maximum, nullptr); }
    void CollectPosition(int position) override { Progress(collect_, nullptr, &position); }
    void AnalyseMaximum(int maximum) override { Progress(analyse_, &maximum, nullptr); }
    void AnalysePosition(int position) override { Progress(analyse_, nullptr, &position); }
    void StatusText(const std::string& text) override {
        Post([this, t = FromUtf8(text)] { view_.RunStatusText(t); });
    }
    void RunSummary(const std::string& text) override {
        Post([this, t = FromUtf8(text)] { view_.RunSummary(t); });
    }
    void ChartPoint(analysis::Quantity quantity, const analysis::CategoryCount& point) override {
        Post([this, quantity, label = FromUtf8(point.Label), count = point.Count] {
            view_.RunChartPoint(quantity, label, count);
        });
    }
    void PathListReady(const std::vector<std::string>& sortedLines,
                       const std::vector<std::string>& linePaths) override {
        QStringList lines;
        lines.reserve(static_cast<qsizetype>(sortedLines.size()));
        for (const std::string& line : sortedLines) lines.push_back(FromUtf8(line));
        Post([this, lines = std::move(lines), paths = linePaths]() mutable {
            view_.RunPathList(lines, std::move(paths));
        });
    }
    void Message(const std::string& text) override {
        {
            std::lock_guard lock(mutex_);
            if (abandoned_) return;
            seen_ = false;
        }
        Post([this, t = FromUtf8(text)] {
            if (!Abandoned()) view_.RunMessage(t);
            Seen();
        });
        std::unique_lock lock(mutex_);
        seenChanged_.wait(lock, [this] { return seen_ || abandoned_; });
    }
    void AnalysisCurrent() override {
        Post([this] { view_.RunAnalysisCurrent(); });
    }

    void Abandon() {
        std::lock_guard lock(mutex_);
        abandoned_ = true;
        seenChanged_.notify_all();
    }
    bool Abandoned() {
        std::lock_guard lock(mutex_);
        return abandoned_;
    }
    void Reset() {
        std::lock_guard lock(mutex_);
        abandoned_ = false;
    }

  private:
    template <class F>
    void Post(F&& f) {
        QMetaObject::invokeMethod(context_, std::forward<F>(f), Qt::QueuedConnection);
    }
    void Seen() {
        std::lock_guard lock(mutex_);
        seen_ = true;
        seenChanged_.notify_all();
    }
    void Progress(ProgressSlot& slot, const int* maximum, const int* position) {
        if (maximum != nullptr) slot.Maximum = *maximum;
        if (position != nullptr) slot.Position = *position;
        if (slot.Posted.exchange(true)) return;
        const bool collect = &slot == &collect_;
        Post([this, &slot, collect] {
            slot.Posted = false;
            if (collect) {
                view_.RunCollectProgress(slot.Maximum, slot.Position);
            } else {
                view_.RunAnalyseProgress(slot.Maximum, slot.Position);
            }
        });
    }

    QObject* context_;
    RunView& view_;
    std::function<void()> servicePoint_;
    ProgressSlot collect_;
    ProgressSlot analyse_;
    std::mutex mutex_;
    std::condition_variable seenChanged_;
    bool seen_ = true;
    bool abandoned_ = false;
};

RunController::RunController(QObject* context, RunView& view, std::function<void()> servicePoint)
    : context_(context), view_(view), observer_(std::make_shared<Observer>(context, view, std::move(servicePoint))) {}

RunController::~RunController() {
    RequestStop();
    observer_->Abandon();
    if (thread_.joinable()) thread_.join();
}

bool RunController::Start(const analysis::AnalysisSettings& settings, analysis::RunEnvironment environment,
                          const equivalence::EquivalentList& table) {
    if (active_) return false;
    if (thread_.joinable()) thread_.join();
    active_ = true;
    observer_->Reset();
    // The run works from its own copies: the window may change its controls or reload the
    // camera table while the run goes on.
    auto work = [this, observer = observer_, settings, environment, table = table]() mutable {
        // The run and the readers it starts (they inherit this) yield the processor to the
        // window's thread, so the window repaints at once however busy the run is.
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kRunNiceness);
        environment.Table = &table;
        analysis::AnalysisResult result = analysis::StartAnalyzing(settings, environment, *observer);
        QMetaObject::invokeMethod(
            context_,
            [this, r = std::move(result)] {
                if (thread_.joinable()) thread_.join();
                active_ = false;
                view_.RunFinished(r);
            },
            Qt::QueuedConnection);
    };
    thread_ = std::thread(std::move(work));
    return true;
}

void RunController::RequestStop() {
    observer_->StopRequested = true;
}

bool RunController::StopRequested() const {
    return observer_->StopRequested.load();
}

void RunController::Abandon() {
    observer_->Abandon();
}

}  // namespace quorvela::ui
