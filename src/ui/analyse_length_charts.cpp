// The four usage charts in the window: placement, display options, zoom bookkeeping, export.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QLayout>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

#include "charts/chart_set.h"
#include "ui/analyse_length.h"

namespace quorvela::ui {

namespace {

constexpr const char* kZoomHelp =
    "Left mouse drag (Up/Down) = zoom. Right mouse drag = pan. Invert Zoom rectangle = reset.";

constexpr std::array<const char*, 4> kGraphFileNames{"Focal_length_graph.bmp", "ISO_graph.bmp", "Aperture_graph.bmp",
                                                     "Shutter_graph.bmp"};
// The BMP filter as the platform's dialog writes it.
constexpr const char* kGraphFilter = "file(*.bmp);;All (*)";

}  // namespace

void TAnalyseLength::ConnectCharts() {
    charts_->OnDoubleClicked = [this](int index) { ChartDblClick(index); };
    charts_->OnMouseMove = [this](int) { Chart1MouseMove(); };
    charts_->OnZoomed = [this](int index) { Chart5Zoom(index); };
    charts_->OnZoomUndone = [this](int index) { Chart5UndoZoom(index); };
    charts_->OnScrolled = [this](int index) { Chart5Scroll(index); };
}

QWidget* TAnalyseLength::OwnTab(int index) const {
    const std::array<QWidget*, 4> tabs{TabSheet2, TabSheet3, TabSheet4, TabSheet6};
    return tabs.at(static_cast<std::size_t>(index));
}

void TAnalyseLength::DistributeCharts(bool ToOverview) {
    std::array<QWidget*, charts::ChartSet::kCount> charts{};
    for (int i = 0; i < charts::ChartSet::kCount; ++i) charts[static_cast<std::size_t>(i)] = charts_->Widget(i);
    charts_->AllowZoom(false);
    if (ToOverview && PageControl1->currentWidget() == TabSheet1) {
        for (QWidget* chart : charts) {
            if (chart->parentWidget() != TabSheet1) {
                chart->setParent(TabSheet1);
                chart->show();
            }
            chart->raise();
        }
        FormResize();
        return;
    }
    for (std::size_t i = 0; i < 4; ++i) {
        if (charts[i]->parentWidget() == chartHosts_[i]) continue;
        charts[i]->setParent(chartHosts_[i]);
        chartHosts_[i]->layout()->addWidget(charts[i]);
        charts[i]->show();
    }
}

void TAnalyseLength::FormResize() {
    const std::array<GridCell, 4> grid = OverviewGrid(PanelOverview->width(), PanelOverview->height());
    for (std::size_t i = 0; i < 4; ++i) {
        QWidget* chart = charts_->Widget(static_cast<int>(i));
        // On its own tab a chart fills its place; the grid applies when the overview shows again.
        if (chart->parentWidget() != TabSheet1) continue;
        chart->setGeometry(grid[i].Left, grid[i].Top, grid[i].Width, grid[i].Height);
    }
    if (shown_ && Panel2->width() < kMinimumTreeWidth) {
        Splitter1->setSizes({kMinimumTreeWidth, Splitter1->width() - kMinimumTreeWidth - Splitter1->handleWidth()});
    }
}

void TAnalyseLength::ChartDblClick(int index) {
    QWidget* own = OwnTab(index);
    const QSignalBlocker quiet(PageControl1);  // a tab chosen here is not the user's choice
    if (PageControl1->currentWidget() == own) {
        PageControl1->setCurrentWidget(TabSheet1);
        DistributeCharts(true);
    } else {
        PageControl1->setCurrentWidget(own);
        DistributeCharts(false);
    }
}

void TAnalyseLength::PageControl1Change() {
    DistributeCharts(true);
}

void TAnalyseLength::Splitter1Moved() {
    FormResize();
}

void TAnalyseLength::ComboBoxValueChange() {
    const int index = ComboBoxValue->currentIndex();
    charts_->SetStatistics(index >= -1 && index <= 5 ? static_cast<charts::Statistics>(index)
                                                     : charts::Statistics::None);
}

void TAnalyseLength::ChB3DClick() {
    charts_->Set3D(ChB3D->isChecked());
}

void TAnalyseLength::SpinEdit3Change() {
    if (const std::optional<int> wrapped = WrappedPointsPerPage(SpinEdit3->value())) {
        SpinEdit3->setValue(*wrapped);  // runs this handler for the new value first
    }
    const int perPage = std::max(SpinEdit3->value(), 0);
    charts_->SetPointsPerPage(perPage);
    UndoAllZooms();
}

void TAnalyseLength::Chart1MouseMove() {
    charts_->AllowZoom(true);
    StatusBar1->showMessage(kZoomHelp);
}

ViewStates TAnalyseLength::ChartViewStates() const {
    ViewStates states;
    for (std::size_t i = 0; i < 4; ++i) {
        const charts::ChartSet::ViewState view = charts_->View(static_cast<int>(i));
        states[i] = {view.Zoomed, view.UserRanges, view.FirstShown};
    }
    return states;
}

void TAnalyseLength::ApplyResetButtons(const ResetButtons& buttons) {
    LbSpeedButton8->setEnabled(buttons.Overview);
    for (std::size_t i = 0; i < 4; ++i) FitButtons[i]->setEnabled(buttons.Fit[i]);
}

void TAnalyseLength::Chart5Zoom(int /*index*/) {
    ApplyResetButtons(AfterZoom(ChartViewStates()));
}

void TAnalyseLength::Chart5UndoZoom(int /*index*/) {
    ApplyResetButtons(AfterUndoZoom(ChartViewStates()));
}

void TAnalyseLength::Chart5Scroll(int /*index*/) {
    ApplyResetButtons(AfterScroll(ChartViewStates()));
}

void TAnalyseLength::UndoAllZooms() {
    charts_->UndoAllZooms();
}

void TAnalyseLength::LbSpeedButton8Click() {
    UndoAllZooms();
    LbSpeedButton8->setEnabled(false);
}

void TAnalyseLength::FitGraphClick(int index) {
    charts_->UndoZoom(index);
    FitButtons.at(static_cast<std::size_t>(index))->setEnabled(false);
}

void TAnalyseLength::SaveGraphClick(int index) {
    const auto i = static_cast<std::size_t>(index);
    const QString proposed = kGraphFileNames.at(i);
    QString file;
    if (services_.AskSaveFile) {
        file = services_.AskSaveFile(proposed, kGraphFilter);
    } else {
        QFileDialog dialog(this);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix("bmp");
        dialog.setNameFilter(kGraphFilter);
        dialog.selectFile(proposed);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
        dialog.setOption(QFileDialog::ReadOnly, false);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            file = dialog.selectedFiles().constFirst();
        }
    }
    if (file.isEmpty()) return;
    charts_->SaveImage(index, file);  // a file that cannot be written is skipped silently
}

}  // namespace quorvela::ui
