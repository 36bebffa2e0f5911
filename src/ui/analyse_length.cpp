// The window's creation, its event wiring, and the rules by which its controls change together.
#include "ui/analyse_length.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>
#include <utility>

#include "analysis/run_messages.h"
#include "common/version.h"
#include "library/photo_cache.h"
#include "ui/answer_panel.h"
#include "ui/chart_panel.h"
#include "ui/help_topics.h"
#include "ui/lens_panel.h"
#include "ui/run_controller.h"
#include "ui/run_presenter.h"
#include "ui/settings_binder.h"
#include "ui/status_link.h"
#include "viewer/equivalent_editor_panel.h"
#include "viewer/path_list_viewer.h"

namespace quorvela::ui {

namespace {

constexpr int kWindowWidth = 855;
constexpr int kWindowHeight = 571;

char LocaleDecimalSeparator() {
    return QLocale().decimalPoint() == QLatin1String(",") ? ',' : '.';
}

}  // namespace

// Sees every key before the control that has the focus, as the window's key preview.
class TAnalyseLength::KeyPreviewFilter final : public QObject {
  public:
    explicit KeyPreviewFilter(TAnalyseLength* window) : QObject(window), window_(window) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        return window_->PreviewKey(watched, static_cast<QKeyEvent*>(event)->key());
    }

  private:
    TAnalyseLength* window_;
};

