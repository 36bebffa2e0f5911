#pragma once

#include <array>

#include "ui/control_rules.h"
#include "ui/folder_tree.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QFileSystemModel;
class QFrame;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QToolButton;
class QWidget;

namespace quorvela::ui {

class StatusLink;

// The controls of the main window the program works with, as the layout builder made them.
// Each keeps the product's name as its object name (given after it); tests find it by that.
// The chart arrays are in chart order: focal length, ISO, aperture, shutter speed, lens.
struct WindowWidgets {
    // Left: the folder field over the folder tree, above the two links.
    QSplitter* splitter = nullptr;            // Splitter1
    QFrame* treePanel = nullptr;              // Panel2
    QLineEdit* folderEdit = nullptr;          // EditFolder: a folder typed or pasted, with completion
    FolderTree* folderTree = nullptr;         // ShellTreeView1
    QFileSystemModel* folderModel = nullptr;  // ShellModel
    QLabel* homePageLink = nullptr;           // Label7
    QLabel* donateLink = nullptr;             // Label14

    // Below the tree: whether runs keep what they read of each photo, and emptying that cache.
    QCheckBox* rememberPhotosCheck = nullptr;   // ChB_RememberPhotos
    QPushButton* forgetPhotosButton = nullptr;  // ForgetPhotos

    // Right: the top bar.
    QWidget* rightArea = nullptr;           // Panel1
    QFrame* topBar = nullptr;               // Panel3
    QPushButton* startButton = nullptr;     // StartAnalyzing
    QPushButton* stopButton = nullptr;      // StopAnalyzing
    QLabel* modeIndicator = nullptr;        // StatusPanel: the lens mode, red when a run is due
    QCheckBox* subfoldersCheck = nullptr;   // ChB_Subs
    QCheckBox* rawHeifCheck = nullptr;      // IncludeRawHeif: RAW and HEIF files too
    QCheckBox* filterCheck = nullptr;       // Cb_Custom
    QProgressBar* collectingBar = nullptr;  // ProgrBarCollect
    QProgressBar* analysingBar = nullptr;   // ProgrBarAnalyse
    QCheckBox* threeDCheck = nullptr;       // ChB3D
    QComboBox* statisticsBox = nullptr;     // ComboBoxValue
    QSpinBox* pointsPerPageSpin = nullptr;  // SpinEdit3
    QToolButton* helpButton = nullptr;      // LbSpeedButton9
    QCheckBox* barGraphCheck = nullptr;     // ChBbar, hidden: the charts are always bars

    // The filter panel below it.
    QFrame* filterPanel = nullptr;            // PanelMakeModel
    QLabel* filterIntro = nullptr;            // Label10
    QLineEdit* makeEdit = nullptr;            // EditMake
    QLineEdit* modelEdit = nullptr;           // EditModel
    QLineEdit* lensEdit = nullptr;            // EditLens
    QCheckBox* fromCheck = nullptr;           // ChB_PeriodFrom: the period has a first day
    QDateEdit* fromDate = nullptr;            // PeriodFrom
    QSpinBox* minRatingSpin = nullptr;        // SpinMinRating: at least this many stars; 0 any
    QCheckBox* noRejectedCheck = nullptr;     // ChB_NoRejected: photos rated as rejected left out
    QLineEdit* labelEdit = nullptr;           // EditLabel: part of the colour label
    QCheckBox* toCheck = nullptr;             // ChB_PeriodTo: the period has a last day
    QDateEdit* toDate = nullptr;              // PeriodTo
    QLineEdit* makerNoteLabelEdit = nullptr;  // MN_name_Edit
    QLineEdit* makerNoteDataEdit = nullptr;   // MN_Data_Edit

