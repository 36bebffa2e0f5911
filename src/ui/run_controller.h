#pragma once

#include <QObject>
#include <functional>
#include <thread>

#include "analysis/analysis_run.h"
#include "ui/queued_observer.h"

namespace quorvela::ui {

// Runs one analysis at a time on a thread of its own, reporting to an observer that carries
// the reports out on the window's thread. The stop flag is the observer's and lives as long as
// it, so Esc between runs sets it and the next Start clears it.
class RunController {
  public:
    using Finished = std::function<void(const analysis::AnalysisResult& result)>;
    using Analyse = std::function<analysis::AnalysisResult(
        const analysis::AnalysisSettings&, const analysis::RunEnvironment&, analysis::AnalysisObserver&)>;

    // `context` is the object whose thread gets `finished` (the window), after every report
    // of the run has been carried out there. `analyse` performs a run.
    RunController(QObject* context, QueuedObserver& observer, Finished finished,
                  Analyse analyse = analysis::StartAnalyzing);
    ~RunController();
    RunController(const RunController&) = delete;
    RunController& operator=(const RunController&) = delete;

    // Starts a run unless one is going; the settings and table are copied, and the run sorts
    // with a copy of the environment's collation, which the window goes on using meanwhile.
    bool Start(const analysis::AnalysisSettings& settings, analysis::RunEnvironment environment,
               const equivalence::EquivalentList& table);
    [[nodiscard]] bool Active() const { return active_; }
    void RequestStop();
    [[nodiscard]] bool StopRequested() const;
    // From now on messages are recorded in the result but not shown, and a message showing
    // lets the run go on: the window is closing.
    void Abandon();

  private:
    analysis::AnalysisResult RunCatching(const analysis::AnalysisSettings& settings,
                                         const analysis::RunEnvironment& environment);

    QObject* context_;
    QueuedObserver& observer_;
    Finished finished_;
    Analyse analyse_;
    std::thread thread_;
    bool active_ = false;
};

}  // namespace quorvela::ui