TAnalyseLength::TAnalyseLength(WindowServices services) : services_(std::move(services)) {
    setObjectName("AnalyseLength");
    decimalSeparator_ = services_.DecimalSeparator != 0 ? services_.DecimalSeparator : LocaleDecimalSeparator();
    collation_ = std::make_unique<library::Collation>(library::CollationLocaleFromEnvironment());
    if (!services_.Messages) services_.Messages = std::make_shared<MessageBoxSink>(this);
    if (services_.CacheFile.empty()) services_.CacheFile = library::DefaultCacheFile();
    if (!services_.AskForgetPhotos) {
        services_.AskForgetPhotos = [this] {
            return AskYesNo(this, "Forget every remembered photo? The next run reads every photo again.");
        };
    }

    ui_ = BuildWindowLayout(*this);
    CreateParts();
    setWindowTitle(QString("Quorvela - version ") + common::kVersion);
    resize(kWindowWidth, kWindowHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    ConnectHandlers();
    FormCreate();
}

TAnalyseLength::~TAnalyseLength() {
    controller_.reset();      // stops and waits for a run before the controls go
    pathListViewer_.reset();  // waits for a preview being decoded
    presenter_->RestoreCursor();
}

// The parts the window delegates to, each over the controls it serves.
void TAnalyseLength::CreateParts() {
    charts_ = std::make_unique<ChartPanel>(this, ui_, decimalSeparator_, services_.AskSaveFile,
                                           [this](const QString& name) { return InSaveFolder(name); });
    answers_ = std::make_unique<AnswerPanel>(ui_, *charts_, *collation_);
    lenses_ = std::make_unique<LensPanel>(ui_, *charts_, *answers_);
    charts_->OnPointChosen = [this](Quantity quantity, int point) { ChartPointChosen(quantity, point); };
    charts_->Caption = [this] { return ChartCaptionText(); };
    charts_->OnPointSelected = [this](Quantity quantity, int point) {
        if (quantity == Quantity::Lens) lenses_->LensSelected(point);
    };
    RunPresenter::Actions actions;
    actions.ShowMessage = [this](const QString& text) { ShowMessage(text); };
    actions.ChartsCurrent = [this](bool current) {
        if (current) {
            SetStatusPanelLook(kIndicatorCurrent);
        } else {
            SetReAnalyseColor();  // a stopped run leaves the charts incomplete
        }
    };
    actions.CanStart = [this] { return FolderChosen(); };
    actions.ServicePoint = services_.RunServicePoint;
    presenter_ = std::make_unique<RunPresenter>(*this, ui_, *charts_, std::move(actions));
    presenter_->SetAnswers(answers_.get());
    presenter_->SetLenses(lenses_.get());
    controller_ = std::make_unique<RunController>(
        this, *presenter_, [this](const analysis::AnalysisResult& result) { RunFinished(result); });
    SettingsBinder::Hooks hooks;
    hooks.SelectedFolder = [this] { return SelectedFolder(); };
    hooks.PathListCleared = [this] { SetReAnalyseColor(); };
    settings_ = std::make_unique<SettingsBinder>(*this, ui_, std::move(hooks));
}

void TAnalyseLength::ConnectHandlers() {
    // The model lists folders as they load, so rows appear above a folder selected at start
    // after it was scrolled to: the view follows it while the folders on its way load.
    connect(ui_.folderModel, &QFileSystemModel::directoryLoaded, this,
            [this](const QString& loaded) { FollowSelectedFolder(loaded); });
    // The model sorts a listed folder later, moving rows after the folder was scrolled to; the
    // view lays them out first, then the selected one is brought back into view.
    connect(
        ui_.folderModel, &QAbstractItemModel::layoutChanged, this, [this] { KeepSelectedFolderInView(); },
        Qt::QueuedConnection);
    connect(
        ui_.folderModel, &QAbstractItemModel::rowsInserted, this, [this] { KeepSelectedFolderInView(); },
        Qt::QueuedConnection);
    connect(ui_.folderTree->verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this] { followSelected_ = false; });
    // A folder deleted while selected leaves no folder selected: the view would make another
    // folder current, and Start would analyse a folder the user never chose.
    ui_.folderTree->CurrentRemoved = [this] { selectionRemoved_ = true; };
    connect(ui_.folderModel, &QAbstractItemModel::rowsRemoved, this, [this] {
        if (!std::exchange(selectionRemoved_, false)) return;
        ui_.folderTree->selectionModel()->clear();
        ui_.statusBar->showMessage(QString::fromUtf8(analysis::kNoFolderSelected.data(),
                                                     static_cast<qsizetype>(analysis::kNoFolderSelected.size())));
    });
    // Key preview: Esc and F1 work whichever control has the focus.
    qApp->installEventFilter(new KeyPreviewFilter(this));
    for (QObject* watched : std::initializer_list<QObject*>{ui_.modeIndicator, ui_.lensLengthEdit, ui_.equivalentEdit,
                                                            ui_.overviewPanel, ui_.homePageLink, ui_.donateLink,
                                                            ui_.folderTree, ui_.folderTree->viewport()}) {
        watched->installEventFilter(this);
    }
    // The panels over which the mouse brings back the run's summary.
    summaryPanels_ = {ui_.topBar, ui_.overviewBar, ui_.pathListBar, ui_.tableBar, ui_.filterIntro};
    summaryPanels_.insert(summaryPanels_.end(), ui_.chartBars.begin(), ui_.chartBars.end());
    for (QWidget* panel : summaryPanels_) {
        panel->setMouseTracking(true);
        panel->installEventFilter(this);
    }
    ConnectRunOptions();
    connect(ui_.estimateLink, &QLabel::linkActivated, this, [this] { EstimateLinkClick(); });
    connect(ui_.realLengthButton, &QToolButton::toggled, this, [this] { LbSetforRealLengthClick(); });
    connect(ui_.stepsCheck, &QCheckBox::toggled, this, [this] { ChBoxStepsClick(); });
    connect(ui_.filterCheck, &QCheckBox::toggled, this, [this] { Cb_CustomClick(); });
    connect(ui_.folderTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { ShellTreeView1Change(); });

    connect(ui_.folderEdit, &QLineEdit::returnPressed, this, [this] { EditFolderReturn(); });
    connect(ui_.startButton, &QPushButton::clicked, this, [this] { StartAnalyzingClick(); });
    connect(ui_.stopButton, &QPushButton::clicked, this, [this] { StopAnalyzingClick(); });
    connect(ui_.helpButton, &QToolButton::clicked, this, [this] { LbSpeedButton9Click(); });
    connect(ui_.savePathListButton, &QToolButton::clicked, this, [this] { Lb_SaveRicheditClick(); });
    connect(ui_.forgetPhotosButton, &QPushButton::clicked, this, [this] { ForgetPhotosClick(); });
    connect(ui_.tabs, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
    connect(ui_.splitter, &QSplitter::splitterMoved, this, [this] { Splitter1Moved(); });
}

// Changes that make the charts out of date.
void TAnalyseLength::ConnectRunOptions() {
    for (QCheckBox* box : {ui_.subfoldersCheck, ui_.rawHeifCheck, ui_.alwaysCalculateCheck, ui_.fractionShutterCheck}) {
        connect(box, &QCheckBox::toggled, this, [this] { SetReAnalyseColor(); });
    }
    connect(ui_.pathListQuantity, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) SetReAnalyseColor();
    });
    for (QCheckBox* box : {ui_.fromCheck, ui_.toCheck}) {
        connect(box, &QCheckBox::toggled, this, [this] { SetReAnalyseColor(); });
    }
    for (QDateEdit* date : {ui_.fromDate, ui_.toDate}) {
        connect(date, &QDateEdit::dateChanged, this, [this] { SetReAnalyseColor(); });
    }
    for (QSpinBox* spin : {ui_.stepSpin, ui_.ignoreSpin}) {
        connect(spin, &QSpinBox::valueChanged, this, [this] { SetReAnalyseColor(); });
    }
    for (QLineEdit* edit : {ui_.makeEdit, ui_.modelEdit, ui_.lensEdit, ui_.labelEdit}) {
        connect(edit, &QLineEdit::textChanged, this, [this] { SetReAnalyseColor(); });
    }
    connect(ui_.minRatingSpin, &QSpinBox::valueChanged, this, [this] { SetReAnalyseColor(); });
    connect(ui_.noRejectedCheck, &QCheckBox::toggled, this, [this] { SetReAnalyseColor(); });
}

