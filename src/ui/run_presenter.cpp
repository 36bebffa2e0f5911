#include "ui/run_presenter.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStringList>
#include <QToolButton>
#include <algorithm>

#include "ui/text_codec.h"
#include "viewer/path_list_viewer.h"

namespace quorvela::ui {

namespace {

void SetProgress(QProgressBar* bar, int maximum, int position) {
    bar->setMaximum(std::max(maximum, 1));
    bar->setValue(std::clamp(position, 0, bar->maximum()));
}

}  // namespace

RunPresenter::RunPresenter(const Controls& controls, Actions actions)
    : QueuedObserver(controls.Window), controls_(controls), actions_(std::move(actions)) {}

RunPresenter::~RunPresenter() {
    RestoreCursor();
}

void RunPresenter::BusyCursor() {
    if (busy_) return;
    busy_ = true;
    // The window stays usable during a run (Stop, tabs, charts): the arrow with a busy sign.
    QApplication::setOverrideCursor(Qt::BusyCursor);
}

void RunPresenter::RestoreCursor() {
    if (!busy_) return;
    busy_ = false;
    QApplication::restoreOverrideCursor();
}

void RunPresenter::ShowRunning(bool running) {
    controls_.Start->setVisible(!running);
    controls_.Stop->setVisible(running);
}

void RunPresenter::ClearResults() {
    summary_.clear();
    actions_.EnableChartSaving(false);
    actions_.ClearCharts();
    controls_.PathList->clear();
    if (viewer_ != nullptr) viewer_->SetLinePaths({});
    controls_.SavePathList->setEnabled(false);
}

RunPresenter::Gauge& RunPresenter::GaugeOf(analysis::RunStage stage) {
    return stage == analysis::RunStage::Collecting ? collecting_ : analysing_;
}

void RunPresenter::QueueProgress(analysis::RunStage stage) {
    QProgressBar* bar = stage == analysis::RunStage::Collecting ? controls_.Collecting : controls_.Analysing;
    QueueGauge(GaugeOf(stage), [bar](int maximum, int position) { SetProgress(bar, maximum, position); });
}

void RunPresenter::RunStarted(const std::string& /*root*/) {
    Queue([this] {
        if (viewer_ != nullptr) viewer_->CancelPreview();
        controls_.Preview->clear();
        controls_.PreviewText->setText(kPreviewHint);
        BusyCursor();
    });
}

void RunPresenter::FolderOpened(const std::string& root) {
    Queue([this, caption = "Analyzing: " + FromUtf8(root)] {
        controls_.Window->setWindowTitle(caption);
        ClearResults();
        ShowRunning(true);
    });
}

void RunPresenter::ProgressMaximum(analysis::RunStage stage, int maximum) {
    GaugeOf(stage).Maximum = maximum;
    QueueProgress(stage);
}

void RunPresenter::ProgressPosition(analysis::RunStage stage, int position) {
    GaugeOf(stage).Position = position;
    QueueProgress(stage);
}

void RunPresenter::StatusText(const std::string& text) {
    Queue([this, t = FromUtf8(text)] { controls_.Status->showMessage(t); });
}

void RunPresenter::RunSummary(const std::string& text) {
    Queue([this, t = FromUtf8(text)] { summary_ = t; });
}

void RunPresenter::ServiceEvents() {
    if (actions_.ServicePoint) actions_.ServicePoint();
}

void RunPresenter::ChartPoint(analysis::Quantity quantity, const analysis::CategoryCount& point) {
    Queue([this, quantity, label = point.Label, count = point.Count] { actions_.AddPoint(quantity, label, count); });
}

void RunPresenter::PathListReady(const std::vector<std::string>& sortedLines,
                                 const std::vector<std::string>& linePaths) {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(sortedLines.size()));
    for (const std::string& line : sortedLines) lines.push_back(FromUtf8(line));
    Queue([this, lines = std::move(lines), paths = linePaths]() mutable {
        controls_.PathList->setPlainText(lines.join(QChar('\n')));
        if (viewer_ != nullptr) viewer_->SetLinePaths(std::move(paths));
        controls_.SavePathList->setEnabled(true);
    });
}

void RunPresenter::Message(analysis::MessageKind /*kind*/, const std::string& text) {
    // Every kind is shown alike: a box the user confirms before the run goes on.
    QueueAndWait([this, t = FromUtf8(text)] { actions_.ShowMessage(t); });
}

void RunPresenter::RunEnded(const std::string& root, analysis::RunOutcome outcome) {
    // A refused run never started: the window stays as it was.
    if (outcome == analysis::RunOutcome::Refused) return;
    Queue([this, caption = "Analysed: " + FromUtf8(root), outcome] {
        ShowRunning(false);
        actions_.EnableChartSaving(true);
        controls_.Window->setWindowTitle(caption);
        RestoreCursor();
        if (analysis::ResultsCurrent(outcome)) actions_.ResultsCurrent();
    });
}

}  // namespace quorvela::ui