    // The tabs.
    QTabWidget* tabs = nullptr;         // PageControl1
    QWidget* overviewTab = nullptr;     // TabSheet1
    PerQuantity<QWidget*> chartTabs{};  // TabSheet2, TabSheet3, TabSheet4, TabSheet6, TabSheetLens, TabSheetRating
    QWidget* pathListTab = nullptr;     // TabSheet7
    QWidget* tableTab = nullptr;        // TabSheet5
    QWidget* overviewPanel = nullptr;   // PanelOverview: the 2 x 2 grid's place
    QFrame* overviewBar = nullptr;      // Panel11
    QToolButton* resetZoomsButton = nullptr;  // LbSpeedButton8
    // A chart's place on its tab: ChartHost5 to ChartHost8, ChartHostLens.
    PerQuantity<QWidget*> chartHosts{};
    PerQuantity<QFrame*> chartBars{};  // Panel5, Panel4, Panel8, Panel9, PanelLens
    // LbSpeedButton1 to LbSpeedButton4, LbFitLens.
    PerQuantity<QToolButton*> fitButtons{};
    // LbSaveDate, LbSpeedButton5 to LbSpeedButton7, LbSaveLens.
    PerQuantity<QToolButton*> saveButtons{};

    // The "Lens" tab: the lens chart's place beside the focal lengths of the selected lens, under
    // the sentence on its use, and whether the lenses without a name have bars.
    QSplitter* lensSplitter = nullptr;        // SplitterLens
    QLabel* lensUseText = nullptr;            // LabelLensUse
    QWidget* lensFocalHost = nullptr;         // ChartHostLensFocal
    QCheckBox* unnamedLensesCheck = nullptr;  // ChB_UnnamedLenses

    // Coverage of a focal-length range, on the "Lens Length" tab, its sentence on the overview too.
    QLineEdit* coverageEdit = nullptr;       // EditCoverage
    QLabel* coverageText = nullptr;          // LabelCoverage
    QLabel* overviewCoverageText = nullptr;  // LabelCoverageOverview

    // The "Lens Length" tab's bar and the "Shutter Speed" tab's option.
    QSpinBox* ignoreSpin = nullptr;             // SpinEdit2
    QSpinBox* stepSpin = nullptr;               // SpinEdit1
    QCheckBox* stepsCheck = nullptr;            // ChBoxSteps
    QToolButton* realLengthButton = nullptr;    // LbSetforRealLength
    QFrame* manualFactorPanel = nullptr;        // MMPanel
    QLineEdit* lensLengthEdit = nullptr;        // Edit1
    QLineEdit* equivalentEdit = nullptr;        // Edit2
    QCheckBox* alwaysCalculateCheck = nullptr;  // Ch_AlwaysCalc
    QCheckBox* fractionShutterCheck = nullptr;  // ChB_Raw

    // The "Path list + Image" tab.
    QFrame* previewPanel = nullptr;             // Panel7
    QLabel* preview = nullptr;                  // Image3
    QLabel* previewText = nullptr;              // Label20
    QLabel* pathListHeading = nullptr;          // LabelPathListHeading: a bar's photos, with "Show all"
    QPlainTextEdit* pathList = nullptr;         // RichEdit1
    QFrame* pathListBar = nullptr;              // Panel10
    QButtonGroup* pathListQuantity = nullptr;   // RadioGroup1Buttons, the buttons of RadioGroup1
    QCheckBox* makerNoteCheck = nullptr;        // CB_MakerNote
    QToolButton* savePathListButton = nullptr;  // Lb_SaveRichedit

    // The "Equivalent list" tab.
    QPlainTextEdit* tableText = nullptr;  // Memo1
    QFrame* tableBar = nullptr;           // Panel12

    QStatusBar* statusBar = nullptr;  // StatusBar1
    // EstimateLink: at the status bar's right, beside its messages, the last run's photos
    // estimated with the manual factor, a link to set their cameras' crop factors; hidden
    // without any.
    StatusLink* estimateLink = nullptr;
};

// Builds the window's regions, tabs and controls with their captions, hints and starting
// states into `window`, and returns the controls it made.
WindowWidgets BuildWindowLayout(QMainWindow& window);

// The re-analysis indicator's colours.
void SetIndicatorLook(QLabel* indicator, const IndicatorLook& look);
IndicatorLook IndicatorLookOf(const QLabel* indicator);

}  // namespace quorvela::ui