bool TAnalyseLength::PreviewKey(QObject* receiver, int key) {
    // The first delivery only (to the focused control, or to the window when none has focus);
    // a key the control passes on to its parents comes by again.
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (widget == nullptr || widget->window() != this) return false;
    if (receiver != QApplication::focusObject() && widget != this) return false;
    if (key == Qt::Key_F1) {
        OpenHelpTopic(kHelpTopicProgram);
        return true;
    }
    FormKeyDown(key);
    return false;
}

bool TAnalyseLength::Edit1KeyPress(QChar key) {
    const bool keep = KeepDecimalKey(key.unicode(), decimalSeparator_);
    SetReAnalyseColor();
    return keep;
}

bool TAnalyseLength::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress && (watched == ui_.lensLengthEdit || watched == ui_.equivalentEdit)) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        // Moving on with Tab is no edit.
        if (!text.isEmpty() && text.at(0) != QChar('\t') && !Edit1KeyPress(text.at(0))) return true;
    } else if (watched == ui_.modeIndicator && type == QEvent::MouseButtonDblClick) {
        StatusPanelDblClick();
        return true;
    } else if (watched == ui_.overviewPanel && type == QEvent::Resize) {
        FormResize();
    } else if (type == QEvent::MouseButtonRelease && watched == ui_.homePageLink) {
        Label7Click();
        return true;
    } else if (type == QEvent::MouseButtonRelease && watched == ui_.donateLink) {
        Label14Click();
        return true;
    } else if ((watched == ui_.folderTree->viewport() && (type == QEvent::MouseButtonPress || type == QEvent::Wheel)) ||
               (watched == ui_.folderTree && type == QEvent::KeyPress)) {
        followSelected_ = false;  // the user takes the tree over: it stays still under the mouse
    } else if (type == QEvent::MouseMove &&
               std::find(summaryPanels_.begin(), summaryPanels_.end(), watched) != summaryPanels_.end()) {
        Panel1MouseMove();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TAnalyseLength::SetStatusPanelLook(const IndicatorLook& look) {
    SetIndicatorLook(ui_.modeIndicator, look);
}

IndicatorLook TAnalyseLength::StatusPanelLook() const {
    return IndicatorLookOf(ui_.modeIndicator);
}

void TAnalyseLength::setButtonstate() {
    const ModeDisplay display = DisplayFor({ui_.realLengthButton->isChecked(), ui_.alwaysCalculateCheck->isChecked()});
    ui_.modeIndicator->setText(
        QString::fromUtf8(display.Caption.data(), static_cast<qsizetype>(display.Caption.size())));
    ui_.manualFactorPanel->setVisible(display.ManualFactorVisible);
    SetStatusPanelLook(kIndicatorNeeded);
}

void TAnalyseLength::SetReAnalyseColor() {
    setButtonstate();
    // The red box alone is easy to miss: the status line says it, once there are charts to update.
    if (!settingsLoading_ && chartsShown_ && !controller_->Active()) ui_.statusBar->showMessage(kSettingsChanged);
}

void TAnalyseLength::LbSetforRealLengthClick() {
    SetReAnalyseColor();
}

void TAnalyseLength::StatusPanelDblClick() {
    const std::string caption = ui_.modeIndicator->text().toStdString();
    if (const std::optional<LensMode> next = NextMode(caption)) {
        ui_.realLengthButton->setChecked(next->RealLength);
        ui_.alwaysCalculateCheck->setChecked(next->AlwaysCalculate);
    }
    SetReAnalyseColor();
    QWidget* lensLength = ui_.chartTabs[Quantity::FocalLength];
    if (ui_.tabs->currentWidget() != lensLength) {
        const QSignalBlocker quiet(ui_.tabs);
        ui_.tabs->setCurrentWidget(lensLength);
        PageControl1Change();
    }
}

void TAnalyseLength::ChBoxStepsClick() {
    if (settingsLoading_) return;
    SetReAnalyseColor();
    ui_.stepSpin->setEnabled(ui_.stepsCheck->isChecked());
}

void TAnalyseLength::Cb_CustomClick() {
    ui_.filterPanel->setVisible(ui_.filterCheck->isChecked());
    // The tab area takes the new height at once, so the grid is laid out for it.
    if (ui_.rightArea->layout() != nullptr) ui_.rightArea->layout()->activate();
    FormResize();
    SetReAnalyseColor();
}

void TAnalyseLength::ShellTreeView1Change() {
    // The field shows the folder chosen, ready to be copied or edited; not while it is typed in.
    if (!ui_.folderEdit->hasFocus()) ui_.folderEdit->setText(QDir::toNativeSeparators(SelectedFolder()));
    if (FolderChosen()) {
        ui_.startButton->setEnabled(true);
        SetReAnalyseColor();
    } else {
        ui_.startButton->setEnabled(false);
    }
}

void TAnalyseLength::EditFolderReturn() {
    QString typed = ui_.folderEdit->text().trimmed();
    if (typed == "~" || typed.startsWith("~/")) typed = QDir::homePath() + typed.mid(1);
    const QString folder = QDir::cleanPath(QDir::fromNativeSeparators(typed));
    if (folder.isEmpty() || !QFileInfo(folder).isDir() || !SelectFolder(QFileInfo(folder).absoluteFilePath())) {
        ui_.statusBar->showMessage("There is no folder " + typed + ".");
        return;
    }
    ui_.folderEdit->setText(QDir::toNativeSeparators(SelectedFolder()));
}

void TAnalyseLength::FollowSelectedFolder(const QString& loaded) {
    if (!followSelected_) return;
    const QString selected = SelectedFolder();
    const QString prefix = loaded.endsWith('/') ? loaded : loaded + '/';
    if (selected == loaded || selected.startsWith(prefix)) {
        ui_.folderTree->scrollTo(ui_.folderTree->currentIndex(), QAbstractItemView::PositionAtCenter);
    }
}

void TAnalyseLength::KeepSelectedFolderInView() {
    if (!followSelected_ || !ui_.folderTree->currentIndex().isValid()) return;
    const QRect row = ui_.folderTree->visualRect(ui_.folderTree->currentIndex());
    if (ui_.folderTree->viewport()->rect().contains(row)) return;
    ui_.folderTree->scrollTo(ui_.folderTree->currentIndex(), QAbstractItemView::PositionAtCenter);
}

bool TAnalyseLength::SelectFolder(const QString& path) {
    const QModelIndex index = ui_.folderModel->index(path);
    if (!index.isValid()) return false;
    ui_.folderTree->setCurrentIndex(index);
    ui_.folderTree->scrollTo(index, QAbstractItemView::PositionAtCenter);
    followSelected_ = true;
    return true;
}

QString TAnalyseLength::SelectedFolder() const {
    const QModelIndex index = ui_.folderTree->currentIndex();
    return index.isValid() ? ui_.folderModel->filePath(index) : QString();
}

bool TAnalyseLength::FolderChosen() const {
    const QString folder = SelectedFolder();
    return !folder.isEmpty() && QFileInfo(folder).isDir();
}

QString TAnalyseLength::InSaveFolder(const QString& fileName) const {
    // The program's own folder is read-only once installed; the photos' folder is where the
    // user works.
    QString folder = FolderChosen() ? SelectedFolder() : QString();
    if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty()) folder = QDir::homePath();
    return QDir(folder).filePath(fileName);
}

