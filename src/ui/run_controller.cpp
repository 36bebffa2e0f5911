#include "ui/run_controller.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QMetaObject>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "library/collation.h"

namespace quorvela::ui {

namespace {

constexpr int kRunNiceness = 10;

}  // namespace

RunController::RunController(QObject* context, QueuedObserver& observer, Finished finished, Analyse analyse)
    : context_(context), observer_(observer), finished_(std::move(finished)), analyse_(std::move(analyse)) {}

RunController::~RunController() {
    RequestStop();
    observer_.Abandon();
    if (thread_.joinable()) thread_.join();
}

bool RunController::Start(const analysis::AnalysisSettings& settings, analysis::RunEnvironment environment,
                          const equivalence::EquivalentList& table) {
    if (active_) return false;
    if (thread_.joinable()) thread_.join();
    active_ = true;
    observer_.Reset();
    // Cleared here, not on the run's thread: an Escape pressed a moment after Start counts.
    observer_.StopRequested = false;
    // The run works from its own copies: the window may change its controls or reload the
    // camera table while the run goes on, and it sorts its answers meanwhile, which one ICU
    // collator cannot do for two threads at once.
    std::optional<library::Collation> order;
    if (environment.Order != nullptr) order.emplace(*environment.Order);
    auto work = [this, settings, environment, table = table, order = std::move(order)]() mutable {
        // The run and the readers it starts (they inherit this) yield the processor to the
        // window's thread, so the window repaints at once however busy the run is.
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kRunNiceness);
        environment.Table = &table;
        if (order) environment.Order = &*order;
        analysis::AnalysisResult result = RunCatching(settings, environment);
        QMetaObject::invokeMethod(
            context_,
            [this, r = std::move(result)] {
                if (thread_.joinable()) thread_.join();
                active_ = false;
                if (finished_) finished_(r);
            },
            Qt::QueuedConnection);
    };
    thread_ = std::thread(std::move(work));
    return true;
}

analysis::AnalysisResult RunController::RunCatching(const analysis::AnalysisSettings& settings,
                                                    const analysis::RunEnvironment& environment) {
    // An exception must not end the program on this thread (std::terminate) nor leave the
    // window busy: it is said, and the run ends as a stopped one.
    std::string problem;
    try {
        return analyse_(settings, environment, observer_);
    } catch (const std::bad_alloc&) {
        problem = "The analysis ran out of memory and was stopped.";
    } catch (const std::exception& e) {
        problem = std::string("The analysis failed and was stopped: ") + e.what();
    }
    analysis::AnalysisResult failed;
    failed.Outcome = analysis::RunOutcome::Stopped;
    failed.StopRequested = true;
    failed.Messages.push_back(problem);
    try {
        observer_.Message(analysis::MessageKind::RunFailed, problem);
        observer_.RunEnded(settings.RootFolder, failed.Outcome);
    } catch (const std::exception&) {
        // Nothing more can be shown; the window learns the end from the result all the same.
    }
    return failed;
}

void RunController::RequestStop() {
    observer_.StopRequested = true;
}

bool RunController::StopRequested() const {
    return observer_.StopRequested.load();
}

void RunController::Abandon() {
    observer_.Abandon();
}

}  // namespace quorvela::ui
