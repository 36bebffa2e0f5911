// The window's regions: the left panel, the top bar and the filter panel; the helpers every region uses.
#include "ui/window_layout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDate>
#include <QDateEdit>
#include <QDir>
#include <QEvent>
#include <QFileSystemModel>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <string_view>
#include <utility>

#include "ui/status_link.h"
#include "ui/window_layout_builder.h"

namespace quorvela::ui {

namespace {

// A check box with a long caption and shorter ones. It asks the layout for no more room than
// `narrowWidth`, so that the long caption does not widen the window or take room from its
// neighbours, and takes up to the long caption's width where the layout has room to spare. It
// shows the longest caption that fits; the shortest ends in "..." when even that does not fit.
class ShrinkingCheckBox : public QCheckBox {
  public:
    ShrinkingCheckBox(const QString& caption, QStringList shorter, int narrowWidth, QWidget* parent)
        : QCheckBox(caption, parent), shorter_(std::move(shorter)), narrowWidth_(narrowWidth) {
        setMinimumWidth(narrowWidth_);
        setMaximumWidth(std::max(narrowWidth_, QCheckBox::sizeHint().width()));
    }
    [[nodiscard]] QSize sizeHint() const override { return {narrowWidth_, QCheckBox::sizeHint().height()}; }
    [[nodiscard]] QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        const int room = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this).width();
        QString caption = text();
        for (const QString& shorter : shorter_) {
            if (fontMetrics().horizontalAdvance(caption) <= room) break;
            caption = shorter;
        }
        option.text = fontMetrics().elidedText(caption, Qt::ElideRight, room);
        painter.drawControl(QStyle::CE_CheckBox, option);
    }

  private:
    QStringList shorter_;
    int narrowWidth_;
};

// A day of the period that takes typing: a click selects the part of the day it lands on, and
// a digit typed over the whole text starts at the year, so "2023" typed after a click on the
// year, or "2023-05-01" typed over all of it, is the day meant. Without this the date field
// keeps its year: a digit typed beside four others, or over every part at once, is refused.
class DayEdit : public QDateEdit {
  public:
    DayEdit(QDate day, QWidget* parent) : QDateEdit(day, parent) { lineEdit()->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The click has placed the cursor; its part of the day is then typed over.
        if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && !lineEdit()->hasSelectedText()) {
            setSelectedSection(currentSection());
        }
        return QDateEdit::eventFilter(watched, event);
    }
    void keyPressEvent(QKeyEvent* event) override {
        const QString typed = event->text();
        const QLineEdit* line = lineEdit();
        if (typed.size() == 1 && typed.at(0).isDigit() && line->hasSelectedText() &&
            line->selectedText() == line->text()) {
            setSelectedSection(QDateTimeEdit::YearSection);
        }
        // A full year or month moves on by itself: the dash typed after it is already passed.
        const int at = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
        if (typed == "-" && at > 0 && line->text().at(at - 1) == '-') {
            event->accept();
            return;
        }
        QDateEdit::keyPressEvent(event);
    }
};

// The statistics box: narrow in a small window, and as wide as its longest entry where the top
// bar has the room, so that "Percent and total" shows whole.
class StatisticsBox : public QComboBox {
  public:
    explicit StatisticsBox(QWidget* parent) : QComboBox(parent) { window()->installEventFilter(this); }
    [[nodiscard]] QSize sizeHint() const override {
        const QSize narrow = QComboBox::sizeHint();
        // Below this width the progress bars need the room more than the box's longest entry.
        constexpr int kRoomyWindow = 1200;
        if (window()->width() < kRoomyWindow) return narrow;
        int widest = 0;
        for (int i = 0; i < count(); ++i) widest = std::max(widest, fontMetrics().horizontalAdvance(itemText(i)));
        const int shown = fontMetrics().horizontalAdvance(QLatin1Char('x')) * minimumContentsLength();
        return {narrow.width() + std::max(widest - shown, 0), narrow.height()};
    }
    [[nodiscard]] QSize minimumSizeHint() const override { return QComboBox::sizeHint(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window() && event->type() == QEvent::Resize) updateGeometry();
        return QComboBox::eventFilter(watched, event);
    }
};

// A caption beside its control: a click on it acts as a click on the control's own caption.
class ClickableLabel : public QLabel {
  public:
    ClickableLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}
    std::function<void()> Clicked;

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && Clicked) Clicked();
    }
};

}  // namespace

