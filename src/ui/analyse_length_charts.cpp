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

// The mark style of each statistics entry after "Statistics off".
constexpr std::array<charts::MarkStyle, 5> kModeStyles{charts::MarkStyle::Label, charts::MarkStyle::Value,
                                                       charts::MarkStyle::Percent, charts::MarkStyle::PercentTotal,
                                                       charts::MarkStyle::LabelPercentTotal};

}  // namespace

void TAnalyseLength::ConnectCharts() {
    Chart5->OnDblClick = [this](charts::TChart&) { Chart5DblClick(); };
    Chart6->OnDblClick = [this](charts::TChart&) { Chart6DblClick(); };
    Chart7->OnDblClick = [this](charts::TChart&) { Chart7DblClick(); };
    Chart8->OnDblClick = [this](charts::TChart&) { Chart8DblClick(); };
    const auto charts = Charts();
    for (std::size_t i = 0; i < 4; ++i) {
        charts::TChart* chart = charts[i];
        chart->OnMouseMove = [this](charts::TChart&, int, int) { Chart1MouseMove(); };
        chart->OnZoom = [this](charts::TChart&) { Chart5Zoom(); };
        chart->OnUndoZoom = [this](charts::TChart&) { Chart5UndoZoom(); };
        chart->OnScroll = [this](charts::TChart&) { Chart5Scroll(); };
    }
}

QWidget* TAnalyseLength::OwnTab(int index) const {
    const std::array<QWidget*, 4> tabs{TabSheet2, TabSheet3, TabSheet4, TabSheet6};
    return tabs.at(static_cast<std::size_t>(index));
}

void TAnalyseLength::DistributeCharts(bool ToOverview) {
    const auto charts = Charts();
    for (charts::TChart* chart : charts) chart->SetAllowZoom(false);
    if (ToOverview && PageControl1->currentWidget() == TabSheet1) {
        for (charts::TChart* chart : charts) {
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
    const auto charts = Charts();
    for (std::size_t i = 0; i < 4; ++i) {
        // On its own tab a chart fills its place; the grid applies when the overview shows again.
        if (charts[i]->parentWidget() != TabSheet1) continue;
        charts[i]->setGeometry(grid[i].Left, grid[i].Top, grid[i].Width, grid[i].Height);
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
    if (index == 0) {
        BarSeries1->SetMarksVisible(false);
    } else if (index >= 1 && index <= 5) {
        BarSeries1->SetMarksStyle(kModeStyles[static_cast<std::size_t>(index - 1)]);
    }
    if (index > 0 && index <= 5) BarSeries1->SetMarksVisible(true);
    for (charts::TBarSeries* series : {BarSeries2, BarSeries3, BarSeries4}) {
        series->SetMarksVisible(BarSeries1->Marks().Visible);
        series->SetMarksStyle(BarSeries1->Marks().Style);
    }
}

void TAnalyseLength::ChB3DClick() {
    for (charts::TChart* chart : Charts()) chart->SetView3D(ChB3D->isChecked());
}

void TAnalyseLength::SpinEdit3Change() {
    if (const std::optional<int> wrapped = WrappedPointsPerPage(SpinEdit3->value())) {
        SpinEdit3->setValue(*wrapped);  // runs this handler for the new value first
    }
    const int perPage = std::max(SpinEdit3->value(), 0);
    for (charts::TChart* chart : Charts()) chart->SetMaxPointsPerPage(perPage);
    UndoAllZooms();
}

void TAnalyseLength::Chart1MouseMove() {
    for (charts::TChart* chart : Charts()) chart->SetAllowZoom(true);
    StatusBar1->showMessage(kZoomHelp);
}

ViewStates TAnalyseLength::ChartViewStates() const {
    ViewStates states;
    const auto charts = Charts();
    for (std::size_t i = 0; i < 4; ++i) {
        states[i] = {charts[i]->Zoomed(), charts[i]->View().UserRanges(), charts[i]->BottomAxis().Minimum};
    }
    return states;
}

void TAnalyseLength::ApplyResetButtons(const ResetButtons& buttons) {
    LbSpeedButton8->setEnabled(buttons.Overview);
    for (std::size_t i = 0; i < 4; ++i) FitButtons[i]->setEnabled(buttons.Fit[i]);
}

void TAnalyseLength::Chart5Zoom() {
    ApplyResetButtons(AfterZoom(ChartViewStates()));
}

void TAnalyseLength::Chart5UndoZoom() {
    ApplyResetButtons(AfterUndoZoom(ChartViewStates()));
}

void TAnalyseLength::Chart5Scroll() {
    ApplyResetButtons(AfterScroll(ChartViewStates()));
}

void TAnalyseLength::UndoAllZooms() {
    for (charts::TChart* chart : Charts()) chart->UndoZoom();
}

void TAnalyseLength::LbSpeedButton8Click() {
    UndoAllZooms();
    LbSpeedButton8->setEnabled(false);
}

void TAnalyseLength::FitGraphClick(int index) {
    Charts().at(static_cast<std::size_t>(index))->UndoZoom();
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
    Charts()[i]->SaveToBitmapFile(file);  // a file that cannot be written is skipped silently
}

}  // namespace quorvela::ui
