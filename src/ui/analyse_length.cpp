// The window's creation, its event wiring, and the rules by which its controls change together.
#include "ui/analyse_length.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
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
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>

#include "charts/chart_set.h"
#include "settings/program_folder.h"
#include "ui/help_topics.h"
#include "viewer/equivalent_editor_panel.h"
#include "viewer/path_list_viewer.h"

namespace quorvela::ui {

namespace {

constexpr int kWindowWidth = 855;
constexpr int kWindowHeight = 571;

char LocaleDecimalSeparator() {
    return QLocale().decimalPoint() == QLatin1String(",") ? ',' : '.';
}

QColor ToQt(Rgb c) {
    return {c.r, c.g, c.b};
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
    collation_ = std::make_unique<analysis::Collation>(analysis::CollationLocaleFromEnvironment());
    if (!services_.Messages) services_.Messages = std::make_shared<MessageBoxSink>(this);

    BuildWindow();
    charts_ = std::make_unique<charts::ChartSet>(PanelOverview);
    charts_->SetNumberSeparators(decimalSeparator_, QLocale().groupSeparator().toStdString());
    CreateRunPresenter();

    setWindowTitle("Quorvela - version 1.1.6");
    resize(kWindowWidth, kWindowHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    ConnectHandlers();
    ConnectCharts();
    FormCreate();
}

TAnalyseLength::~TAnalyseLength() {
    controller_.reset();      // stops and waits for a run before the controls go
    pathListViewer_.reset();  // waits for a preview being decoded
    presenter_->RestoreCursor();
}

void TAnalyseLength::ConnectHandlers() {
    // Key preview: Esc and F1 work whichever control has the focus.
    qApp->installEventFilter(new KeyPreviewFilter(this));
    StatusPanel->installEventFilter(this);
    Edit1->installEventFilter(this);
    Edit2->installEventFilter(this);
    PanelOverview->installEventFilter(this);
    Label7->installEventFilter(this);
    Label14->installEventFilter(this);
    // The panels over which the mouse brings back the run's summary.
    summaryPanels_ = {Panel3, Panel11, Panel5, Panel4, Panel8, Panel9, Panel10, Panel12, Label10};
    for (QWidget* panel : summaryPanels_) {
        panel->setMouseTracking(true);
        panel->installEventFilter(this);
    }

    // Changes that make the charts out of date.
    for (QCheckBox* box : {ChB_Subs, Ch_AlwaysCalc, ChB_Raw}) {
        connect(box, &QCheckBox::toggled, this, [this] { SetReAnalyseColor(); });
    }
    connect(RadioGroup1Buttons, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) SetReAnalyseColor();
    });
    for (QSpinBox* spin : {SpinEdit1, SpinEdit2}) {
        connect(spin, &QSpinBox::valueChanged, this, [this] { SetReAnalyseColor(); });
    }
    for (QLineEdit* edit : {EditMake, EditModel}) {
        connect(edit, &QLineEdit::textChanged, this, [this] { SetReAnalyseColor(); });
    }
    connect(LbSetforRealLength, &QToolButton::toggled, this, [this] { LbSetforRealLengthClick(); });
    connect(ChBoxSteps, &QCheckBox::toggled, this, [this] { ChBoxStepsClick(); });
    connect(Cb_Custom, &QCheckBox::toggled, this, [this] { Cb_CustomClick(); });
    connect(ShellTreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { ShellTreeView1Change(); });