namespace layout {

QFrame* Panel(QWidget* parent, const char* name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    return panel;
}

QLabel* Label(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QCheckBox* CheckBox(QWidget* parent, const char* name, const QString& text, bool checked, const QString& hint) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setChecked(checked);
    box->setToolTip(hint);
    return box;
}

QSpinBox* SpinBox(QWidget* parent, const char* name, int low, int high, int value, const QString& hint) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(low, high);
    spin->setValue(value);
    spin->setToolTip(hint);
    return spin;
}

QLineEdit* Edit(QWidget* parent, const char* name, const QString& text, const QString& hint) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setToolTip(hint);
    return edit;
}

QToolButton* GlyphButton(QWidget* parent, const char* name, QStyle::StandardPixmap glyph, const QString& caption,
                         const QString& hint, bool enabled) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(glyph));
    button->setAutoRaise(true);  // flat until the mouse is over it
    if (!caption.isEmpty()) {
        button->setText(caption);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
    button->setToolTip(hint);
    button->setEnabled(enabled);
    return button;
}

QFrame* Separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

void FixHeight(QWidget* widget, int height) {
    widget->setFixedHeight(height);
    widget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Fill(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QColor ToQt(Rgb c) {
    return {c.r, c.g, c.b};
}

WindowWidgets LayoutBuilder::Build() {
    w_.splitter = new QSplitter(Qt::Horizontal, &window_);
    w_.splitter->setObjectName("Splitter1");
    w_.splitter->setChildrenCollapsible(false);
    w_.splitter->addWidget(BuildLeftPanel());

    w_.rightArea = new QWidget(w_.splitter);
    w_.rightArea->setObjectName("Panel1");
    auto* right = new QVBoxLayout(w_.rightArea);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    right->addWidget(BuildTopBar());
    right->addWidget(BuildFilterPanel());
    BuildTabs();
    right->addWidget(w_.tabs, 1);
    w_.splitter->addWidget(w_.rightArea);
    w_.splitter->setStretchFactor(0, 0);
    w_.splitter->setStretchFactor(1, 1);
    w_.splitter->setSizes({kTreeWidth, 855 - kTreeWidth});
    window_.setCentralWidget(w_.splitter);

    w_.statusBar = new QStatusBar(&window_);
    w_.statusBar->setObjectName("StatusBar1");
    w_.statusBar->setSizeGripEnabled(true);
    window_.setStatusBar(w_.statusBar);
    // Permanent, so the status texts, the summary and the zoom help do not cover it.
    w_.estimateLink = new StatusLink(w_.statusBar);
    w_.estimateLink->setObjectName("EstimateLink");
    w_.statusBar->addPermanentWidget(w_.estimateLink);
    return w_;
}

QWidget* LayoutBuilder::BuildLeftPanel() {
    w_.treePanel = Panel(w_.splitter, "Panel2");
    w_.treePanel->setMinimumWidth(kMinimumTreeWidth);
    auto* layout = new QVBoxLayout(w_.treePanel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    w_.folderModel = new QFileSystemModel(&window_);
    w_.folderModel->setObjectName("ShellModel");
    w_.folderModel->setFilter(QDir::AllDirs | QDir::Drives | QDir::Hidden | QDir::NoDotAndDotDot);
    w_.folderModel->setReadOnly(true);
    w_.folderModel->setRootPath(QDir::rootPath());

    layout->addWidget(BuildFolderEdit(w_.treePanel));
    FolderTree* tree = w_.folderTree = new FolderTree(w_.treePanel);
    tree->setObjectName("ShellTreeView1");
    tree->setModel(w_.folderModel);
    for (int column = 1; column < w_.folderModel->columnCount(); ++column) tree->hideColumn(column);
    tree->setHeaderHidden(true);
    tree->setFrameShape(QFrame::NoFrame);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setContextMenuPolicy(Qt::NoContextMenu);
    tree->setToolTip("Select a folder of photos to analyse");
    layout->addWidget(tree, 1);
    layout->addWidget(BuildCacheStrip(w_.treePanel));
    layout->addWidget(BuildLinkStrip(w_.treePanel));
    return w_.treePanel;
}

QLineEdit* LayoutBuilder::BuildFolderEdit(QWidget* parent) {
    QLineEdit* edit = w_.folderEdit =
        Edit(parent, "EditFolder", {}, "Type or paste a folder and press Enter to select it in the tree");
    edit->setPlaceholderText("Type or paste a folder");
    edit->setClearButtonEnabled(true);
    // Completion lists the folders under what is typed, as a shell does.
    auto* folders = new QFileSystemModel(edit);
    folders->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    folders->setRootPath(QDir::rootPath());
    auto* completer = new QCompleter(folders, edit);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    edit->setCompleter(completer);
    return edit;
}

QFrame* LayoutBuilder::BuildLinkStrip(QWidget* parent) {
    QFrame* strip = Panel(parent, "Panel6");
    FixHeight(strip, kLinkStripHeight);
    auto* grid = new QGridLayout(strip);
    grid->setContentsMargins(6, 4, 6, 4);
    auto* icon1 = Label(strip, "Image1", {});
    icon1->setPixmap(window_.style()->standardIcon(QStyle::SP_DirHomeIcon).pixmap(32, 32));
    icon1->setFixedSize(32, 32);
    auto* icon2 = Label(strip, "Image2", {});
    icon2->setPixmap(window_.style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    icon2->setFixedSize(32, 32);
    const QString linkStyle = "color: rgb(0, 0, 255); text-decoration: underline;";
    w_.homePageLink = Label(strip, "Label7", "Quorvela home page");
    w_.homePageLink->setStyleSheet(linkStyle);
    w_.homePageLink->setCursor(Qt::PointingHandCursor);
    w_.homePageLink->setToolTip("Click here to visit the site");
    w_.donateLink = Label(strip, "Label14", "Please Donate");
    w_.donateLink->setStyleSheet(linkStyle);
    w_.donateLink->setCursor(Qt::PointingHandCursor);
    grid->addWidget(icon1, 0, 0);
    grid->addWidget(w_.homePageLink, 0, 1);
    grid->addWidget(icon2, 1, 0);
    grid->addWidget(w_.donateLink, 1, 1);
    grid->setColumnStretch(1, 1);
    return strip;
}

QFrame* LayoutBuilder::BuildCacheStrip(QWidget* parent) {
    QFrame* strip = Panel(parent, "PanelRemember");
    auto* column = new QVBoxLayout(strip);
    column->setContentsMargins(6, 2, 6, 2);
    column->setSpacing(2);
    const QString caption = "Remember photos between runs";
    const QString hint = "Keep what was read of each photo, so a later run reads only new and changed photos";
    // The caption stands in a label of its own, wrapped to the tree's width; a click on it ticks
    // the box as a click on a caption does.
    QCheckBox* remember = w_.rememberPhotosCheck = CheckBox(strip, "ChB_RememberPhotos", {}, true, hint);
    remember->setAccessibleName(caption);
    auto* rememberText = new ClickableLabel(caption, strip);
    rememberText->setObjectName("LabelRememberPhotos");
    rememberText->setWordWrap(true);
    rememberText->setToolTip(hint);
    rememberText->setBuddy(remember);
    rememberText->Clicked = [remember] { remember->toggle(); };
    auto* rememberRow = new QHBoxLayout;
    rememberRow->setSpacing(2);
    rememberRow->addWidget(remember, 0, Qt::AlignTop);
    rememberRow->addWidget(rememberText, 1);
    QPushButton* forget = w_.forgetPhotosButton = new QPushButton("Forget remembered photos", strip);
    forget->setObjectName("ForgetPhotos");
    forget->setToolTip("Empty the cache of photos read before; the next run reads every photo");
    column->addLayout(rememberRow);
    column->addWidget(forget, 0, Qt::AlignLeft);
    return strip;
}

QFrame* LayoutBuilder::BuildTopBar() {
    w_.topBar = Panel(w_.rightArea, "Panel3");
    FixHeight(w_.topBar, kTopBarHeight);
    auto* bar = new QHBoxLayout(w_.topBar);
    bar->setContentsMargins(3, 2, 3, 2);
    bar->setSpacing(3);
    BuildStartStop(bar);
    bar->addWidget(Separator(w_.topBar));
    bar->addLayout(BuildRunGroup(), 1);
    bar->addWidget(Separator(w_.topBar));
    bar->addLayout(BuildProgressGroup(), 2);
    bar->addWidget(Separator(w_.topBar));
    bar->addLayout(BuildOptionsGroup());
    return w_.topBar;
}

void LayoutBuilder::BuildStartStop(QHBoxLayout* bar) {
    QPushButton* start = w_.startButton = new QPushButton("Start analyzing", w_.topBar);
    start->setObjectName("StartAnalyzing");
    start->setToolTip("Select a folder of photos on the left to analyse");
    QPushButton* stop = w_.stopButton = new QPushButton("Stop", w_.topBar);
    stop->setObjectName("StopAnalyzing");
    stop->hide();
    // Both buttons take the same place; the wider decides its size so nothing moves.
    const int buttonWidth = std::max(start->sizeHint().width(), stop->sizeHint().width());
    start->setFixedSize(buttonWidth, kTopBarHeight - 8);
    stop->setFixedSize(buttonWidth, kTopBarHeight - 8);
    bar->addWidget(start);
    bar->addWidget(stop);
}

QGridLayout* LayoutBuilder::BuildRunGroup() {
    auto* runGroup = new QGridLayout;
    runGroup->setVerticalSpacing(1);
    QLabel* indicator = w_.modeIndicator =
        Label(w_.topBar, "StatusPanel", QString::fromUtf8(kMode35mm.data(), kMode35mm.size()));
    indicator->setFrameShape(QFrame::Panel);
    indicator->setFrameShadow(QFrame::Sunken);
    indicator->setAlignment(Qt::AlignCenter);
    indicator->setCursor(Qt::PointingHandCursor);
    indicator->setToolTip("If the background is red, you need to (re)analyse");
    indicator->setMinimumWidth(indicator->fontMetrics().horizontalAdvance("Real lens length") + 16);
    SetIndicatorLook(indicator, kIndicatorStart);
    w_.subfoldersCheck = CheckBox(w_.topBar, "ChB_Subs", "Include subfolders", true);
    w_.filterCheck = CheckBox(w_.topBar, "Cb_Custom", "Filter", false, "Select to filter for camera make and/or model");
    // As narrow as "Filter", which had the column alone: the window's minimum and the room of the
    // progress bars stay as they were.
    QCheckBox* rawHeif = w_.rawHeifCheck = new ShrinkingCheckBox("Include RAW and HEIF photos", {"RAW, HEIF", "RAW"},
                                                                 w_.filterCheck->sizeHint().width(), w_.topBar);
    rawHeif->setObjectName("IncludeRawHeif");
    rawHeif->setChecked(true);
    rawHeif->setToolTip(
        "Include RAW and HEIF photos: also read RAW, HEIC, HEIF and AVIF files; a RAW or HEIF file beside the JPEG "
        "of its shot counts once, as the JPEG");
    // The two choices of which files a run reads side by side; the filter beside the indicator.
    // The group takes room to spare, shared with the progress bars, only up to the long caption
    // of the RAW and HEIF box; its other controls keep their widths.
    const int firstColumn = std::max(indicator->minimumWidth(), w_.subfoldersCheck->sizeHint().width());
    indicator->setMaximumWidth(firstColumn);
    w_.subfoldersCheck->setMaximumWidth(firstColumn);
    runGroup->addWidget(indicator, 0, 0);
    runGroup->addWidget(w_.filterCheck, 0, 1, Qt::AlignLeft);  // aligned: no limit of its own on the column
    runGroup->addWidget(w_.subfoldersCheck, 1, 0);
    runGroup->addWidget(w_.rawHeifCheck, 1, 1);
    return runGroup;
}

QGridLayout* LayoutBuilder::BuildProgressGroup() {
    auto* progress = new QGridLayout;
    progress->setVerticalSpacing(1);
    auto* collecting = Label(w_.topBar, "Label3", "Collecting files");
    auto* analysing = Label(w_.topBar, "Label4", "Analyzing files");
    w_.collectingBar = new QProgressBar(w_.topBar);
    w_.collectingBar->setObjectName("ProgrBarCollect");
    w_.analysingBar = new QProgressBar(w_.topBar);
    w_.analysingBar->setObjectName("ProgrBarAnalyse");
    for (QProgressBar* bar : {w_.collectingBar, w_.analysingBar}) {
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
        bar->setFixedHeight(14);
        // Wide enough to show progress at the window's default size; the options give way.
        bar->setMinimumWidth(kProgressMinimumWidth);
    }
    progress->addWidget(collecting, 0, 0);
    progress->addWidget(w_.collectingBar, 0, 1);
    progress->addWidget(analysing, 1, 0);
    progress->addWidget(w_.analysingBar, 1, 1);
    progress->setColumnStretch(1, 1);
    return progress;
}

QGridLayout* LayoutBuilder::BuildOptionsGroup() {
    auto* options = new QGridLayout;
    options->setVerticalSpacing(1);
    w_.threeDCheck = CheckBox(w_.topBar, "ChB3D", "3D", false);
    QComboBox* statistics = w_.statisticsBox = new StatisticsBox(w_.topBar);
    statistics->setObjectName("ComboBoxValue");
    for (std::string_view mode : kStatisticsModes) statistics->addItem(QString::fromUtf8(mode.data(), mode.size()));
    statistics->setCurrentIndex(0);
    // Narrow in a small window; the open list shows the entries in full.
    statistics->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    statistics->setMinimumContentsLength(8);
    statistics->setToolTip("Select statistics");
    w_.pointsPerPageSpin = SpinBox(w_.topBar, "SpinEdit3", -10, 110, 0,
                                   "Stretch horizontally: the most points a chart shows at once; 0 shows them all");
    w_.pointsPerPageSpin->setSingleStep(10);
    // The arrows only: typed values would skip the wrap.
    w_.pointsPerPageSpin->findChild<QLineEdit*>()->setReadOnly(true);
    w_.helpButton = GlyphButton(w_.topBar, "LbSpeedButton9", QStyle::SP_TitleBarContextHelpButton, {}, "Help", true);
    w_.barGraphCheck = CheckBox(w_.topBar, "ChBbar", "Bar graph", true);
    w_.barGraphCheck->hide();
    // The box above the three small controls: the narrowest arrangement, leaving the room to
    // the progress bars.
    options->addWidget(statistics, 0, 0, 1, 3);
    options->addWidget(w_.threeDCheck, 1, 0);
    options->addWidget(w_.pointsPerPageSpin, 1, 1);
    options->addWidget(w_.helpButton, 1, 2, Qt::AlignRight);
    return options;
}

QFrame* LayoutBuilder::BuildFilterPanel() {
    QFrame* panel = w_.filterPanel = Panel(w_.rightArea, "PanelMakeModel");
    FixHeight(panel, kFilterPanelHeight);
    Fill(panel, QColor(166, 202, 240));
    // Texts on the blue panel stay dark whatever the desktop's colour scheme.
    QPalette text = panel->palette();
    text.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(text);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(6, 3, 6, 3);
    grid->setVerticalSpacing(2);
    w_.filterIntro = Label(
        panel, "Label10", "Enter camera make and/or model tag, to plot only EXIF from cameras matching these strings.");
    const QString partial = "Partial strings allowed - case independent";
    w_.makeEdit = Edit(panel, "EditMake", {}, partial);
    w_.modelEdit = Edit(panel, "EditModel", {}, partial);
    auto* label18 = Label(panel, "Label18", "Search for Maker Notes Enter both Label and Data Tag (optional)");
    // It shares its row with the period: in a narrow window it takes two lines rather than
    // widening the window.
    label18->setWordWrap(true);
    const QString optional = "Optional, both fields need to be filled - Case independent.";
    w_.makerNoteLabelEdit = Edit(panel, "MN_name_Edit", {}, optional);
    w_.makerNoteDataEdit = Edit(panel, "MN_Data_Edit", {}, optional);
    auto* label19 = Label(panel, "Label19", "See the help how to find maker notes.");
    label19->setStyleSheet("color: rgb(255, 0, 0);");

    grid->addWidget(w_.filterIntro, 0, 0, 1, 8);
    grid->addWidget(Label(panel, "Label8", "Make"), 1, 0);
    grid->addWidget(w_.makeEdit, 1, 1);
    grid->addWidget(Label(panel, "Label9", "Model"), 1, 2);
    grid->addWidget(w_.modelEdit, 1, 3, 1, 2);
    grid->addWidget(label18, 2, 0, 1, 3);
    BuildLensAndPeriod(grid, panel);
    grid->addWidget(Label(panel, "Label15", "Label"), 3, 0);
    grid->addWidget(w_.makerNoteLabelEdit, 3, 1);
    grid->addWidget(Label(panel, "Label17", "+"), 3, 2, Qt::AlignCenter);
    grid->addWidget(Label(panel, "Label16", "Data"), 3, 3);
    grid->addWidget(w_.makerNoteDataEdit, 3, 4);
    grid->addWidget(label19, 3, 5, 1, 3);
    BuildRatingFilter(grid, panel);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    grid->setColumnStretch(5, 1);
    panel->hide();
    return panel;
}

// The lens beside the model, and the period the photos were taken in under it. A day of the
// period is picked from a calendar, so it is always a valid date; a box switches each end on.
void LayoutBuilder::BuildLensAndPeriod(QGridLayout* grid, QWidget* panel) {
    w_.lensEdit = Edit(panel, "EditLens", {}, "Partial lens name allowed - case independent");
    const auto dateEdit = [panel](const char* name, const QString& hint) {
        auto* date = new DayEdit(QDate::currentDate(), panel);
        date->setObjectName(name);
        date->setDisplayFormat("yyyy-MM-dd");
        date->setCalendarPopup(true);
        date->setToolTip(hint);
        date->setEnabled(false);
        return date;
    };
    w_.fromCheck = CheckBox(panel, "ChB_PeriodFrom", "Taken from", false, "Only photos taken on or after this day");
    w_.fromDate = dateEdit("PeriodFrom", "The first day of the period");
    w_.toCheck = CheckBox(panel, "ChB_PeriodTo", "to", false, "Only photos taken on or before this day");
    w_.toDate = dateEdit("PeriodTo", "The last day of the period");
    QObject::connect(w_.fromCheck, &QCheckBox::toggled, w_.fromDate, &QWidget::setEnabled);
    QObject::connect(w_.toCheck, &QCheckBox::toggled, w_.toDate, &QWidget::setEnabled);
    auto* lens = new QHBoxLayout;
    lens->addWidget(Label(panel, "LabelLens", "Lens"));
    lens->addWidget(w_.lensEdit, 1);
    grid->addLayout(lens, 1, 5, 1, 3);
    auto* period = new QHBoxLayout;
    period->addWidget(w_.fromCheck);
    period->addWidget(w_.fromDate);
    period->addWidget(w_.toCheck);
    period->addWidget(w_.toDate);
    period->addStretch(1);
    grid->addLayout(period, 2, 3, 1, 5);
}

// The keepers: a least number of stars, rejected photos left out, a colour label; as the
// photographer's tools wrote them into the photos' XMP, their sidecars or their EXIF.
void LayoutBuilder::BuildRatingFilter(QGridLayout* grid, QWidget* panel) {
    w_.minRatingSpin = SpinBox(panel, "SpinMinRating", 0, 5, 0,
                               "Only photos with at least this many stars; \"any\" takes unrated photos too");
    w_.minRatingSpin->setSpecialValueText("any");
    w_.noRejectedCheck = CheckBox(panel, "ChB_NoRejected", "Leave out rejected photos", false,
                                  "Photos marked as rejected (rating -1) are not counted");
    w_.labelEdit = Edit(panel, "EditLabel", {}, "Part of the colour label, such as Red or Select - case independent");
    auto* rating = new QHBoxLayout;
    rating->addWidget(Label(panel, "LabelMinRating", "Stars at least"));
    rating->addWidget(w_.minRatingSpin);
    rating->addWidget(w_.noRejectedCheck);
    rating->addSpacing(12);
    rating->addWidget(Label(panel, "LabelColourLabel", "Colour label"));
    rating->addWidget(w_.labelEdit, 1);
    grid->addLayout(rating, 4, 0, 1, 8);
}

}  // namespace layout

WindowWidgets BuildWindowLayout(QMainWindow& window) {
    return layout::LayoutBuilder(window).Build();
}

void SetIndicatorLook(QLabel* indicator, const IndicatorLook& look) {
    QPalette palette = indicator->palette();
    palette.setColor(QPalette::Window, layout::ToQt(look.Background));
    palette.setColor(QPalette::WindowText, layout::ToQt(look.Text));
    indicator->setPalette(palette);
    indicator->setAutoFillBackground(true);
}

IndicatorLook IndicatorLookOf(const QLabel* indicator) {
    const QPalette& palette = indicator->palette();
    const QColor back = palette.color(QPalette::Window);
    const QColor text = palette.color(QPalette::WindowText);
    return {{back.red(), back.green(), back.blue()}, {text.red(), text.green(), text.blue()}};
}

}  // namespace quorvela::ui
