// The run in the window: the settings it takes from the controls and what it shows as it goes.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>

#include "charts/chart_set.h"
#include "ui/analyse_length.h"
#include "ui/text_codec.h"
#include "viewer/path_list_viewer.h"

namespace quorvela::ui {

namespace {

constexpr const char* kPathListFileName = "vt_debug.txt";

void SetProgress(QProgressBar* bar, int maximum, int position) {
    bar->setMaximum(std::max(maximum, 1));
    bar->setValue(std::clamp(position, 0, bar->maximum()));
}

}  // namespace

analysis::AnalysisSettings TAnalyseLength::CurrentAnalysisSettings() const {
    analysis::AnalysisSettings s;
    s.RootFolder = ToUtf8(SelectedFolder());
    s.IncludeSubfolders = ChB_Subs->isChecked();
    s.FilterOn = Cb_Custom->isChecked();
    s.Filter = {ToCp1252(EditMake->text()), ToCp1252(EditModel->text()), ToCp1252(MN_name_Edit->text()),
                ToCp1252(MN_Data_Edit->text())};
    s.UseSteps = ChBoxSteps->isChecked();
    s.StepSize = SpinEdit1->value();
    s.IgnoreUpTo = SpinEdit2->value();
    s.FractionShutter = ChB_Raw->isChecked();
    s.PathList = static_cast<analysis::PathListQuantity>(RadioGroup1Index());
    s.AddMakerNotes = CB_MakerNote->isChecked();
    s.Lens = {ToCp1252(Edit1->text()), ToCp1252(Edit2->text()), LbSetforRealLength->isChecked(),
              Ch_AlwaysCalc->isChecked()};
    return s;
}

void TAnalyseLength::StartAnalyzingClick() {
    if (controller_->Active() || closePending_) return;
    analysis::RunEnvironment environment;
    environment.DecimalSeparator = decimalSeparator_;
    environment.Order = collation_.get();
    environment.PathListFile = programFolder_ / kPathListFileName;
    // The button stays out of reach until the run has ended; the run itself shows Stop.
    StartAnalyzing->setEnabled(false);
    controller_->Start(CurrentAnalysisSettings(), environment, EquivalentList);
}

void TAnalyseLength::StopAnalyzingClick() {
    controller_->RequestStop();
}

void TAnalyseLength::HourGlassCursor() {
    if (busyCursor_) return;
    busyCursor_ = true;
    // The window stays usable during a run (Stop, tabs, charts): the arrow with a busy sign.
    QApplication::setOverrideCursor(Qt::BusyCursor);
}

void TAnalyseLength::RestoreCursor() {
    if (!busyCursor_) return;
    busyCursor_ = false;
    QApplication::restoreOverrideCursor();
}

void TAnalyseLength::RunBusyCursor(bool busy) {
    if (busy) {
        HourGlassCursor();
    } else {
        RestoreCursor();
    }
}

void TAnalyseLength::RunCaption(const QString& text) {
    setWindowTitle(text);
}

void TAnalyseLength::RunResetPreview(const QString& hint) {
    pathListViewer_->CancelPreview();
    Image3->clear();
    Label20->setText(hint);
}

void TAnalyseLength::RunClearResults() {
    runSummaryText_.clear();
    for (QToolButton* button : SaveButtons) button->setEnabled(false);
    for (charts::TBarSeries* series : Series()) series->Clear();
    UndoAllZooms();
    RichEdit1->clear();
    if (pathListViewer_) pathListViewer_->SetLinePaths({});
    Lb_SaveRichedit->setEnabled(false);
}

void TAnalyseLength::RunRunning(bool running) {
    StartAnalyzing->setVisible(!running);
    StopAnalyzing->setVisible(running);
    if (!running) {
        for (QToolButton* button : SaveButtons) button->setEnabled(true);
    }
}

void TAnalyseLength::RunCollectProgress(int maximum, int position) {
    SetProgress(ProgrBarCollect, maximum, position);
}

void TAnalyseLength::RunAnalyseProgress(int maximum, int position) {
    SetProgress(ProgrBarAnalyse, maximum, position);
}

void TAnalyseLength::RunStatusText(const QString& text) {
    StatusBar1->showMessage(text);
}

void TAnalyseLength::RunSummary(const QString& text) {
    runSummaryText_ = text;
}

void TAnalyseLength::RunChartPoint(analysis::Quantity quantity, const QString& label, int count) {
    Series().at(static_cast<std::size_t>(quantity))->Add(count, ToUtf8(label));
}

void TAnalyseLength::RunPathList(const QStringList& sortedLines, std::vector<std::string> linePaths) {
    RichEdit1->setPlainText(sortedLines.join(QChar('\n')));
    pathListViewer_->SetLinePaths(std::move(linePaths));
    Lb_SaveRichedit->setEnabled(true);
}

void TAnalyseLength::RunMessage(const QString& text) {
    ShowMessage(text);
}

void TAnalyseLength::RunAnalysisCurrent() {
    SetStatusPanelLook(kIndicatorCurrent);
}

void TAnalyseLength::RunFinished(const analysis::AnalysisResult& result) {
    RestoreCursor();
    lastResult_ = result;
    // The button follows the tree's selection again, which may have changed during the run.
    const QString folder = SelectedFolder();
    StartAnalyzing->setEnabled(!folder.isEmpty() && QFileInfo(folder).isDir());
    if (closePending_) {
        close();
        return;
    }
    if (OnRunFinished) OnRunFinished();
}

}  // namespace quorvela::ui
