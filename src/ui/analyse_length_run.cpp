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

void TAnalyseLength::CreateRunPresenter() {
    const RunPresenter::Controls controls{.Window = this,
                                          .Start = StartAnalyzing,
                                          .Stop = StopAnalyzing,
                                          .Collecting = ProgrBarCollect,
                                          .Analysing = ProgrBarAnalyse,
                                          .Status = StatusBar1,
                                          .Preview = Image3,
                                          .PreviewText = Label20,
                                          .PathList = RichEdit1,
                                          .SavePathList = Lb_SaveRichedit};
    RunPresenter::Actions actions;
    actions.ClearCharts = [this] {
        charts_->Clear();
        UndoAllZooms();
    };
    actions.AddPoint = [this](analysis::Quantity quantity, const std::string& label, int count) {
        charts_->AddPoint(static_cast<int>(quantity), label, count);
    };
    actions.EnableChartSaving = [this](bool enabled) {
        for (QToolButton* button : SaveButtons) button->setEnabled(enabled);
    };
    actions.ShowMessage = [this](const QString& text) { ShowMessage(text); };
    actions.ResultsCurrent = [this] { SetStatusPanelLook(kIndicatorCurrent); };
    actions.ServicePoint = services_.RunServicePoint;
    presenter_ = std::make_unique<RunPresenter>(controls, std::move(actions));
    controller_ = std::make_unique<RunController>(
        this, *presenter_, [this](const analysis::AnalysisResult& result) { RunFinished(result); });
}

void TAnalyseLength::RunFinished(const analysis::AnalysisResult& result) {
    presenter_->RestoreCursor();
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
