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

#include "common/number_format.h"
#include "ui/answer_panel.h"
#include "ui/chart_panel.h"
#include "ui/lens_panel.h"
#include "ui/status_link.h"
#include "ui/text_codec.h"
#include "viewer/path_list_viewer.h"

namespace quorvela::ui {

namespace {

void SetProgress(QProgressBar* bar, int maximum, int position) {
    bar->setMaximum(std::max(maximum, 1));
    bar->setValue(std::clamp(position, 0, bar->maximum()));
}

}  // namespace

RunPresenter::RunPresenter(QMainWindow& window, const WindowWidgets& widgets, ChartPanel& charts, Actions actions)
    : window_(window), w_(widgets), charts_(charts), actions_(std::move(actions)) {}

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
    // Showing a button lays the bar out at once: the other one goes first, so that the two never
    // stand side by side and push the controls after them aside.
    QPushButton* going = running ? w_.startButton : w_.stopButton;
    QPushButton* coming = running ? w_.stopButton : w_.startButton;
    going->hide();
    coming->show();
}

void RunPresenter::ShowIdle() {
    // One step from the running bar to the idle one: Start comes back already enabled or not,
    // and no state in between is painted.
    w_.topBar->setUpdatesEnabled(false);
    w_.startButton->setEnabled(!actions_.CanStart || actions_.CanStart());
    ShowRunning(false);
    w_.topBar->setUpdatesEnabled(true);
}

void RunPresenter::ClearResults() {
    summary_.clear();
    equivalence_ = {};
    w_.estimateLink->SetLink({});
    charts_.EnableSaving(false);
    charts_.Clear();
    if (answers_ != nullptr) answers_->Clear();
    if (lenses_ != nullptr) lenses_->Clear();
    w_.pathList->clear();
    if (viewer_ != nullptr) viewer_->SetFullList({}, {});
    w_.savePathListButton->setEnabled(false);
}

RunPresenter::Gauge& RunPresenter::GaugeOf(analysis::RunStage stage) {
    return stage == analysis::RunStage::Collecting ? collecting_ : analysing_;
}

void RunPresenter::QueueProgress(analysis::RunStage stage) {
    QProgressBar* bar = stage == analysis::RunStage::Collecting ? w_.collectingBar : w_.analysingBar;
    QueueGauge(GaugeOf(stage), [bar](int maximum, int position) { SetProgress(bar, maximum, position); });
}

void RunPresenter::RunStarted(const std::string& /*root*/) {
    Queue([this] {
        if (viewer_ != nullptr) viewer_->CancelPreview();
        w_.preview->clear();
        w_.previewText->setText(kPreviewHint);
        BusyCursor();
    });
}

void RunPresenter::FolderOpened(const std::string& root) {
    Queue([this, caption = "Analyzing: " + FromUtf8(root)] {
        runStatus_.clear();
        window_.setWindowTitle(caption);
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
    Queue([this, t = FromUtf8(text)] {
        runStatus_ = t;
        w_.statusBar->showMessage(t);
    });
}

void RunPresenter::PhotosRead(int count) {
    photosRead_.Position = count;
    QueueGauge(photosRead_, [this](int /*maximum*/, int read) {
        QString text = FromUtf8(common::GroupThousands(read)) + (read == 1 ? " photo read" : " photos read");
        if (!runStatus_.isEmpty()) text = runStatus_ + QString::fromUtf8(" \u2014 ") + text;
        w_.statusBar->showMessage(text);
    });
}

void RunPresenter::RunSummary(const std::string& text) {
    Queue([this, t = FromUtf8(text)] { summary_ = t; });
}

void RunPresenter::ServiceEvents() {
    if (actions_.ServicePoint) actions_.ServicePoint();
}

void RunPresenter::ChartPoint(Quantity quantity, const CategoryCount& point) {
    Queue([this, quantity, point] {
        // The lens chart's bars are laid out by its panel: named lenses first, the others apart.
        if (quantity == Quantity::Lens && lenses_ != nullptr) {
            lenses_->AddRow(point);
            return;
        }
        charts_.AddPoint(quantity, point.Label, point.Count, point.Estimated);
        if (answers_ != nullptr) answers_->AddCategory(quantity, point.Category);
    });
}

void RunPresenter::EquivalenceReady(const analysis::EquivalenceSummary& summary) {
    Queue([this, summary, text = FromUtf8(analysis::EstimateStatusText(summary))] {
        equivalence_ = summary;
        // A guess is told where the run's counts are: the link leads to setting the factors.
        w_.estimateLink->SetLink(text);
    });
}

void RunPresenter::PhotosReady(const std::vector<analysis::PhotoRecord>& photos) {
    Queue([this, photos] {
        if (answers_ != nullptr) answers_->SetPhotos(photos);
        if (lenses_ != nullptr) lenses_->PhotosChanged();
    });
}

void RunPresenter::PathListReady(const std::vector<std::string>& sortedLines,
                                 const std::vector<std::string>& linePaths) {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(sortedLines.size()));
    for (const std::string& line : sortedLines) lines.push_back(FromUtf8(line));
    Queue([this, lines = std::move(lines), paths = linePaths]() mutable {
        if (viewer_ != nullptr) {
            viewer_->SetFullList(lines, std::move(paths));
        } else {
            w_.pathList->setPlainText(lines.join(QChar('\n')));
        }
        w_.savePathListButton->setEnabled(true);
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
        ShowIdle();
        charts_.EnableSaving(true);
        window_.setWindowTitle(caption);
        RestoreCursor();
        if (actions_.ChartsCurrent) actions_.ChartsCurrent(analysis::ResultsCurrent(outcome));
    });
}

}  // namespace quorvela::ui
