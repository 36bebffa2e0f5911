// The window's regions, tabs and controls with their captions, hints and starting states.
#include "ui/window_layout.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QFont>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>

#include "settings/settings_file.h"

namespace quorvela::ui {

namespace {

constexpr int kTreeWidth = 185;
constexpr int kLinkStripHeight = 78;
constexpr int kTopBarHeight = 50;
constexpr int kFilterPanelHeight = 95;
constexpr int kOverviewBarHeight = 26;
constexpr int kLensBarHeight = 56;
constexpr int kPreviewSize = 218;
constexpr int kPreviewPanelWidth = 220;

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

QCheckBox* CheckBox(QWidget* parent, const char* name, const QString& text, bool checked, const QString& hint = {}) {
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

// Builds the window one region at a time, in the order the controls were always made (the
// order decides the focus chain and what is drawn over what).
class LayoutBuilder {
  public:
    explicit LayoutBuilder(QMainWindow& window) : window_(window) {}
    WindowWidgets Build();

  private:
    QWidget* BuildLeftPanel();
    QFrame* BuildLinkStrip(QWidget* parent);
    QFrame* BuildTopBar();
    void BuildStartStop(QHBoxLayout* bar);
    QGridLayout* BuildRunGroup();
    QGridLayout* BuildProgressGroup();
    QGridLayout* BuildOptionsGroup();
    QFrame* BuildFilterPanel();
    void BuildTabs();
    void BuildOverviewTab();
    void BuildChartTabs();
    QFrame* BuildLensBar();
    QWidget* BuildStepsGroup();
    QFrame* BuildManualFactorPanel();
    QFrame* BuildChartBar(int index, QWidget* extra);
    QWidget* BuildShutterOptions();
    void BuildPathListTab();
    QFrame* BuildPreviewPanel();
    QFrame* BuildPathListBar();
    void BuildEquivalentTab();

    QMainWindow& window_;
    WindowWidgets w_;
};

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

    QTreeView* tree = w_.folderTree = new QTreeView(w_.treePanel);
    tree->setObjectName("ShellTreeView1");
    tree->setModel(w_.folderModel);
    for (int column = 1; column < w_.folderModel->columnCount(); ++column) tree->hideColumn(column);
    tree->setHeaderHidden(true);
    tree->setFrameShape(QFrame::NoFrame);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setContextMenuPolicy(Qt::NoContextMenu);
    tree->setToolTip("Select a folder with JPG files to analyse");
    layout->addWidget(tree, 1);
    layout->addWidget(BuildLinkStrip(w_.treePanel));
    return w_.treePanel;
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

QFrame* LayoutBuilder::BuildTopBar() {
    w_.topBar = Panel(w_.rightArea, "Panel3");
    FixHeight(w_.topBar, kTopBarHeight);
    auto* bar = new QHBoxLayout(w_.topBar);
    bar->setContentsMargins(3, 2, 3, 2);
    bar->setSpacing(3);
    BuildStartStop(bar);
    bar->addWidget(Separator(w_.topBar));
    bar->addLayout(BuildRunGroup());
    bar->addWidget(Separator(w_.topBar));
    bar->addLayout(BuildProgressGroup(), 1);
    bar->addWidget(Separator(w_.topBar));
    bar->addLayout(BuildOptionsGroup());
    return w_.topBar;
}

void LayoutBuilder::BuildStartStop(QHBoxLayout* bar) {
    QPushButton* start = w_.startButton = new QPushButton("Start analyzing", w_.topBar);
    start->setObjectName("StartAnalyzing");
    start->setToolTip("Select any folder with jpg files on the left to analyse");
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
    runGroup->addWidget(indicator, 0, 0, 1, 2);
    runGroup->addWidget(w_.subfoldersCheck, 1, 0);
    runGroup->addWidget(w_.filterCheck, 1, 1);
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
        bar->setMinimumWidth(50);
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
    QComboBox* statistics = w_.statisticsBox = new QComboBox(w_.topBar);
    statistics->setObjectName("ComboBoxValue");
    for (std::string_view mode : kStatisticsModes) statistics->addItem(QString::fromUtf8(mode.data(), mode.size()));
    statistics->setCurrentIndex(0);
    // Narrow in a small window; the open list shows the entries in full.
    statistics->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    statistics->setMinimumContentsLength(11);
    statistics->setToolTip("Select statistics");
    w_.pointsPerPageSpin = SpinBox(w_.topBar, "SpinEdit3", -10, 110, 0,
                                   "Stretch horizontaly, set max. points for the charts, default 0 is off");
    w_.pointsPerPageSpin->setSingleStep(10);
    // The arrows only: typed values would skip the wrap.
    w_.pointsPerPageSpin->findChild<QLineEdit*>()->setReadOnly(true);
    w_.helpButton = GlyphButton(w_.topBar, "LbSpeedButton9", QStyle::SP_TitleBarContextHelpButton, {}, "Help", true);
    w_.barGraphCheck = CheckBox(w_.topBar, "ChBbar", "Bar graph", true);
    w_.barGraphCheck->hide();
    options->addWidget(w_.threeDCheck, 0, 0);
    options->addWidget(statistics, 0, 1);
    options->addWidget(w_.pointsPerPageSpin, 1, 0);
    options->addWidget(w_.helpButton, 1, 1, Qt::AlignRight);
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
    const QString optional = "Optional, both fields need to be filled - Case independent.";
    w_.makerNoteLabelEdit = Edit(panel, "MN_name_Edit", {}, optional);
    w_.makerNoteDataEdit = Edit(panel, "MN_Data_Edit", {}, optional);
    auto* label19 = Label(panel, "Label19", "See the help how to find maker notes.");
    label19->setStyleSheet("color: rgb(255, 0, 0);");

    grid->addWidget(w_.filterIntro, 0, 0, 1, 8);
    grid->addWidget(Label(panel, "Label8", "Make"), 1, 0);
    grid->addWidget(w_.makeEdit, 1, 1);
    grid->addWidget(Label(panel, "Label9", "Model"), 1, 2);
    grid->addWidget(w_.modelEdit, 1, 3, 1, 5);
    grid->addWidget(label18, 2, 0, 1, 8);
    grid->addWidget(Label(panel, "Label15", "Label"), 3, 0);
    grid->addWidget(w_.makerNoteLabelEdit, 3, 1);
    grid->addWidget(Label(panel, "Label17", "+"), 3, 2, Qt::AlignCenter);
    grid->addWidget(Label(panel, "Label16", "Data"), 3, 3);
    grid->addWidget(w_.makerNoteDataEdit, 3, 4);
    grid->addWidget(label19, 3, 5, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    grid->setColumnStretch(5, 1);
    panel->hide();
    return panel;
}

void LayoutBuilder::BuildTabs() {
    w_.tabs = new QTabWidget(w_.rightArea);
    w_.tabs->setObjectName("PageControl1");
    w_.tabs->setDocumentMode(true);
    const auto tab = [](const char* name) {
        auto* page = new QWidget;
        page->setObjectName(name);
        return page;
    };
    w_.overviewTab = tab("TabSheet1");
    w_.chartTabs = {tab("TabSheet2"), tab("TabSheet3"), tab("TabSheet4"), tab("TabSheet6")};
    w_.pathListTab = tab("TabSheet7");
    w_.tableTab = tab("TabSheet5");

    BuildOverviewTab();
    BuildChartTabs();
    BuildPathListTab();
    BuildEquivalentTab();

    w_.tabs->addTab(w_.overviewTab, "Overview");
    w_.tabs->addTab(w_.chartTabs[0], "Lens Length");
    w_.tabs->addTab(w_.chartTabs[1], "ISO");
    w_.tabs->addTab(w_.chartTabs[2], "Aperture");
    w_.tabs->addTab(w_.chartTabs[3], "Shutter Speed");
    w_.tabs->addTab(w_.pathListTab, "Path list + Image");
    w_.tabs->addTab(w_.tableTab, "Equivalent list");
}

void LayoutBuilder::BuildOverviewTab() {
    auto* overview = new QVBoxLayout(w_.overviewTab);
    overview->setContentsMargins(0, 0, 0, 0);
    overview->setSpacing(0);
    w_.overviewPanel = new QWidget(w_.overviewTab);
    w_.overviewPanel->setObjectName("PanelOverview");
    overview->addWidget(w_.overviewPanel, 1);
    w_.overviewBar = Panel(w_.overviewTab, "Panel11");
    FixHeight(w_.overviewBar, kOverviewBarHeight);
    auto* overviewBar = new QHBoxLayout(w_.overviewBar);
    overviewBar->setContentsMargins(4, 0, 4, 0);
    overviewBar->addStretch(1);
    w_.resetZoomsButton = GlyphButton(w_.overviewBar, "LbSpeedButton8", QStyle::SP_BrowserReload, {},
                                      "Reset overview zooms and scrolls", false);
    overviewBar->addWidget(w_.resetZoomsButton);
    overview->addWidget(w_.overviewBar);
}

// Each chart tab: the chart's place above a bottom button bar.
void LayoutBuilder::BuildChartTabs() {
    const std::array<QWidget*, 4>& own = w_.chartTabs;
    for (std::size_t i = 0; i < 4; ++i) {
        auto* layout = new QVBoxLayout(own[i]);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        w_.chartHosts[i] = new QWidget(own[i]);
        w_.chartHosts[i]->setObjectName(QString("ChartHost%1").arg(i + 5));
        auto* hostLayout = new QVBoxLayout(w_.chartHosts[i]);
        hostLayout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(w_.chartHosts[i], 1);
    }
    own[0]->layout()->addWidget(BuildLensBar());
    static constexpr const char* kBarNames[] = {"Panel5", "Panel4", "Panel8", "Panel9"};
    for (int i = 1; i < 4; ++i) {
        const auto k = static_cast<std::size_t>(i);
        w_.chartBars[k] = BuildChartBar(i, i == 3 ? BuildShutterOptions() : nullptr);
        w_.chartBars[k]->setObjectName(kBarNames[k]);
        own[k]->layout()->addWidget(w_.chartBars[k]);
    }
}

QWidget* LayoutBuilder::BuildShutterOptions() {
    auto* shutterOptions = new QWidget;
    auto* shutterLayout = new QVBoxLayout(shutterOptions);
    shutterLayout->setContentsMargins(0, 0, 0, 0);
    w_.fractionShutterCheck = CheckBox(shutterOptions, "ChB_Raw", "1/100 format", true);
    auto* label11 = Label(shutterOptions, "Label11",
                          "Note: if checked, some shutters speed fractions will be rounded, unchecked shows results in "
                          "0,0000 format.");
    label11->setWordWrap(true);
    shutterLayout->addWidget(w_.fractionShutterCheck);
    shutterLayout->addWidget(label11);
    return shutterOptions;
}

QFrame* LayoutBuilder::BuildChartBar(int index, QWidget* extra) {
    auto* bar = Panel(nullptr, "");
    FixHeight(bar, kLensBarHeight);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(6, 2, 4, 2);
    if (extra != nullptr) layout->addWidget(extra, 1);
    layout->addStretch(extra != nullptr ? 0 : 1);
    static constexpr const char* kFitNames[] = {"LbSpeedButton1", "LbSpeedButton2", "LbSpeedButton3", "LbSpeedButton4"};
    static constexpr const char* kSaveNames[] = {"LbSaveDate", "LbSpeedButton5", "LbSpeedButton6", "LbSpeedButton7"};
    const auto i = static_cast<std::size_t>(index);
    QToolButton* fit = w_.fitButtons[i] =
        GlyphButton(bar, kFitNames[i], QStyle::SP_BrowserReload, "Fit graph", "Reset scroll and zoom", false);
    QToolButton* save = w_.saveButtons[i] =
        GlyphButton(bar, kSaveNames[i], QStyle::SP_DialogSaveButton, "Save", "Save graph as bmp", true);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(0);
    buttons->addWidget(fit);
    buttons->addWidget(save);
    fit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    save->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    layout->addLayout(buttons);
    return bar;
}

QFrame* LayoutBuilder::BuildLensBar() {
    QWidget* steps = BuildStepsGroup();
    QFrame* manualFactor = BuildManualFactorPanel();
    auto* extra = new QWidget;
    auto* extraLayout = new QHBoxLayout(extra);
    extraLayout->setContentsMargins(0, 0, 0, 0);
    extraLayout->addWidget(steps);
    extraLayout->addWidget(manualFactor, 1);
    w_.chartBars[0] = BuildChartBar(0, extra);
    w_.chartBars[0]->setObjectName("Panel5");
    return w_.chartBars[0];
}

QWidget* LayoutBuilder::BuildStepsGroup() {
    auto* steps = new QWidget;
    auto* stepsGrid = new QGridLayout(steps);
    stepsGrid->setContentsMargins(0, 0, 0, 0);
    stepsGrid->setVerticalSpacing(2);
    w_.ignoreSpin = SpinBox(steps, "SpinEdit2", 0, 49, 28, "Ignores steps for wide angle lenzes");
    w_.stepSpin = SpinBox(steps, "SpinEdit1", 1, 50, 10, "You need to re-analyse when you change the steps value");
    w_.stepsCheck = CheckBox(steps, "ChBoxSteps", "Use steps", true);
    QToolButton* realLength = w_.realLengthButton = new QToolButton(steps);
    realLength->setObjectName("LbSetforRealLength");
    realLength->setCheckable(true);
    realLength->setText("Real length");
    realLength->setToolTip("Toggle - Real lens calculation only - Custom settings");
    stepsGrid->addWidget(Label(steps, "Label5", "Ignore"), 0, 0);
    stepsGrid->addWidget(w_.ignoreSpin, 0, 1);
    stepsGrid->addWidget(Label(steps, "Label2", "Steps"), 0, 2);
    stepsGrid->addWidget(w_.stepSpin, 0, 3);
    stepsGrid->addWidget(w_.stepsCheck, 1, 0, 1, 2);
    stepsGrid->addWidget(realLength, 1, 2, 1, 2);
    return steps;
}

QFrame* LayoutBuilder::BuildManualFactorPanel() {
    QFrame* panel = w_.manualFactorPanel = Panel(nullptr, "MMPanel");
    panel->setFrameShape(QFrame::StyledPanel);
    auto* mm = new QGridLayout(panel);
    mm->setContentsMargins(4, 1, 4, 1);
    mm->setVerticalSpacing(1);
    auto* label1 =
        Label(panel, "Label1", "35mm equivalent values (used only when the 35mm equivalent is not found in the exif).");
    label1->setWordWrap(true);
    w_.lensLengthEdit = Edit(panel, "Edit1", "8,2", {});
    w_.equivalentEdit = Edit(panel, "Edit2", "38", {});
    for (QLineEdit* edit : {w_.lensLengthEdit, w_.equivalentEdit}) {
        edit->setMaxLength(static_cast<int>(settings::kLensTextLength));
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance("00000") + 14);
    }
    auto* equals = Label(panel, "LabelEquals", "=");
    QFont bold = equals->font();
    bold.setBold(true);
    equals->setFont(bold);
    w_.alwaysCalculateCheck = CheckBox(panel, "Ch_AlwaysCalc", "Always calculate", false);
    auto* fields = new QHBoxLayout;
    fields->addWidget(w_.lensLengthEdit);
    fields->addWidget(equals);
    fields->addWidget(w_.equivalentEdit);
    fields->addStretch(1);
    mm->addWidget(label1, 0, 0, 2, 1);
    mm->addLayout(fields, 0, 1);
    mm->addWidget(w_.alwaysCalculateCheck, 1, 1);
    mm->setColumnStretch(0, 1);
    return panel;
}

void LayoutBuilder::BuildPathListTab() {
    auto* page = new QVBoxLayout(w_.pathListTab);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    auto* upper = new QHBoxLayout;
    upper->setSpacing(0);
    upper->addWidget(BuildPreviewPanel());

    QPlainTextEdit* list = w_.pathList = new QPlainTextEdit(w_.pathListTab);
    list->setObjectName("RichEdit1");
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The lines are laid out in columns: "___24 mm = 24.00 mm - ..." only lines up in a fixed pitch.
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list->setReadOnly(true);
    list->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    upper->addWidget(list, 1);
    page->addLayout(upper, 1);
    page->addWidget(BuildPathListBar());
}

QFrame* LayoutBuilder::BuildPreviewPanel() {
    QFrame* panel = w_.previewPanel = Panel(w_.pathListTab, "Panel7");
    panel->setFixedWidth(kPreviewPanelWidth);
    auto* previewColumn = new QVBoxLayout(panel);
    previewColumn->setContentsMargins(1, 1, 1, 1);
    previewColumn->setSpacing(0);
    auto* panel15 = Panel(panel, "Panel15");
    panel15->setFixedSize(kPreviewSize, kPreviewSize);
    Fill(panel15, Qt::black);
    auto* squareLayout = new QVBoxLayout(panel15);
    squareLayout->setContentsMargins(0, 0, 0, 0);
    w_.preview = Label(panel15, "Image3", {});
    w_.preview->setAlignment(Qt::AlignCenter);
    squareLayout->addWidget(w_.preview);
    w_.previewText = Label(panel, "Label20", "Click on a line to show image!");
    w_.previewText->setWordWrap(true);
    w_.previewText->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Fill(w_.previewText, QColor(255, 251, 240));
    previewColumn->addWidget(panel15);
    previewColumn->addWidget(w_.previewText, 1);
    return panel;
}

QFrame* LayoutBuilder::BuildPathListBar() {
    QFrame* panel = w_.pathListBar = Panel(w_.pathListTab, "Panel10");
    auto* bar = new QHBoxLayout(panel);
    bar->setContentsMargins(4, 2, 4, 2);
    auto* group = new QGroupBox(panel);
    group->setObjectName("RadioGroup1");
    group->setToolTip("When changing settings you need to reanayse te recreate the list");
    w_.pathListQuantity = new QButtonGroup(&window_);
    w_.pathListQuantity->setObjectName("RadioGroup1Buttons");
    auto* radios = new QGridLayout(group);
    radios->setContentsMargins(4, 2, 4, 2);
    radios->setVerticalSpacing(0);
    const char* items[] = {"Focal length", "ISO", "Aperture", "Shutter"};
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(items[i], group);
        w_.pathListQuantity->addButton(radio, i);
        radios->addWidget(radio, i % 2, i / 2);
    }
    w_.pathListQuantity->button(0)->setChecked(true);
    bar->addWidget(group);
    auto* texts = new QVBoxLayout;
    auto* label12 = Label(panel, "Label12",
                          "Select an option on the left to use in the list. Use this list to find out where the files "
                          "are located.");
    label12->setWordWrap(true);
    w_.makerNoteCheck = CheckBox(panel, "CB_MakerNote", "Add Maker Note to path list", false);
    texts->addWidget(label12);
    texts->addWidget(w_.makerNoteCheck);
    bar->addLayout(texts, 1);
    w_.savePathListButton =
        GlyphButton(panel, "Lb_SaveRichedit", QStyle::SP_DialogSaveButton, "Save", "Save as tekst file", false);
    bar->addWidget(w_.savePathListButton, 0, Qt::AlignRight | Qt::AlignBottom);
    return panel;
}

void LayoutBuilder::BuildEquivalentTab() {
    auto* page = new QVBoxLayout(w_.tableTab);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    w_.tableText = new QPlainTextEdit(w_.tableTab);
    w_.tableText->setObjectName("Memo1");
    w_.tableText->setLineWrapMode(QPlainTextEdit::NoWrap);
    page->addWidget(w_.tableText, 1);
    w_.tableBar = Panel(w_.tableTab, "Panel12");
    FixHeight(w_.tableBar, kOverviewBarHeight + 4);
    page->addWidget(w_.tableBar);
}

}  // namespace

WindowWidgets BuildWindowLayout(QMainWindow& window) {
    return LayoutBuilder(window).Build();
}

void SetIndicatorLook(QLabel* indicator, const IndicatorLook& look) {
    QPalette palette = indicator->palette();
    palette.setColor(QPalette::Window, ToQt(look.Background));
    palette.setColor(QPalette::WindowText, ToQt(look.Text));
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
