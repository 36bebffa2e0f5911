#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "analysis/analysis_run.h"
#include "equivalence/equivalent_table.h"
#include "ui/control_rules.h"
#include "ui/messages.h"
#include "ui/window_layout.h"
#include "viewer/equivalent_editor.h"

namespace quorvela::viewer {
class EquivalentEditorPanel;
class PathListViewer;
}  // namespace quorvela::viewer

namespace quorvela::ui {

class AnswerPanel;
class ChartPanel;
class LensPanel;
class RunController;
class RunPresenter;
class SettingsBinder;

// What the window takes from its surroundings; tests give their own.
struct WindowServices {
    // Holds vintrop.ini, cam_equiv.txt and vt_debug.txt; by default the program's folder, or
    // the per-user configuration folder when that is not writable.
    std::filesystem::path ProgramFolder;
    // Where cam_equiv.exp and the help are looked for; by default the program's folder.
    std::filesystem::path ExecutableFolder;
    // Modal message boxes by default.
    std::shared_ptr<MessageSink> Messages;
    // Opens a help page or link; false when nothing could show it. The desktop's browser by
    // default.
    std::function<bool(const QUrl&)> OpenUrl;
    // The decimal separator; the user's locale's by default.
    char DecimalSeparator = 0;
    // The save-file dialog for chart images and the path list: the chosen file, or empty when
    // cancelled. It is offered the file's name in the folder it should open in. The platform's
    // dialog by default.
    std::function<QString(const QString& proposedPath, const QString& filter)> AskSaveFile;
    // Asked when the camera-table editor is closed with unsaved edits; a box with Save, Discard
    // and Cancel by default.
    std::function<viewer::UnsavedEdits()> AskSaveEdits;
    // Called on the run's thread wherever the run services events; none by default. Tests
    // pace runs with it, so that a stop reliably lands in the middle of one.
    std::function<void()> RunServicePoint;
    // The photo cache runs use while "Remember photos between runs" is on; DefaultCacheFile()
    // by default.
    std::filesystem::path CacheFile;
    // Asked before the remembered photos are forgotten; a Yes/No box by default.
    std::function<bool()> AskForgetPhotos;
    // The folder named on the command line: selected and analysed once the window shows.
    QString StartFolder;
    // Whether a first start (no folder saved) analyses the demo photos it opens on, so the
    // charts show at once: the program's own start does; tests and tools start their own runs.
    bool AnalyseFirstStart = false;
};

// The one main window: the folder tree, the run controls, the usage charts, the path list.
// The window is wiring: its controls are built by window_layout.h (each named as the product
// names it, which is how tests find them), the charts are ChartPanel's, the settings file's
// values SettingsBinder's, a run's reports RunPresenter's, and which control shows what follows
// control_rules.h. Handlers keep the names of the control and event they serve.
class TAnalyseLength final : public QMainWindow {
  public:
    explicit TAnalyseLength(WindowServices services = {});
    ~TAnalyseLength() override;

    // Life cycle: created (and the settings read) by the constructor, shown, activated, closed.
    void FormActivate();
    void OpenHelpTopic(int topic);

    // The handlers tests and tools drive directly.
    void StartAnalyzingClick();
    void StopAnalyzingClick();
    void ForgetPhotosClick();
    // The status bar's link to the last run's estimated photos: the crop-factor dialog
    // ("CropFactorDialog"), whose OK keeps the factors in the camera table and analyses again.
    void EstimateLinkClick();
    void FormKeyDown(int key);
    void FormResize();
    void Splitter1Moved();
    void ChartDblClick(Quantity quantity);  // a double-click on chart `quantity`
    // A click on a bar of chart `quantity`, or Enter on it: the path list with that bar's photos.
    void ChartPointChosen(Quantity quantity, int point);
    void Chart1MouseMove();             // the mouse over any chart
    void FitChart(Quantity quantity);   // "Fit graph" under chart `quantity`
    void SaveChart(Quantity quantity);  // "Save graph as bmp" under chart `quantity`

