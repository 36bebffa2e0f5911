// The window's life: creation, first showing, activation, closing, the settings file, help.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <exception>

#include "charts/chart_set.h"
#include "equivalence/focal_length.h"
#include "settings/program_folder.h"
#include "ui/analyse_length.h"
#include "ui/help_topics.h"
#include "ui/text_codec.h"
#include "viewer/equivalent_editor_panel.h"
#include "viewer/path_list_viewer.h"

namespace quorvela::ui {

namespace {

constexpr const char* kZoomHelp =
    "Left mouse drag (Up/Down) = zoom. Right mouse drag = pan. Invert Zoom rectangle = reset.";

QString Fixed(const QString& text, char separator) {
    return FromUtf8(equivalence::FixDecimalSeparator(ToUtf8(text), separator));
}

}  // namespace

void TAnalyseLength::FormCreate() {
    SettingsLoading = true;
    executableFolder_ = services_.ExecutableFolder.empty() ? settings::ExecutableFolder() : services_.ExecutableFolder;
    if (!services_.ProgramFolder.empty()) {
        programFolder_ = services_.ProgramFolder;
    } else {
        programFolder_ = settings::ProgramFolderFor(executableFolder_);
    }
    ReadIniFile(programFolder_ / settings::kSettingsFileName);
    EquivalentList.clear();
    try {
        equivalence::ReadEquivalentData(programFolder_ / equivalence::kTableFileName, EquivalentList,
                                        settings::SeedFileFor(executableFolder_));
    } catch (const std::exception& e) {
        ShowMessage(QString::fromLocal8Bit(e.what()));
    }
    CreateViewerAndEditor();
}

void TAnalyseLength::CreateViewerAndEditor() {
    if (pathListViewer_) return;
    pathListViewer_ =
        std::make_unique<viewer::PathListViewer>(RichEdit1, Image3, Label20, EquivalentList, decimalSeparator_);
    presenter_->SetPathListViewer(pathListViewer_.get());
    if (services_.AskSaveFile) pathListViewer_->SetAskSaveFile(services_.AskSaveFile);
    pathListViewer_->ShowError = [this](const QString& message) { ShowMessage(message); };
    viewer::EquivalentEditorPanel::Actions actions;
    actions.Saved = [this] {
        // The charts no longer match the table.
        SetReAnalyseColor();
        {
            const QSignalBlocker quiet(PageControl1);
            PageControl1->setCurrentWidget(TabSheet1);
        }
        DistributeCharts(true);
    };
    actions.Help = [this] { OpenHelpTopic(kHelpTopicCameraTable); };
    actions.ShowError = [this](const QString& message) { ShowMessage(message); };
    tableEditor_ = std::make_unique<viewer::EquivalentEditorPanel>(
        Memo1, Panel12,
        viewer::EquivalentEditor(programFolder_ / equivalence::kTableFileName,
                                 settings::SeedFileFor(executableFolder_)),
        EquivalentList, std::move(actions));
}

void TAnalyseLength::Lb_SaveRicheditClick() {
    pathListViewer_->Lb_SaveRicheditClick();
}

void TAnalyseLength::ReadIniFile(const std::filesystem::path& fileName) {
    settings::IniSettings defaults;
    defaults.Tree = TreeWidth();
    defaults.WindowTop = y();
    defaults.WindowLeft = x();
    defaults.WindowWidth = width();
    defaults.WindowHeight = height();
    ApplyIniSettings(settings::ReadIniFile(fileName, defaults));
}

void TAnalyseLength::ApplyIniSettings(const settings::IniSettings& v) {
    ChBoxSteps->setChecked(v.UseSteps);
    ChB_Subs->setChecked(v.IncludeSubfolders);
    ChB3D->setChecked(v.ThreeD);
    Ch_AlwaysCalc->setChecked(v.AlwaysCalculate);
    ChB_Raw->setChecked(v.FractionShutter);
    SetRadioGroup1Index(v.PathList);
    Edit1->setText(FromCp1252(v.RealLens));
    Edit2->setText(FromCp1252(v.Equivalent));
    EditMake->setText(FromCp1252(v.FilterMake));
    EditModel->setText(FromCp1252(v.FilterModel));
    Cb_Custom->setChecked(v.FilterOn);
    LbSetforRealLength->setChecked(v.RealLength);
    MN_name_Edit->setText(FromCp1252(v.MakerTag));
    MN_Data_Edit->setText(FromCp1252(v.MakerData));
    CB_MakerNote->setChecked(v.MakerNote);
    SpinEdit2->setValue(v.IgnoreUpTo);
    SpinEdit1->setValue(v.StepSize);
    savedPath_ = FromUtf8(v.Path);
    ComboBoxValue->setCurrentIndex(v.Labels >= 0 && v.Labels < ComboBoxValue->count() ? v.Labels : -1);
    pendingTreeWidth_ = std::max(v.Tree, kMinimumTreeWidth);
    if (shown_) Splitter1->setSizes({pendingTreeWidth_, std::max(Splitter1->width() - pendingTreeWidth_, 1)});

    switch (v.WindowState) {
        case 1: {
            setWindowState(Qt::WindowNoState);
            Bounds bounds{v.WindowLeft, v.WindowTop, v.WindowWidth, v.WindowHeight};
            if (const QScreen* screen = QGuiApplication::primaryScreen()) {
                const QRect desktop = screen->availableVirtualGeometry();
                bounds = FitOnDesktop(bounds, {desktop.x(), desktop.y(), desktop.width(), desktop.height()},
                                      minimumSizeHint().width(), minimumSizeHint().height());
            }
            move(bounds.Left, bounds.Top);
            resize(bounds.Width, bounds.Height);
            break;
        }
        case 2:
            setWindowState(Qt::WindowMinimized);
            break;
        case 3:
            setWindowState(Qt::WindowMaximized);
            break;
        default:
            break;
    }
    ChBbar->setChecked(true);  // the focal-length chart is always drawn as bars
}

void TAnalyseLength::FormShow() {
    for (QToolButton* button : SaveButtons) button->setEnabled(false);
    Lb_SaveRichedit->setEnabled(false);
    {
        const QSignalBlocker quiet(PageControl1);
        PageControl1->setCurrentWidget(TabSheet1);
    }
    PanelMakeModel->setVisible(Cb_Custom->isChecked());
    SpinEdit1->setEnabled(ChBoxSteps->isChecked());
    PageControl1Change();
    ComboBoxValueChange();
    Ch_AlwaysCalc->setToolTip(
        "Use this if the EXIF doesn't have accurate 35mm info.\rNote: All analyzed files should be from the same "
        "camera");
    if (!savedPath_.isEmpty() && QFileInfo(savedPath_).isDir()) {
        SelectFolder(savedPath_);
    } else if (const std::filesystem::path demo = settings::DemoFolderFor(executableFolder_); !demo.empty()) {
        SelectFolder(FromUtf8(demo.string()));  // a first start opens on the demo photos
    } else if (!ShellTreeView1->currentIndex().isValid()) {
        SelectFolder(QDir::homePath());  // a first start opens the tree at the user's photos' home
    }
    SettingsLoading = false;
    setButtonstate();
}

void TAnalyseLength::FormActivate() {
    const QString selected = SelectedFolder();
    if (selected.isEmpty() || !QFileInfo(selected).isDir()) StartAnalyzing->setEnabled(false);
    Edit1->setText(Fixed(Edit1->text(), decimalSeparator_));
    Edit2->setText(Fixed(Edit2->text(), decimalSeparator_));
    StatusBar1->showMessage(kZoomHelp);
    const QString separator(QChar::fromLatin1(decimalSeparator_));
    Edit1->setToolTip("Enter lens length of the digital camera For example 7" + separator +
                      "2\r\nNote: Enter 1 if you use the cropfactor in the next field\r\nSee the f number on the lens "
                      "or documentation of the camera.");
    Edit2->setToolTip("Enter equivalent for the lens length, or enter the cropfactor\r\nFor example 38 or 1" +
                      separator + "6\r\nSee documentation of the camera.");
}

void TAnalyseLength::FormClose() {
    Image3->clear();
    charts_->Clear();
    UndoAllZooms();
    RichEdit1->clear();
    if (pathListViewer_) pathListViewer_->SetLinePaths({});
    ProgrBarAnalyse->setValue(0);
    ProgrBarCollect->setValue(0);
    EquivalentList.clear();
    WriteIniFile(programFolder_ / settings::kSettingsFileName);
}

settings::IniSettings TAnalyseLength::CollectIniSettings() const {
    settings::IniSettings v;
    v.UseSteps = ChBoxSteps->isChecked();
    v.IncludeSubfolders = ChB_Subs->isChecked();
    v.ThreeD = ChB3D->isChecked();
    v.BarGraph = true;
    v.AlwaysCalculate = Ch_AlwaysCalc->isChecked();
    v.FractionShutter = ChB_Raw->isChecked();
    v.PathList = RadioGroup1Index();
    v.RealLens = ToCp1252(Edit1->text());
    v.Equivalent = ToCp1252(Edit2->text());
    v.FilterMake = ToCp1252(EditMake->text());
    v.FilterModel = ToCp1252(EditModel->text());
    v.FilterOn = Cb_Custom->isChecked();
    v.RealLength = LbSetforRealLength->isChecked();
    v.MakerTag = ToCp1252(MN_name_Edit->text());
    v.MakerData = ToCp1252(MN_Data_Edit->text());
    v.MakerNote = CB_MakerNote->isChecked();
    v.IgnoreUpTo = SpinEdit2->value();
    v.StepSize = SpinEdit1->value();
    v.Path = ToUtf8(SelectedFolder());
    v.Labels = ComboBoxValue->currentIndex();
    v.Tree = TreeWidth();
    // A maximized or minimized window keeps the bounds it returns to, so a later normal start
    // opens where the user last had it.
    const QRect bounds = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    const QPoint corner = isMaximized() || isMinimized() ? bounds.topLeft() : pos();
    v.WindowTop = corner.y();
    v.WindowLeft = corner.x();
    v.WindowWidth = bounds.width();
    v.WindowHeight = bounds.height();
    v.WindowState = isMinimized() ? 2 : isMaximized() ? 3 : 1;
    return v;
}

void TAnalyseLength::WriteIniFile(const std::filesystem::path& fileName) {
    try {
        settings::WriteIniFile(fileName, CollectIniSettings());
    } catch (const std::exception& e) {
        ShowMessage(QString::fromLocal8Bit(e.what()));  // reported; the window still closes
    }
}

void TAnalyseLength::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    // The splitter shares out its width only once it has one: the saved tree width goes in now.
    Splitter1->setSizes({pendingTreeWidth_, std::max(Splitter1->width() - pendingTreeWidth_, 1)});
    shown_ = true;
    FormShow();
}

