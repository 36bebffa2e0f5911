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

constexpr PerQuantity<const char*> kGraphFileNames{
    {"Focal_length_graph.bmp", "ISO_graph.bmp", "Aperture_graph.bmp", "Shutter_graph.bmp", "Lens_graph.bmp"}};
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
    for (const Quantity q : kQuantities) {
        connect(w_.fitButtons[q], &QToolButton::clicked, this, [this, q] { FitChart(q); });
        connect(w_.saveButtons[q], &QToolButton::clicked, this, [this, q] { SaveChart(q); });
    }
    charts_->OnDoubleClicked = [this](Quantity quantity) { ToggleOwnTab(quantity); };
    charts_->OnPointChosen = [this](Quantity quantity, int point) {
        if (OnPointChosen) OnPointChosen(quantity, point);
    };
    charts_->OnPointSelected = [this](Quantity quantity, int point) {
        if (OnPointSelected) OnPointSelected(quantity, point);
    };
    charts_->OnMouseMove = [this](Quantity) { MouseOverChart(); };
    charts_->OnZoomed = [this](Quantity) { ApplyResetButtons(AfterZoom(CurrentViewStates())); };
    charts_->OnZoomUndone = [this](Quantity quantity) { ZoomUndone(quantity); };
    charts_->OnScrolled = [this](Quantity) { ApplyResetButtons(AfterScroll(CurrentViewStates())); };
}

void ChartPanel::Distribute(bool toOverview) {
    charts_->AllowZoom(false);
    // The lens chart has no place on the overview: it always stands on its own tab.
    for (const Quantity q : kQuantities) {
        if (!OnOverview(q)) ToOwnTab(q);
    }
    if (toOverview && w_.tabs->currentWidget() == w_.overviewTab) {
        for (const Quantity q : kQuantities) {
            if (!OnOverview(q)) continue;
            QWidget* chart = charts_->Widget(q);
            if (chart->parentWidget() != w_.overviewTab) {
                chart->setParent(w_.overviewTab);
                chart->show();
            }
            chart->raise();
        }
        LayOutOverview();
        return;
    }
    for (const Quantity q : kQuantities) {
        if (OnOverview(q)) ToOwnTab(q);
    }
}

void ChartPanel::ToOwnTab(Quantity quantity) {
    QWidget* chart = charts_->Widget(quantity);
    QWidget* host = w_.chartHosts[quantity];
    if (chart->parentWidget() == host) return;
    chart->setParent(host);
    host->layout()->addWidget(chart);
    chart->show();
}

void ChartPanel::LayOutOverview() {
    const std::array<GridCell, 4> grid = OverviewGrid(w_.overviewPanel->width(), w_.overviewPanel->height());
    for (const Quantity q : kQuantities) {
        if (!OnOverview(q)) continue;
        QWidget* chart = charts_->Widget(q);
        const GridCell& cell = grid[IndexOf(q)];
        // On its own tab a chart fills its place; the grid applies when the overview shows again.
        if (chart->parentWidget() != w_.overviewTab) continue;
        chart->setGeometry(cell.Left, cell.Top, cell.Width, cell.Height);
    }
}

void ChartPanel::ToggleOwnTab(Quantity quantity) {
    QWidget* own = w_.chartTabs[quantity];
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
    for (const Quantity q : kQuantities) states[q] = charts_->View(q);
    return states;
}

void ChartPanel::ZoomUndone(Quantity quantity) {
    // The chart reports its undo before it drops its zoomed flag; it is back at its automatic
    // scales already.
    ViewStates views = CurrentViewStates();
    views[quantity].Zoomed = false;
    ApplyResetButtons(AfterUndoZoom(views));
}

void ChartPanel::ApplyResetButtons(const ResetButtons& buttons) {
    w_.resetZoomsButton->setEnabled(buttons.Overview);
    for (const Quantity q : kQuantities) w_.fitButtons[q]->setEnabled(buttons.Fit[q]);
}

void ChartPanel::UndoAllZooms() {
    charts_->UndoAllZooms();
}

void ChartPanel::ResetOverview() {
    UndoAllZooms();
    w_.resetZoomsButton->setEnabled(false);
}

void ChartPanel::FitChart(Quantity quantity) {
    charts_->UndoZoom(quantity);
    w_.fitButtons[quantity]->setEnabled(false);
}

QString ChartPanel::AskSaveFileName(Quantity quantity) const {
    const QString name = kGraphFileNames[quantity];
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

void ChartPanel::SaveChart(Quantity quantity) {
    const QString file = AskSaveFileName(quantity);
    if (file.isEmpty()) return;
    static_cast<void>(charts_->SaveImage(quantity, file));  // a file that cannot be written is skipped silently
}

void ChartPanel::EnableSaving(bool enabled) {
    for (QToolButton* button : w_.saveButtons) button->setEnabled(enabled);
}

void ChartPanel::Clear() {
    charts_->Clear();
    UndoAllZooms();
}

void ChartPanel::AddPoint(Quantity quantity, const std::string& label, int count, int estimated) {
    charts_->AddPoint(quantity, label, count, estimated);
}

void ChartPanel::ShowOwnTab(Quantity quantity) {
    const QSignalBlocker quiet(w_.tabs);
    w_.tabs->setCurrentWidget(w_.chartTabs[quantity]);
    Distribute(false);
}

charts::ChartSet& ChartPanel::Charts() const {
    return *charts_;
}

}  // namespace quorvela::ui
