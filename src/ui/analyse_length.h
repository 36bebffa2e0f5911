#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "analysis/analysis_run.h"
#include "equivalence/equivalent_table.h"
#include "settings/settings_file.h"
#include "ui/control_rules.h"
#include "ui/messages.h"
#include "ui/run_controller.h"
#include "ui/run_presenter.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QToolButton;
class QTreeView;

namespace quorvela::viewer {
class EquivalentEditorPanel;
class PathListViewer;
}  // namespace quorvela::viewer

namespace quorvela::charts {
class ChartSet;
}  // namespace quorvela::charts

namespace quorvela::ui {

// What the window takes from its surroundings; tests give their own.
struct WindowServices {
    // Holds vintrop.ini, cam_equiv.txt and vt_debug.txt; by default the program's folder, or
    // the per-user configuration folder when that is not writable.
    std::filesystem::path ProgramFolder;
    // Where cam_equiv.exp and the help are looked for; by default the program's folder.
    std::filesystem::path ExecutableFolder;
    // Modal message boxes by default.
    std::shared_ptr<MessageSink> Messages;
    // Opens a help page or link; the desktop's browser by default.
    std::function<void(const QUrl&)> OpenUrl;
    // The decimal separator; the user's locale's by default.
    char DecimalSeparator = 0;
    // The save-file dialog for chart images: the chosen file, or empty when cancelled. The
    // platform's dialog by default.
    std::function<QString(const QString& proposedName, const QString& filter)> AskSaveFile;
    // Called on the run's thread wherever the run services events; none by default. Tests
    // pace runs with it, so that a stop reliably lands in the middle of one.
    std::function<void()> RunServicePoint;
};

// The one main window: the folder tree, the run controls, the four usage charts, the path list.
// Handlers are named after the control and the event they serve. The window is wiring: the
// rules of which control shows what are in control_rules.h, the run is the analysis engine on a
// thread of its own (run_controller.h).
class TAnalyseLength final : public QMainWindow {
  public:
    explicit TAnalyseLength(WindowServices services = {});
    ~TAnalyseLength() override;

    // Life cycle and settings.
    void FormCreate();
    void ReadIniFile(const std::filesystem::path& fileName);
    void FormShow();
    void FormActivate();
    void FormClose();
    void WriteIniFile(const std::filesystem::path& fileName);
    void LbSpeedButton9Click();
    void Label7Click();
    void Label14Click();
    void OpenHelpTopic(int topic);

    // Control states.
    void setButtonstate();
    void SetReAnalyseColor();
    void LbSetforRealLengthClick();
    void StatusPanelDblClick();
    void ChBoxStepsClick();
    void Cb_CustomClick();
    void ShellTreeView1Change();
    // Returns whether the typed character is kept.
    bool Edit1KeyPress(QChar key);
    void FormKeyDown(int key);
    void Panel1MouseMove();

    // The run.
    void StartAnalyzingClick();
    void StopAnalyzingClick();

    // Chart placement, options, zoom and export.
    void DistributeCharts(bool ToOverview);
    void FormResize();
    void ChartDblClick(int index);  // the logic the four double-click handlers share
    void Chart5DblClick() { ChartDblClick(0); }
    void Chart6DblClick() { ChartDblClick(1); }
    void Chart7DblClick() { ChartDblClick(2); }
    void Chart8DblClick() { ChartDblClick(3); }
    void PageControl1Change();
    void Splitter1Moved();
    void ComboBoxValueChange();
    void ChB3DClick();
    void SpinEdit3Change();
    void Chart1MouseMove();
    void Chart5Zoom(int index);
    void Chart5UndoZoom(int index);
    void Chart5Scroll(int index);
    void LbSpeedButton8Click();
    void FitGraphClick(int index);   // "Fit graph" of chart `index`
    void SaveGraphClick(int index);  // "Save graph as bmp" of chart `index`
    void LbSpeedButton1Click() { FitGraphClick(0); }
    void LbSpeedButton2Click() { FitGraphClick(1); }
    void LbSpeedButton3Click() { FitGraphClick(2); }
    void LbSpeedButton4Click() { FitGraphClick(3); }
    void LbSaveDateClick() { SaveGraphClick(0); }
    void LbSpeedButton5Click() { SaveGraphClick(1); }
    void LbSpeedButton6Click() { SaveGraphClick(2); }
    void LbSpeedButton7Click() { SaveGraphClick(3); }

    // The path-list viewer and the camera-table editor.
    void Lb_SaveRicheditClick();
    [[nodiscard]] viewer::PathListViewer& PathListView() const { return *pathListViewer_; }
    [[nodiscard]] viewer::EquivalentEditorPanel& TableEditor() const { return *tableEditor_; }

    // Selects a folder in the tree (raising ShellTreeView1Change); false when the tree has no
    // item for it.
    bool SelectFolder(const QString& path);
    [[nodiscard]] QString SelectedFolder() const;
    [[nodiscard]] IndicatorLook StatusPanelLook() const;
    [[nodiscard]] bool Running() const { return controller_->Active(); }
    [[nodiscard]] bool StopRequested() const { return controller_->StopRequested(); }
    [[nodiscard]] const QString& RunSummaryText() const { return presenter_->Summary(); }
    [[nodiscard]] const analysis::AnalysisResult& LastResult() const { return lastResult_; }
    [[nodiscard]] const std::filesystem::path& ProgramFolder() const { return programFolder_; }
    [[nodiscard]] char DecimalSeparator() const { return decimalSeparator_; }
    [[nodiscard]] int TreeWidth() const;
    // The settings as the controls hold them now.
    [[nodiscard]] analysis::AnalysisSettings CurrentAnalysisSettings() const;
    // Called when a run has ended and its end-of-run steps are done.
    std::function<void()> OnRunFinished;

