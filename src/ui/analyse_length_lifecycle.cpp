// The window's life: creation, first showing, activation, closing, the settings file, help.
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <exception>

#include "equivalence/focal_length.h"
#include "settings/program_folder.h"
#include "ui/analyse_length.h"
#include "ui/answer_panel.h"
#include "ui/chart_panel.h"
#include "ui/help_topics.h"
#include "ui/run_controller.h"
#include "ui/run_presenter.h"
#include "ui/settings_binder.h"
#include "ui/text_codec.h"
#include "viewer/equivalent_editor_panel.h"
#include "viewer/path_list_viewer.h"

namespace quorvela::ui {

namespace {

// Where the user's photos are: the Pictures folder, else home.
QString PicturesFolder() {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return !pictures.isEmpty() && QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

QString Fixed(const QString& text, char separator) {
    return FromUtf8(equivalence::FixDecimalSeparator(ToUtf8(text), separator));
}

}  // namespace

void TAnalyseLength::FormCreate() {
    settingsLoading_ = true;
    executableFolder_ = services_.ExecutableFolder.empty() ? settings::ExecutableFolder() : services_.ExecutableFolder;
    if (!services_.ProgramFolder.empty()) {
        programFolder_ = services_.ProgramFolder;
    } else {
        programFolder_ = settings::ProgramFolderFor(executableFolder_);
    }
    ReadIniFile(programFolder_ / settings::kSettingsFileName);
    equivalentList_.clear();
    try {
        equivalence::ReadEquivalentData(programFolder_ / equivalence::kTableFileName, equivalentList_,
                                        settings::SeedFileFor(executableFolder_));
    } catch (const std::exception& e) {
        ShowMessage(QString::fromLocal8Bit(e.what()));
    }
    CreateViewerAndEditor();
}

void TAnalyseLength::CreateViewerAndEditor() {
    if (pathListViewer_) return;
    pathListViewer_ = std::make_unique<viewer::PathListViewer>(ui_.pathList, ui_.preview, ui_.previewText,
                                                               equivalentList_, decimalSeparator_);
    presenter_->SetPathListViewer(pathListViewer_.get());
    pathListViewer_->SetHeading(ui_.pathListHeading);
    answers_->SetPathListViewer(pathListViewer_.get());
    pathListViewer_->SetAskSaveFile([this](const QString& name, const QString& filter) {
        const QString proposed = InSaveFolder(name);
        return services_.AskSaveFile ? services_.AskSaveFile(proposed, filter)
                                     : viewer::AskSaveTextFile(this, proposed, filter);
    });
    pathListViewer_->ShowError = [this](const QString& message) { ShowMessage(message); };
    viewer::EquivalentEditorPanel::Actions actions;
    actions.Saved = [this] {
        // The charts no longer match the table.
        SetReAnalyseColor();
        charts_->ShowOverview();
    };
    actions.Help = [this] { OpenHelpTopic(kHelpTopicCameraTable); };
    actions.ShowError = [this](const QString& message) { ShowMessage(message); };
    tableEditor_ = std::make_unique<viewer::EquivalentEditorPanel>(
        ui_.tableText, ui_.tableBar,
        viewer::EquivalentEditor(programFolder_ / equivalence::kTableFileName,
                                 settings::SeedFileFor(executableFolder_)),
        equivalentList_, std::move(actions));
    tableEditor_->AskSaveEdits = services_.AskSaveEdits;
}

void TAnalyseLength::ReadIniFile(const std::filesystem::path& fileName) {
    settings::IniSettings defaults;
    defaults.Tree = TreeWidth();
    defaults.WindowTop = y();
    defaults.WindowLeft = x();
    defaults.WindowWidth = width();
    defaults.WindowHeight = height();
    settings_->Apply(settings::ReadIniFile(fileName, defaults));
}

void TAnalyseLength::FormShow() {
    charts_->EnableSaving(false);
    ui_.savePathListButton->setEnabled(false);
    {
        const QSignalBlocker quiet(ui_.tabs);
        ui_.tabs->setCurrentWidget(ui_.overviewTab);
    }
    ui_.filterPanel->setVisible(ui_.filterCheck->isChecked());
    ui_.stepSpin->setEnabled(ui_.stepsCheck->isChecked());
    PageControl1Change();
    charts_->ApplyStatistics();
    ui_.alwaysCalculateCheck->setToolTip(
        "Use this if the EXIF doesn't have accurate 35mm info.\nNote: All analyzed files should be from the same "
        "camera");
    SelectStartFolder();
    settingsLoading_ = false;
    setButtonstate();
}

void TAnalyseLength::SelectStartFolder() {
    const QString& given = services_.StartFolder;
    if (!given.isEmpty()) {
        const QString folder = QFileInfo(given).absoluteFilePath();
        if (QFileInfo(folder).isDir() && SelectFolder(folder)) {
            // Analysed once the window has shown, so the run's progress is seen.
            QTimer::singleShot(0, this, [this] { StartAnalyzingClick(); });
            return;
        }
        ShowMessage("There is no folder " + QDir::toNativeSeparators(given) + ".");
    }
    const QString& saved = settings_->SavedFolder();
    if (!saved.isEmpty() && QFileInfo(saved).isDir()) {
        SelectFolder(saved);
    } else if (const std::filesystem::path demo = settings::DemoFolderFor(executableFolder_); !demo.empty()) {
        // A first start opens on the demo photos, analysed, so that the charts show at once.
        SelectFolder(FromUtf8(demo.string()));
        if (services_.AnalyseFirstStart) QTimer::singleShot(0, this, [this] { StartAnalyzingClick(); });
    } else if (!ui_.folderTree->currentIndex().isValid()) {
        SelectFolder(PicturesFolder());
    }
}

void TAnalyseLength::FormActivate() {
    const QString selected = SelectedFolder();
    if (selected.isEmpty() || !QFileInfo(selected).isDir()) ui_.startButton->setEnabled(false);
    QLineEdit* lensLength = ui_.lensLengthEdit;
    QLineEdit* equivalent = ui_.equivalentEdit;
    lensLength->setText(Fixed(lensLength->text(), decimalSeparator_));
    equivalent->setText(Fixed(equivalent->text(), decimalSeparator_));
    // Coming back from a message box leaves the run's count in place; the hint is for a fresh start.
    if (ui_.statusBar->currentMessage().isEmpty()) ui_.statusBar->showMessage(kZoomHelp);
    const QString separator(QChar::fromLatin1(decimalSeparator_));
    lensLength->setToolTip("Enter lens length of the digital camera, for example 7" + separator +
                           "2\nNote: Enter 1 if you use the crop factor in the next field\nSee the f number on the "
                           "lens or documentation of the camera.");
    equivalent->setToolTip("Enter the 35mm equivalent of the lens length, or the crop factor\nFor example 38 or 1" +
                           separator + "6\nSee the documentation of the camera.");
}

void TAnalyseLength::FormClose() {
    ui_.preview->clear();
    charts_->Clear();
    ui_.pathList->clear();
    if (pathListViewer_) pathListViewer_->SetLinePaths({});
    ui_.analysingBar->setValue(0);
    ui_.collectingBar->setValue(0);
    equivalentList_.clear();
    WriteIniFile(programFolder_ / settings::kSettingsFileName);
}

void TAnalyseLength::WriteIniFile(const std::filesystem::path& fileName) {
    try {
        settings::WriteIniFile(fileName, settings_->Collect());
    } catch (const std::exception& e) {
        ShowMessage(QString::fromLocal8Bit(e.what()));  // reported; the window still closes
    }
}

void TAnalyseLength::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    // The splitter shares out its width only once it has one: the saved tree width goes in now.
    settings_->LayInTreeWidth();
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
    const bool opened = services_.OpenUrl ? services_.OpenUrl(url) : QDesktopServices::openUrl(url);
    if (opened) return;
    // A desktop without a browser: the help pages are plain HTML the program can show itself.
    if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile()) {
        ShowHelpInside(url);
        return;
    }
    ShowMessage("Unable to open " + url.toString() + "\nOpen it in a web browser.");
}

