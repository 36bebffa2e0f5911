#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "analysis/analysis_run.h"
#include "ui/queued_observer.h"
#include "ui/window_layout.h"

class QMainWindow;

namespace quorvela::viewer {
class PathListViewer;
}

namespace quorvela::ui {

class AnswerPanel;
class ChartPanel;
class LensPanel;

// The hint under the preview while no line is chosen.
inline constexpr const char* kPreviewHint = "Click on a line to select and show the image!";

// The run as the window shows it: the busy cursor, the caption ("Analyzing: ", "Analysed: "),
// the preview reset with its hint, Stop in place of Start, the save buttons, the progress
// bars, the status bar, the charts and the path list. The run's reports arrive on the run's
// thread; what they do to the window is carried out on the window's thread, in order.
class RunPresenter final : public QueuedObserver {
  public:
    // What a run does beyond the controls.
    struct Actions {
        std::function<void(const QString& text)> ShowMessage;  // returns once it has been seen
        // At a run's end: whether the charts match the settings, or (after a stop) are incomplete.
        std::function<void(bool current)> ChartsCurrent;
        // Whether "Start analyzing" may be pressed again once the run has ended.
        std::function<bool()> CanStart;
        // Called on the run's thread where the run services events: tests pace runs with it.
        std::function<void()> ServicePoint;
    };

    // Made on the window's thread.
    RunPresenter(QMainWindow& window, const WindowWidgets& widgets, ChartPanel& charts, Actions actions);
    ~RunPresenter() override;

    // The viewer of the path list, once it exists.
    void SetPathListViewer(viewer::PathListViewer* viewer) { viewer_ = viewer; }
    // Where the run's photos and the categories of its points go.
    void SetAnswers(AnswerPanel* answers) { answers_ = answers; }
    // Where the lens chart's rows go.
    void SetLenses(LensPanel* lenses) { lenses_ = lenses; }
    // The summary of the last run ("Files analyzed: ..."); empty before one.
    [[nodiscard]] const QString& Summary() const { return summary_; }
    // Where the last run's 35mm equivalents came from; empty before a run and while one runs.
    [[nodiscard]] const analysis::EquivalenceSummary& Equivalence() const { return equivalence_; }
    // The arrow again, if the busy cursor is shown.
    void RestoreCursor();

    // The run's reports, on the run's thread.
    void RunStarted(const std::string& root) override;
    void FolderOpened(const std::string& root) override;
    void ProgressMaximum(analysis::RunStage stage, int maximum) override;
    void ProgressPosition(analysis::RunStage stage, int position) override;
    void StatusText(const std::string& text) override;
    void RunSummary(const std::string& text) override;
    void ServiceEvents() override;
    void ChartPoint(Quantity quantity, const CategoryCount& point) override;
    void EquivalenceReady(const analysis::EquivalenceSummary& summary) override;
    void PhotosReady(const std::vector<analysis::PhotoRecord>& photos) override;
    void PathListReady(const std::vector<std::string>& sortedLines, const std::vector<std::string>& linePaths) override;
    void Message(analysis::MessageKind kind, const std::string& text) override;
    void RunEnded(const std::string& root, analysis::RunOutcome outcome) override;
    // How many photos the run has read so far: counted in the status line while it goes on.
    void PhotosRead(int count) override;

  private:
    void BusyCursor();
    void ShowRunning(bool running);
    void ShowIdle();
    void ClearResults();
    Gauge& GaugeOf(analysis::RunStage stage);
    void QueueProgress(analysis::RunStage stage);

    QMainWindow& window_;
    const WindowWidgets& w_;
    ChartPanel& charts_;
    Actions actions_;
    viewer::PathListViewer* viewer_ = nullptr;
    AnswerPanel* answers_ = nullptr;
    LensPanel* lenses_ = nullptr;
    Gauge collecting_;
    Gauge analysing_;
    Gauge photosRead_;   // Position: the photos read so far
    QString runStatus_;  // the run's own status text, which the count goes beside
    QString summary_;
    analysis::EquivalenceSummary equivalence_;
    bool busy_ = false;
};

}  // namespace quorvela::ui