void TAnalyseLength::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TAnalyseLength::closeEvent(QCloseEvent* event) {
    if (closed_) return;
    if (controller_->Active()) {
        // The run ends within a file; the window closes when it has finished, so the run's
        // lists and the settings are never released under it.
        closePending_ = true;
        controller_->RequestStop();
        controller_->Abandon();
        services_.Messages->DismissShowing();
        event->ignore();
        return;
    }
    FormClose();
    closed_ = true;
    event->accept();
}

void TAnalyseLength::ShowMessage(const QString& text) {
    services_.Messages->ShowMessage(text);
}

void TAnalyseLength::OpenUrl(const QUrl& url) {
    if (services_.OpenUrl) {
        services_.OpenUrl(url);
    } else {
        QDesktopServices::openUrl(url);  // a failure is not reported
    }
}

void TAnalyseLength::OpenHelpTopic(int topic) {
    const std::filesystem::path folder = FindHelpFolder(HelpFolderCandidates(executableFolder_));
    if (folder.empty()) return;
    OpenUrl(QUrl::fromLocalFile(FromUtf8((folder / HelpPageFor(topic)).string())));
}

void TAnalyseLength::LbSpeedButton9Click() {
    OpenHelpTopic(kHelpTopicProgram);
}

void TAnalyseLength::Label7Click() {
    const std::filesystem::path folder = FindHelpFolder(HelpFolderCandidates(executableFolder_));
    if (!folder.empty()) OpenUrl(QUrl::fromLocalFile(FromUtf8((folder / kHomePage).string())));
}

void TAnalyseLength::Label14Click() {
    const std::filesystem::path folder = FindHelpFolder(HelpFolderCandidates(executableFolder_));
    if (!folder.empty()) OpenUrl(QUrl::fromLocalFile(FromUtf8((folder / kSupportPage).string())));
}

}  // namespace quorvela::ui