void TAnalyseLength::ShowHelpInside(const QUrl& url) {
    if (helpBrowser_.isNull()) {
        auto* dialog = new QDialog(this);
        dialog->setObjectName("HelpBrowser");
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setWindowTitle(QApplication::applicationName() + " help");
        auto* layout = new QVBoxLayout(dialog);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* text = new QTextBrowser(dialog);
        text->setObjectName("HelpText");
        // Pages of the help open inside; links to the web go to whatever the desktop has.
        text->setOpenExternalLinks(true);
        layout->addWidget(text);
        dialog->resize(760, 620);
        helpBrowser_ = dialog;
    }
    helpBrowser_->findChild<QTextBrowser*>("HelpText")->setSource(url);
    helpBrowser_->show();
    helpBrowser_->raise();
    helpBrowser_->activateWindow();
}

void TAnalyseLength::OpenHelpPage(std::string_view page) {
    const std::filesystem::path folder = FindHelpFolder(HelpFolderCandidates(executableFolder_));
    if (!folder.empty()) OpenUrl(QUrl::fromLocalFile(FromUtf8((folder / page).string())));
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
    OpenHelpPage(kHomePage);
}

void TAnalyseLength::Label14Click() {
    OpenHelpPage(kSupportPage);
}

}  // namespace quorvela::ui
