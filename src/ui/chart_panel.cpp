#include "ui/chart_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QLayout>
#include <QLocale>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>

#include "charts/chart_set.h"

namespace quorvela::ui {

namespace {

constexpr std::array<const char*, kChartCount> kGraphFileNames{
    "Focal_length_graph.bmp", "ISO_graph.bmp", "Aperture_graph.bmp", "Shutter_graph.bmp", "Lens_graph.bmp"};
// The BMP filter as the platform's dialog writes it.
constexpr const char* kGraphFilter = "file(*.bmp);;All (*)";

}  // namespace

ChartPanel::ChartPanel(QWidget* window, const WindowWidgets& widgets, char decimalSeparator, AskSaveFile askSaveFile,
                       InSaveFolder inSaveFolder)
    : window_(window),
      w_(widgets),
      askSaveFile_(std::move(askSaveFile)),
      inSaveFolder_(std::move(inSaveFolder)),
      charts_(std::make_unique<charts::ChartSet>(widgets.overviewPanel)) {
    charts_->SetNumberSeparators(decimalSeparator, QLocale().groupSeparator().toStdString());
    Connect();
}

ChartPanel::~ChartPanel() = default;

void ChartPanel::Connect() {
    connect(w_.statisticsBox, &QComboBox::currentIndexChanged, this, [this] { ApplyStatistics(); });
    connect(w_.threeDCheck, &QCheckBox::toggled, this, [this] { Apply3D(); });
    connect(w_.pointsPerPageSpin, &QSpinBox::valueChanged, this, [this] { ApplyPointsPerPage(); });
    connect(w_.resetZoomsButton, &QToolButton::clicked, this, [this] { ResetOverview(); });
    for (int i = 0; i < charts::ChartSet::kCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        connect(w_.fitButtons[k], &QToolButton::clicked, this, [this, i] { FitChart(i); });
        connect(w_.saveButtons[k], &QToolButton::clicked, this, [this, i] { SaveChart(i); });
    }
    charts_->OnDoubleClicked = [this](int index) { ToggleOwnTab(index); };
    charts_->OnPointChosen = [this](int index, int point) {
        if (OnPointChosen) OnPointChosen(index, point);
    };
    charts_->OnMouseMove = [this](int) { MouseOverChart(); };
    charts_->OnZoomed = [this](int) { ApplyResetButtons(AfterZoom(CurrentViewStates())); };
    charts_->OnZoomUndone = [this](int index) { ZoomUndone(index); };
    charts_->OnScrolled = [this](int) { ApplyResetButtons(AfterScroll(CurrentViewStates())); };
}

void ChartPanel::Distribute(bool toOverview) {
    charts_->AllowZoom(false);
    // The lens chart has no place on the overview: it always stands on its own tab.
    ToOwnTab(charts::ChartSet::kLens);
    if (toOverview && w_.tabs->currentWidget() == w_.overviewTab) {
        for (int i = 0; i < charts::ChartSet::kOverviewCount; ++i) {
            QWidget* chart = charts_->Widget(i);
            if (chart->parentWidget() != w_.overviewTab) {
                chart->setParent(w_.overviewTab);
                chart->show();
            }
            chart->raise();
        }
        LayOutOverview();
        return;
    }
    for (int i = 0; i < charts::ChartSet::kOverviewCount; ++i) ToOwnTab(i);
}

void ChartPanel::ToOwnTab(int index) {
    QWidget* chart = charts_->Widget(index);
    QWidget* host = w_.chartHosts.at(static_cast<std::size_t>(index));
    if (chart->parentWidget() == host) return;
    chart->setParent(host);
    host->layout()->addWidget(chart);
    chart->show();
}

void ChartPanel::LayOutOverview() {
    const std::array<GridCell, 4> grid = OverviewGrid(w_.overviewPanel->width(), w_.overviewPanel->height());
    for (int i = 0; i < charts::ChartSet::kOverviewCount; ++i) {
        QWidget* chart = charts_->Widget(i);
        const GridCell& cell = grid[static_cast<std::size_t>(i)];
        // On its own tab a chart fills its place; the grid applies when the overview shows again.
        if (chart->parentWidget() != w_.overviewTab) continue;
        chart->setGeometry(cell.Left, cell.Top, cell.Width, cell.Height);
    }
}

void ChartPanel::ToggleOwnTab(int index) {
    QWidget* own = w_.chartTabs.at(static_cast<std::size_t>(index));
    const QSignalBlocker quiet(w_.tabs);  // a tab chosen here is not the user's choice
    if (w_.tabs->currentWidget() == own) {
        w_.tabs->setCurrentWidget(w_.overviewTab);
        Distribute(true);
    } else {
        w_.tabs->setCurrentWidget(own);
        Distribute(false);
    }
}

void ChartPanel::ShowOverview() {
    {
        const QSignalBlocker quiet(w_.tabs);
        w_.tabs->setCurrentWidget(w_.overviewTab);
    }
    Distribute(true);
}

void ChartPanel::ApplyStatistics() {
    // The box has "Statistics off" and five statistics; -1 is no entry chosen.
    const int index = w_.statisticsBox->currentIndex();
    charts_->SetStatistics(index >= -1 && index <= 5 ? static_cast<charts::Statistics>(index)
                                                     : charts::Statistics::None);
}

void ChartPanel::Apply3D() {
    charts_->Set3D(w_.threeDCheck->isChecked());
}

void ChartPanel::ApplyPointsPerPage() {
    if (const std::optional<int> wrapped = WrappedPointsPerPage(w_.pointsPerPageSpin->value())) {
        w_.pointsPerPageSpin->setValue(*wrapped);  // runs this handler for the new value first
    }
    charts_->SetPointsPerPage(std::max(w_.pointsPerPageSpin->value(), 0));
    UndoAllZooms();
}

void ChartPanel::MouseOverChart() {
    charts_->AllowZoom(true);
    w_.statusBar->showMessage(kZoomHelp);
}

ViewStates ChartPanel::CurrentViewStates() const {
    ViewStates states;
    for (int i = 0; i < charts::ChartSet::kCount; ++i) {
        const charts::ChartSet::ViewState view = charts_->View(i);
        states[static_cast<std::size_t>(i)] = {view.Zoomed, view.UserRanges, view.FirstShown};
    }
    return states;
}

void ChartPanel::ZoomUndone(int index) {
    // The chart reports its undo before it drops its zoomed flag; it is back at its automatic
    // scales already.
    ViewStates views = CurrentViewStates();
    views.at(static_cast<std::size_t>(index)).Zoomed = false;
    ApplyResetButtons(AfterUndoZoom(views));
}

void ChartPanel::ApplyResetButtons(const ResetButtons& buttons) {
    w_.resetZoomsButton->setEnabled(buttons.Overview);
    for (std::size_t i = 0; i < kChartCount; ++i) w_.fitButtons[i]->setEnabled(buttons.Fit[i]);
}

void ChartPanel::UndoAllZooms() {
    charts_->UndoAllZooms();
}

void ChartPanel::ResetOverview() {
    UndoAllZooms();
    w_.resetZoomsButton->setEnabled(false);
}

void ChartPanel::FitChart(int index) {
    charts_->UndoZoom(index);
    w_.fitButtons.at(static_cast<std::size_t>(index))->setEnabled(false);
}

QString ChartPanel::AskSaveFileName(int index) const {
    const QString name = kGraphFileNames.at(static_cast<std::size_t>(index));
    const QString proposed = inSaveFolder_ ? inSaveFolder_(name) : name;
    if (askSaveFile_) return askSaveFile_(proposed, kGraphFilter);
    QFileDialog dialog(window_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("bmp");
    dialog.setNameFilter(kGraphFilter);
    dialog.selectFile(proposed);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        return dialog.selectedFiles().constFirst();
    }
    return {};
}

void ChartPanel::SaveChart(int index) {
    const QString file = AskSaveFileName(index);
    if (file.isEmpty()) return;
    static_cast<void>(charts_->SaveImage(index, file));  // a file that cannot be written is skipped silently
}

void ChartPanel::EnableSaving(bool enabled) {
    for (QToolButton* button : w_.saveButtons) button->setEnabled(enabled);
}

void ChartPanel::Clear() {
    charts_->Clear();
    UndoAllZooms();
}

void ChartPanel::AddPoint(int index, const std::string& label, int count, int estimated) {
    charts_->AddPoint(index, label, count, estimated);
}

void ChartPanel::ShowOwnTab(int index) {
    const QSignalBlocker quiet(w_.tabs);
    w_.tabs->setCurrentWidget(w_.chartTabs.at(static_cast<std::size_t>(index)));
    Distribute(false);
}

charts::ChartSet& ChartPanel::Charts() const {
    return *charts_;
}

}  // namespace quorvela::ui