void TAnalyseLength::FormKeyDown(int key) {
    if (key == Qt::Key_Escape) StopAnalyzingClick();
}

void TAnalyseLength::Panel1MouseMove() {
    ui_.statusBar->showMessage(RunSummaryText());
}

int TAnalyseLength::TreeWidth() const {
    return settings_->TreeWidth();
}

// The charts: the window's handlers pass on to the chart panel.

void TAnalyseLength::FormResize() {
    charts_->LayOutOverview();
    if (shown_ && ui_.treePanel->width() < kMinimumTreeWidth) {
        ui_.splitter->setSizes(
            {kMinimumTreeWidth, ui_.splitter->width() - kMinimumTreeWidth - ui_.splitter->handleWidth()});
    }
}

void TAnalyseLength::Splitter1Moved() {
    FormResize();
}

void TAnalyseLength::PageControl1Change() {
    charts_->Distribute(true);
}

void TAnalyseLength::ChartDblClick(Quantity quantity) {
    charts_->ToggleOwnTab(quantity);
}

void TAnalyseLength::ChartPointChosen(Quantity quantity, int point) {
    if (!answers_->ShowPointPhotos(quantity, point)) {
        ui_.statusBar->showMessage("The photos behind a bar are known once a run has read them: analyse the folder.");
    }
}

void TAnalyseLength::Chart1MouseMove() {
    charts_->MouseOverChart();
}

void TAnalyseLength::FitChart(Quantity quantity) {
    charts_->FitChart(quantity);
}

void TAnalyseLength::SaveChart(Quantity quantity) {
    charts_->SaveChart(quantity);
}

void TAnalyseLength::Lb_SaveRicheditClick() {
    pathListViewer_->Lb_SaveRicheditClick();
}

}  // namespace quorvela::ui