    bool SettingsLoading = false;
    equivalence::EquivalentList EquivalentList;

    // Left panel.
    QSplitter* Splitter1 = nullptr;
    QFrame* Panel2 = nullptr;
    QTreeView* ShellTreeView1 = nullptr;
    QFileSystemModel* ShellModel = nullptr;
    QFrame* Panel6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label14 = nullptr;

    // Right area and top bar.
    QWidget* Panel1 = nullptr;
    QFrame* Panel3 = nullptr;
    QPushButton* StartAnalyzing = nullptr;
    QPushButton* StopAnalyzing = nullptr;
    QLabel* StatusPanel = nullptr;
    QCheckBox* ChB_Subs = nullptr;
    QCheckBox* Cb_Custom = nullptr;
    QLabel* Label3 = nullptr;
    QProgressBar* ProgrBarCollect = nullptr;
    QLabel* Label4 = nullptr;
    QProgressBar* ProgrBarAnalyse = nullptr;
    QCheckBox* ChB3D = nullptr;
    QComboBox* ComboBoxValue = nullptr;
    QSpinBox* SpinEdit3 = nullptr;
    QToolButton* LbSpeedButton9 = nullptr;
    QCheckBox* ChBbar = nullptr;

    // Filter panel.
    QFrame* PanelMakeModel = nullptr;
    QLabel* Label10 = nullptr;
    QLineEdit* EditMake = nullptr;
    QLineEdit* EditModel = nullptr;
    QLineEdit* MN_name_Edit = nullptr;
    QLineEdit* MN_Data_Edit = nullptr;

    // Tabs.
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QWidget* TabSheet4 = nullptr;
    QWidget* TabSheet6 = nullptr;
    QWidget* TabSheet7 = nullptr;
    QWidget* TabSheet5 = nullptr;
    QWidget* PanelOverview = nullptr;
    QFrame* Panel11 = nullptr;
    QToolButton* LbSpeedButton8 = nullptr;

    // "Lens Length" tab.
    QFrame* Panel5 = nullptr;
    QSpinBox* SpinEdit2 = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QCheckBox* ChBoxSteps = nullptr;
    QToolButton* LbSetforRealLength = nullptr;
    QFrame* MMPanel = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QCheckBox* Ch_AlwaysCalc = nullptr;

    // Bottom bars of the chart tabs.
    QFrame* Panel4 = nullptr;
    QFrame* Panel8 = nullptr;
    QFrame* Panel9 = nullptr;
    QCheckBox* ChB_Raw = nullptr;
    std::array<QToolButton*, 4> FitButtons{};   // LbSpeedButton1 to LbSpeedButton4
    std::array<QToolButton*, 4> SaveButtons{};  // LbSaveDate, LbSpeedButton5 to LbSpeedButton7

    // "Path list + Image" tab.
    QFrame* Panel7 = nullptr;
    QLabel* Image3 = nullptr;
    QLabel* Label20 = nullptr;
    QPlainTextEdit* RichEdit1 = nullptr;
    QFrame* Panel10 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QButtonGroup* RadioGroup1Buttons = nullptr;
    QCheckBox* CB_MakerNote = nullptr;
    QToolButton* Lb_SaveRichedit = nullptr;

    // "Equivalent list" tab.
    QPlainTextEdit* Memo1 = nullptr;
    QFrame* Panel12 = nullptr;

    QStatusBar* StatusBar1 = nullptr;

    // The tab a chart has to itself.
    [[nodiscard]] QWidget* OwnTab(int index) const;

    [[nodiscard]] int RadioGroup1Index() const;
    void SetRadioGroup1Index(int index);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    class KeyPreviewFilter;
    bool PreviewKey(QObject* receiver, int key);

    // Building the window (analyse_length_layout.cpp).
    void BuildWindow();
    QWidget* BuildLeftPanel();
    QFrame* BuildTopBar();
    QFrame* BuildFilterPanel();
    void BuildTabs();
    QFrame* BuildLensBar();
    QFrame* BuildChartBar(int index, QWidget* extra);
    void BuildPathListTab();
    void BuildEquivalentTab();
    void ConnectHandlers();
    void ConnectCharts();

    void CreateViewerAndEditor();
    void SetStatusPanelLook(const IndicatorLook& look);
    void ApplyIniSettings(const settings::IniSettings& values);
    [[nodiscard]] settings::IniSettings CollectIniSettings() const;
    void ShowMessage(const QString& text);
    void OpenUrl(const QUrl& url);
    [[nodiscard]] ViewStates ChartViewStates() const;
    void ApplyResetButtons(const ResetButtons& buttons);
    void UndoAllZooms();

    void CreateRunPresenter();
    // The end of a run, once its reports have been carried out.
    void RunFinished(const analysis::AnalysisResult& result);

    WindowServices services_;
    std::filesystem::path programFolder_;
    std::filesystem::path executableFolder_;
    char decimalSeparator_ = '.';
    std::unique_ptr<analysis::Collation> collation_;
    std::unique_ptr<charts::ChartSet> charts_;
    std::array<QWidget*, 4> chartHosts_{};
    std::vector<QWidget*> summaryPanels_;
    std::unique_ptr<RunPresenter> presenter_;
    std::unique_ptr<RunController> controller_;
    std::unique_ptr<viewer::PathListViewer> pathListViewer_;
    std::unique_ptr<viewer::EquivalentEditorPanel> tableEditor_;

    QString savedPath_;
    int pendingTreeWidth_ = 185;
    bool shown_ = false;
    bool closePending_ = false;
    bool closed_ = false;
    analysis::AnalysisResult lastResult_;
};

}  // namespace quorvela::ui