    // Selects a folder in the tree (raising ShellTreeView1Change); false when the tree has no
    // item for it.
    bool SelectFolder(const QString& path);
    [[nodiscard]] QString SelectedFolder() const;
    [[nodiscard]] IndicatorLook StatusPanelLook() const;
    [[nodiscard]] bool Running() const;
    [[nodiscard]] bool StopRequested() const;
    [[nodiscard]] const QString& RunSummaryText() const;
    [[nodiscard]] const analysis::AnalysisResult& LastResult() const { return lastResult_; }
    [[nodiscard]] int TreeWidth() const;
    // The settings as the controls hold them now.
    [[nodiscard]] analysis::AnalysisSettings CurrentAnalysisSettings() const;
    // The camera table in force.
    [[nodiscard]] const equivalence::EquivalentList& CameraTable() const { return equivalentList_; }
    // The path-list viewer: which line's photo is shown.
    [[nodiscard]] const viewer::PathListViewer& PathListView() const { return *pathListViewer_; }
    // The line under a saved chart: the last run's folder, mode, filter, coverage and photos, and
    // today's date.
    [[nodiscard]] QString ChartCaptionText() const;
    // Called when a run has ended and its end-of-run steps are done.
    std::function<void()> OnRunFinished;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    class KeyPreviewFilter;

    // Wiring (analyse_length.cpp).
    void CreateParts();
    void ConnectHandlers();
    void ConnectRunOptions();
    bool PreviewKey(QObject* receiver, int key);

    // Life cycle and settings (analyse_length_lifecycle.cpp).
    void FormCreate();
    void CreateViewerAndEditor();
    void ReadIniFile(const std::filesystem::path& fileName);
    void FormShow();
    void SelectStartFolder();
    void FormClose();
    void WriteIniFile(const std::filesystem::path& fileName);
    void ShowMessage(const QString& text);
    void OpenUrl(const QUrl& url);
    // A help page in the program's own browser ("HelpBrowser"), for a desktop without one.
    void ShowHelpInside(const QUrl& url);
    void OpenHelpPage(std::string_view page);
    void LbSpeedButton9Click();
    void Label7Click();
    void Label14Click();

    // Control states (analyse_length.cpp).
    void setButtonstate();
    void SetReAnalyseColor();
    void SetStatusPanelLook(const IndicatorLook& look);
    void LbSetforRealLengthClick();
    void StatusPanelDblClick();
    void ChBoxStepsClick();
    void Cb_CustomClick();
    void ShellTreeView1Change();
    // A folder typed or pasted into "EditFolder" and confirmed with Enter.
    void EditFolderReturn();
    void FollowSelectedFolder(const QString& loaded);
    void KeepSelectedFolderInView();
    // Returns whether the typed character is kept.
    bool Edit1KeyPress(QChar key);
    void Panel1MouseMove();
    void PageControl1Change();
    void Lb_SaveRicheditClick();
    // Whether the tree's selection is a folder a run can start in.
    [[nodiscard]] bool FolderChosen() const;
    // Where the save dialogs open: the analysed folder, else the user's pictures.
    [[nodiscard]] QString InSaveFolder(const QString& fileName) const;

    // The run (analyse_length_run.cpp).
    void RunFinished(const analysis::AnalysisResult& result);

    WindowServices services_;
    std::filesystem::path programFolder_;
    std::filesystem::path executableFolder_;
    char decimalSeparator_ = '.';
    std::unique_ptr<library::Collation> collation_;
    equivalence::EquivalentList equivalentList_;

    WindowWidgets ui_;
    std::vector<QWidget*> summaryPanels_;
    std::unique_ptr<ChartPanel> charts_;
    std::unique_ptr<AnswerPanel> answers_;
    std::unique_ptr<LensPanel> lenses_;
    std::unique_ptr<SettingsBinder> settings_;
    std::unique_ptr<RunPresenter> presenter_;
    std::unique_ptr<RunController> controller_;
    std::unique_ptr<viewer::PathListViewer> pathListViewer_;
    std::unique_ptr<viewer::EquivalentEditorPanel> tableEditor_;
    QPointer<QWidget> helpBrowser_;

    bool settingsLoading_ = false;
    bool shown_ = false;
    // The tree keeps the folder chosen by SelectFolder in view while rows load and sort in
    // above it, until the user scrolls, clicks or types in it.
    bool followSelected_ = false;
    bool selectionRemoved_ = false;  // the selected folder's row, or a row above it, is going
    bool closePending_ = false;
    bool chartsShown_ = false;  // a run has put its charts up
    bool closed_ = false;
    analysis::AnalysisResult lastResult_;
    analysis::AnalysisSettings lastSettings_;  // what the last run was started with
};

}  // namespace quorvela::ui