    connect(StartAnalyzing, &QPushButton::clicked, this, [this] { StartAnalyzingClick(); });
    connect(StopAnalyzing, &QPushButton::clicked, this, [this] { StopAnalyzingClick(); });
    connect(LbSpeedButton9, &QToolButton::clicked, this, [this] { LbSpeedButton9Click(); });
    connect(Lb_SaveRichedit, &QToolButton::clicked, this, [this] { Lb_SaveRicheditClick(); });

    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
    connect(Splitter1, &QSplitter::splitterMoved, this, [this] { Splitter1Moved(); });
    connect(ComboBoxValue, &QComboBox::currentIndexChanged, this, [this] { ComboBoxValueChange(); });
    connect(ChB3D, &QCheckBox::toggled, this, [this] { ChB3DClick(); });
    connect(SpinEdit3, &QSpinBox::valueChanged, this, [this] { SpinEdit3Change(); });
    connect(LbSpeedButton8, &QToolButton::clicked, this, [this] { LbSpeedButton8Click(); });
    connect(FitButtons[0], &QToolButton::clicked, this, [this] { LbSpeedButton1Click(); });
    connect(FitButtons[1], &QToolButton::clicked, this, [this] { LbSpeedButton2Click(); });
    connect(FitButtons[2], &QToolButton::clicked, this, [this] { LbSpeedButton3Click(); });
    connect(FitButtons[3], &QToolButton::clicked, this, [this] { LbSpeedButton4Click(); });
    connect(SaveButtons[0], &QToolButton::clicked, this, [this] { LbSaveDateClick(); });
    connect(SaveButtons[1], &QToolButton::clicked, this, [this] { LbSpeedButton5Click(); });
    connect(SaveButtons[2], &QToolButton::clicked, this, [this] { LbSpeedButton6Click(); });
    connect(SaveButtons[3], &QToolButton::clicked, this, [this] { LbSpeedButton7Click(); });
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
    if (type == QEvent::KeyPress && (watched == Edit1 || watched == Edit2)) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        // Moving on with Tab is no edit.
        if (!text.isEmpty() && text.at(0) != QChar('\t') && !Edit1KeyPress(text.at(0))) return true;
    } else if (watched == StatusPanel && type == QEvent::MouseButtonDblClick) {
        StatusPanelDblClick();
        return true;
    } else if (watched == PanelOverview && type == QEvent::Resize) {
        FormResize();
    } else if (type == QEvent::MouseButtonRelease && watched == Label7) {
        Label7Click();
        return true;
    } else if (type == QEvent::MouseButtonRelease && watched == Label14) {
        Label14Click();
        return true;
    } else if (type == QEvent::MouseMove &&
               std::find(summaryPanels_.begin(), summaryPanels_.end(), watched) != summaryPanels_.end()) {
        Panel1MouseMove();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TAnalyseLength::SetStatusPanelLook(const IndicatorLook& look) {
    QPalette palette = StatusPanel->palette();
    palette.setColor(QPalette::Window, ToQt(look.Background));
    palette.setColor(QPalette::WindowText, ToQt(look.Text));
    StatusPanel->setPalette(palette);
    StatusPanel->setAutoFillBackground(true);
}

IndicatorLook TAnalyseLength::StatusPanelLook() const {
    const QPalette& palette = StatusPanel->palette();
    const QColor back = palette.color(QPalette::Window);
    const QColor text = palette.color(QPalette::WindowText);
    return {{back.red(), back.green(), back.blue()}, {text.red(), text.green(), text.blue()}};
}

void TAnalyseLength::setButtonstate() {
    const ModeDisplay display = DisplayFor({LbSetforRealLength->isChecked(), Ch_AlwaysCalc->isChecked()});
    StatusPanel->setText(QString::fromUtf8(display.Caption.data(), static_cast<qsizetype>(display.Caption.size())));
    MMPanel->setVisible(display.ManualFactorVisible);
    SetStatusPanelLook(kIndicatorNeeded);
}

void TAnalyseLength::SetReAnalyseColor() {
    setButtonstate();
}

void TAnalyseLength::LbSetforRealLengthClick() {
    setButtonstate();
}

void TAnalyseLength::StatusPanelDblClick() {
    const std::string caption = StatusPanel->text().toStdString();
    if (const std::optional<LensMode> next = NextMode(caption)) {
        LbSetforRealLength->setChecked(next->RealLength);
        Ch_AlwaysCalc->setChecked(next->AlwaysCalculate);
    }
    setButtonstate();
    if (PageControl1->currentWidget() != TabSheet2) {
        const QSignalBlocker quiet(PageControl1);
        PageControl1->setCurrentWidget(TabSheet2);
        PageControl1Change();
    }
}

void TAnalyseLength::ChBoxStepsClick() {
    if (SettingsLoading) return;
    SetStatusPanelLook(kIndicatorNeeded);
    SpinEdit1->setEnabled(ChBoxSteps->isChecked());
}

void TAnalyseLength::Cb_CustomClick() {
    PanelMakeModel->setVisible(Cb_Custom->isChecked());
    // The tab area takes the new height at once, so the grid is laid out for it.
    if (Panel1->layout() != nullptr) Panel1->layout()->activate();
    FormResize();
    SetReAnalyseColor();
}

void TAnalyseLength::ShellTreeView1Change() {
    const QString path = SelectedFolder();
    if (!path.isEmpty() && QFileInfo(path).isDir()) {
        StartAnalyzing->setEnabled(true);
        SetReAnalyseColor();
    } else {
        StartAnalyzing->setEnabled(false);
    }
}

bool TAnalyseLength::SelectFolder(const QString& path) {
    const QModelIndex index = ShellModel->index(path);
    if (!index.isValid()) return false;
    ShellTreeView1->setCurrentIndex(index);
    ShellTreeView1->scrollTo(index, QAbstractItemView::PositionAtCenter);
    return true;
}

QString TAnalyseLength::SelectedFolder() const {
    const QModelIndex index = ShellTreeView1->currentIndex();
    return index.isValid() ? ShellModel->filePath(index) : QString();
}

void TAnalyseLength::FormKeyDown(int key) {
    if (key == Qt::Key_Escape) StopAnalyzingClick();
}

void TAnalyseLength::Panel1MouseMove() {
    StatusBar1->showMessage(presenter_->Summary());
}

int TAnalyseLength::RadioGroup1Index() const {
    return RadioGroup1Buttons->checkedId();
}

void TAnalyseLength::SetRadioGroup1Index(int index) {
    if (QAbstractButton* button = RadioGroup1Buttons->button(index)) {
        button->setChecked(true);
        return;
    }
    // No entry selected: the group has to let go of its checked button first.
    RadioGroup1Buttons->setExclusive(false);
    for (QAbstractButton* button : RadioGroup1Buttons->buttons()) button->setChecked(false);
    RadioGroup1Buttons->setExclusive(true);
    SetReAnalyseColor();
}

int TAnalyseLength::TreeWidth() const {
    return shown_ ? Panel2->width() : pendingTreeWidth_;
}

}  // namespace quorvela::ui
