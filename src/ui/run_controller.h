#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "analysis/analysis_run.h"

namespace quorvela::ui {

// What a run shows in the window, called on the window's thread in the order the run does it.
class RunView {
  public:
    virtual ~RunView() = default;
    virtual void RunBusyCursor(bool busy) = 0;
    virtual void RunCaption(const QString& text) = 0;
    virtual void RunResetPreview(const QString& hint) = 0;
    virtual void RunClearResults() = 0;
    virtual void RunRunning(bool running) = 0;
    virtual void RunCollectProgress(int maximum, int position) = 0;
    virtual void RunAnalyseProgress(int maximum, int position) = 0;
    virtual void RunStatusText(const QString& text) = 0;
    virtual void RunSummary(const QString& text) = 0;
    virtual void RunChartPoint(analysis::Quantity quantity, const QString& label, int count) = 0;
    // `linePaths` holds the file of each line, in the file system's own bytes.
    virtual void RunPathList(const QStringList& sortedLines, std::vector<std::string> linePaths) = 0;
    virtual void RunMessage(const QString& text) = 0;  // returns once the user has seen it
    virtual void RunAnalysisCurrent() = 0;
    virtual void RunFinished(const analysis::AnalysisResult& result) = 0;
};

// Runs one analysis at a time on a thread of its own. The engine's reports reach the view as
// queued calls on the view's thread; a message holds the run until the view has shown it, so
// messages keep their order and the end-of-run steps follow them. The stop flag lives as long
// as the controller, so Esc between runs sets it and the next run clears it.
class RunController {
  public:
    // `context` is the object whose thread runs the view's calls (the window).
    // `servicePoint`, when set, is called on the run's thread wherever the run services
    // events (after each folder): tests pace a run with it.
    RunController(QObject* context, RunView& view, std::function<void()> servicePoint = {});
    ~RunController();
    RunController(const RunController&) = delete;
    RunController& operator=(const RunController&) = delete;

    // Starts a run unless one is going; the settings and table are copied.
    bool Start(const analysis::AnalysisSettings& settings, analysis::RunEnvironment environment,
               const equivalence::EquivalentList& table);
    [[nodiscard]] bool Active() const { return active_; }
    void RequestStop();
    [[nodiscard]] bool StopRequested() const;
    // From now on messages are recorded in the result but not shown, and a message showing
    // lets the run go on: the window is closing.
    void Abandon();

  private:
    class Observer;

    QObject* context_;
    RunView& view_;
    std::shared_ptr<Observer> observer_;
    std::thread thread_;
    bool active_ = false;
};

}  // namespace quorvela::ui
