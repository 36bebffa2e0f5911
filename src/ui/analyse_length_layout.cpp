// The window's regions, tabs and controls with their captions, hints and starting states.
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

#include "charts/chart_set.h"
#include "ui/analyse_length.h"

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

}  // namespace

void TAnalyseLength::BuildWindow() {
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName("Splitter1");
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(BuildLeftPanel());

    Panel1 = new QWidget(Splitter1);
    Panel1->setObjectName("Panel1");
    auto* right = new QVBoxLayout(Panel1);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    right->addWidget(BuildTopBar());
    right->addWidget(BuildFilterPanel());
    BuildTabs();
    right->addWidget(PageControl1, 1);
    Splitter1->addWidget(Panel1);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({kTreeWidth, 855 - kTreeWidth});
    setCentralWidget(Splitter1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(true);
    setStatusBar(StatusBar1);
}

QWidget* TAnalyseLength::BuildLeftPanel() {
    Panel2 = Panel(Splitter1, "Panel2");
    Panel2->setMinimumWidth(kMinimumTreeWidth);
    auto* layout = new QVBoxLayout(Panel2);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ShellModel = new QFileSystemModel(this);
    ShellModel->setObjectName("ShellModel");
    ShellModel->setFilter(QDir::AllDirs | QDir::Drives | QDir::Hidden | QDir::NoDotAndDotDot);
    ShellModel->setReadOnly(true);
    ShellModel->setRootPath(QDir::rootPath());

    ShellTreeView1 = new QTreeView(Panel2);
    ShellTreeView1->setObjectName("ShellTreeView1");
    ShellTreeView1->setModel(ShellModel);
    for (int column = 1; column < ShellModel->columnCount(); ++column) ShellTreeView1->hideColumn(column);
    ShellTreeView1->setHeaderHidden(true);
    ShellTreeView1->setFrameShape(QFrame::NoFrame);
    ShellTreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ShellTreeView1->setContextMenuPolicy(Qt::NoContextMenu);
    ShellTreeView1->setToolTip("Select a folder with JPG files to analyse");
    // The model lists folders as they load, so rows appear above a folder selected at start
    // after it was scrolled to: the view follows it while the folders on its way load.
    connect(ShellModel, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        const QString selected = SelectedFolder();
        const QString prefix = loaded.endsWith('/') ? loaded : loaded + '/';
        if (selected == loaded || selected.startsWith(prefix)) {
            ShellTreeView1->scrollTo(ShellTreeView1->currentIndex(), QAbstractItemView::PositionAtCenter);
        }
    });
    layout->addWidget(ShellTreeView1, 1);

    Panel6 = Panel(Panel2, "Panel6");
    FixHeight(Panel6, kLinkStripHeight);
    auto* strip = new QGridLayout(Panel6);
    strip->setContentsMargins(6, 4, 6, 4);
    auto* icon1 = Label(Panel6, "Image1", {});
    icon1->setPixmap(style()->standardIcon(QStyle::SP_DirHomeIcon).pixmap(32, 32));
    icon1->setFixedSize(32, 32);
    auto* icon2 = Label(Panel6, "Image2", {});
    icon2->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    icon2->setFixedSize(32, 32);
    const QString linkStyle = "color: rgb(0, 0, 255); text-decoration: underline;";
    Label7 = Label(Panel6, "Label7", "Quorvela home page");
    Label7->setStyleSheet(linkStyle);
    Label7->setCursor(Qt::PointingHandCursor);
    Label7->setToolTip("Click here to visit the site");
    Label14 = Label(Panel6, "Label14", "Please Donate");
    Label14->setStyleSheet(linkStyle);
    Label14->setCursor(Qt::PointingHandCursor);
    strip->addWidget(icon1, 0, 0);
    strip->addWidget(Label7, 0, 1);
    strip->addWidget(icon2, 1, 0);
    strip->addWidget(Label14, 1, 1);
    strip->setColumnStretch(1, 1);
    layout->addWidget(Panel6);
    return Panel2;
}

QFrame* TAnalyseLength::BuildTopBar() {
    Panel3 = Panel(Panel1, "Panel3");
    FixHeight(Panel3, kTopBarHeight);
    auto* bar = new QHBoxLayout(Panel3);
    bar->setContentsMargins(3, 2, 3, 2);
    bar->setSpacing(3);

    StartAnalyzing = new QPushButton("Start analyzing", Panel3);
    StartAnalyzing->setObjectName("StartAnalyzing");
    StartAnalyzing->setToolTip("Select any folder with jpg files on the left to analyse");
    StopAnalyzing = new QPushButton("Stop", Panel3);
    StopAnalyzing->setObjectName("StopAnalyzing");
    StopAnalyzing->hide();
    // Both buttons take the same place; the wider decides its size so nothing moves.
    const int buttonWidth = std::max(StartAnalyzing->sizeHint().width(), StopAnalyzing->sizeHint().width());
    StartAnalyzing->setFixedSize(buttonWidth, kTopBarHeight - 8);
    StopAnalyzing->setFixedSize(buttonWidth, kTopBarHeight - 8);
    bar->addWidget(StartAnalyzing);
    bar->addWidget(StopAnalyzing);
    bar->addWidget(Separator(Panel3));

    auto* runGroup = new QGridLayout;
    runGroup->setVerticalSpacing(1);
    StatusPanel = Label(Panel3, "StatusPanel", QString::fromUtf8(kMode35mm.data(), kMode35mm.size()));
    StatusPanel->setFrameShape(QFrame::Panel);
    StatusPanel->setFrameShadow(QFrame::Sunken);
    StatusPanel->setAlignment(Qt::AlignCenter);
    StatusPanel->setCursor(Qt::PointingHandCursor);
    StatusPanel->setToolTip("If the background is red, you need to (re)analyse");
    StatusPanel->setMinimumWidth(StatusPanel->fontMetrics().horizontalAdvance("Real lens length") + 16);
    SetStatusPanelLook(kIndicatorStart);
    ChB_Subs = CheckBox(Panel3, "ChB_Subs", "Include subfolders", true);
    Cb_Custom = CheckBox(Panel3, "Cb_Custom", "Filter", false, "Select to filter for camera make and/or model");
    runGroup->addWidget(StatusPanel, 0, 0, 1, 2);
    runGroup->addWidget(ChB_Subs, 1, 0);
    runGroup->addWidget(Cb_Custom, 1, 1);
    bar->addLayout(runGroup);
    bar->addWidget(Separator(Panel3));

    auto* progress = new QGridLayout;
    progress->setVerticalSpacing(1);
    Label3 = Label(Panel3, "Label3", "Collecting files");
    Label4 = Label(Panel3, "Label4", "Analyzing files");
    ProgrBarCollect = new QProgressBar(Panel3);
    ProgrBarCollect->setObjectName("ProgrBarCollect");
    ProgrBarAnalyse = new QProgressBar(Panel3);
    ProgrBarAnalyse->setObjectName("ProgrBarAnalyse");
    for (QProgressBar* bar2 : {ProgrBarCollect, ProgrBarAnalyse}) {
        bar2->setRange(0, 100);
        bar2->setValue(0);
        bar2->setTextVisible(false);
        bar2->setFixedHeight(14);
        bar2->setMinimumWidth(50);
    }
    progress->addWidget(Label3, 0, 0);
    progress->addWidget(ProgrBarCollect, 0, 1);
    progress->addWidget(Label4, 1, 0);
    progress->addWidget(ProgrBarAnalyse, 1, 1);
    progress->setColumnStretch(1, 1);
    bar->addLayout(progress, 1);
    bar->addWidget(Separator(Panel3));

    auto* options = new QGridLayout;
    options->setVerticalSpacing(1);
    ChB3D = CheckBox(Panel3, "ChB3D", "3D", false);
    ComboBoxValue = new QComboBox(Panel3);
    ComboBoxValue->setObjectName("ComboBoxValue");
    for (std::string_view mode : kStatisticsModes) ComboBoxValue->addItem(QString::fromUtf8(mode.data(), mode.size()));
    ComboBoxValue->setCurrentIndex(0);
    // Narrow in a small window; the open list shows the entries in full.
    ComboBoxValue->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ComboBoxValue->setMinimumContentsLength(11);
    ComboBoxValue->setToolTip("Select statistics");
    SpinEdit3 = SpinBox(Panel3, "SpinEdit3", -10, 110, 0,
                        "Stretch horizontaly, set max. points for the charts, default 0 is off");
    SpinEdit3->setSingleStep(10);
    SpinEdit3->findChild<QLineEdit*>()->setReadOnly(true);  // the arrows only: typed values would skip the wrap
    LbSpeedButton9 = GlyphButton(Panel3, "LbSpeedButton9", QStyle::SP_TitleBarContextHelpButton, {}, "Help", true);
    ChBbar = CheckBox(Panel3, "ChBbar", "Bar graph", true);
    ChBbar->hide();
    options->addWidget(ChB3D, 0, 0);
    options->addWidget(ComboBoxValue, 0, 1);
    options->addWidget(SpinEdit3, 1, 0);
    options->addWidget(LbSpeedButton9, 1, 1, Qt::AlignRight);
    bar->addLayout(options);
    return Panel3;
}

QFrame* TAnalyseLength::BuildFilterPanel() {
    PanelMakeModel = Panel(Panel1, "PanelMakeModel");
    FixHeight(PanelMakeModel, kFilterPanelHeight);
    Fill(PanelMakeModel, QColor(166, 202, 240));
    // Texts on the blue panel stay dark whatever the desktop's colour scheme.
    QPalette text = PanelMakeModel->palette();
    text.setColor(QPalette::WindowText, Qt::black);
    PanelMakeModel->setPalette(text);
    auto* grid = new QGridLayout(PanelMakeModel);
    grid->setContentsMargins(6, 3, 6, 3);
    grid->setVerticalSpacing(2);
    Label10 = Label(PanelMakeModel, "Label10",
                    "Enter camera make and/or model tag, to plot only EXIF from cameras matching these strings.");
    const QString partial = "Partial strings allowed - case independent";
    EditMake = Edit(PanelMakeModel, "EditMake", {}, partial);
    EditModel = Edit(PanelMakeModel, "EditModel", {}, partial);
    auto* label18 = Label(PanelMakeModel, "Label18", "Search for Maker Notes Enter both Label and Data Tag (optional)");
    const QString optional = "Optional, both fields need to be filled - Case independent.";
    MN_name_Edit = Edit(PanelMakeModel, "MN_name_Edit", {}, optional);
    MN_Data_Edit = Edit(PanelMakeModel, "MN_Data_Edit", {}, optional);
    auto* label19 = Label(PanelMakeModel, "Label19", "See the help how to find maker notes.");
    label19->setStyleSheet("color: rgb(255, 0, 0);");

    grid->addWidget(Label10, 0, 0, 1, 8);
    grid->addWidget(Label(PanelMakeModel, "Label8", "Make"), 1, 0);
    grid->addWidget(EditMake, 1, 1);
    grid->addWidget(Label(PanelMakeModel, "Label9", "Model"), 1, 2);
    grid->addWidget(EditModel, 1, 3, 1, 5);
    grid->addWidget(label18, 2, 0, 1, 8);
    grid->addWidget(Label(PanelMakeModel, "Label15", "Label"), 3, 0);
    grid->addWidget(MN_name_Edit, 3, 1);
    grid->addWidget(Label(PanelMakeModel, "Label17", "+"), 3, 2, Qt::AlignCenter);
    grid->addWidget(Label(PanelMakeModel, "Label16", "Data"), 3, 3);
    grid->addWidget(MN_Data_Edit, 3, 4);
    grid->addWidget(label19, 3, 5, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    grid->setColumnStretch(5, 1);
    PanelMakeModel->hide();
    return PanelMakeModel;
}

void TAnalyseLength::BuildTabs() {
    PageControl1 = new QTabWidget(Panel1);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setDocumentMode(true);
    const auto tab = [this](const char* name) {
        auto* page = new QWidget;
        page->setObjectName(name);
        return page;
    };
    TabSheet1 = tab("TabSheet1");
    TabSheet2 = tab("TabSheet2");
    TabSheet3 = tab("TabSheet3");
    TabSheet4 = tab("TabSheet4");
    TabSheet6 = tab("TabSheet6");
    TabSheet7 = tab("TabSheet7");
    TabSheet5 = tab("TabSheet5");

    auto* overview = new QVBoxLayout(TabSheet1);
    overview->setContentsMargins(0, 0, 0, 0);
    overview->setSpacing(0);
    PanelOverview = new QWidget(TabSheet1);
    PanelOverview->setObjectName("PanelOverview");
    overview->addWidget(PanelOverview, 1);
    Panel11 = Panel(TabSheet1, "Panel11");
    FixHeight(Panel11, kOverviewBarHeight);
    auto* overviewBar = new QHBoxLayout(Panel11);
    overviewBar->setContentsMargins(4, 0, 4, 0);
    overviewBar->addStretch(1);
    LbSpeedButton8 =
        GlyphButton(Panel11, "LbSpeedButton8", QStyle::SP_BrowserReload, {}, "Reset overview zooms and scrolls", false);
    overviewBar->addWidget(LbSpeedButton8);
    overview->addWidget(Panel11);

    // Each chart tab: the chart's place above a bottom button bar.
    const std::array<QWidget*, 4> own{TabSheet2, TabSheet3, TabSheet4, TabSheet6};
    for (std::size_t i = 0; i < 4; ++i) {
        auto* layout = new QVBoxLayout(own[i]);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        chartHosts_[i] = new QWidget(own[i]);
        chartHosts_[i]->setObjectName(QString("ChartHost%1").arg(i + 5));
        auto* hostLayout = new QVBoxLayout(chartHosts_[i]);
        hostLayout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(chartHosts_[i], 1);
    }
    own[0]->layout()->addWidget(BuildLensBar());
    Panel4 = BuildChartBar(1, nullptr);
    Panel4->setObjectName("Panel4");
    own[1]->layout()->addWidget(Panel4);
    Panel8 = BuildChartBar(2, nullptr);
    Panel8->setObjectName("Panel8");
    own[2]->layout()->addWidget(Panel8);

    auto* shutterOptions = new QWidget;
    auto* shutterLayout = new QVBoxLayout(shutterOptions);
    shutterLayout->setContentsMargins(0, 0, 0, 0);
    ChB_Raw = CheckBox(shutterOptions, "ChB_Raw", "1/100 format", true);
    auto* label11 = Label(shutterOptions, "Label11",
                          "Note: if checked, some shutters speed fractions will be rounded, unchecked shows results in "
                          "0,0000 format.");
    label11->setWordWrap(true);
    shutterLayout->addWidget(ChB_Raw);
    shutterLayout->addWidget(label11);
    Panel9 = BuildChartBar(3, shutterOptions);
    Panel9->setObjectName("Panel9");
    own[3]->layout()->addWidget(Panel9);

    BuildPathListTab();
    BuildEquivalentTab();

    PageControl1->addTab(TabSheet1, "Overview");
    PageControl1->addTab(TabSheet2, "Lens Length");
    PageControl1->addTab(TabSheet3, "ISO");
    PageControl1->addTab(TabSheet4, "Aperture");
    PageControl1->addTab(TabSheet6, "Shutter Speed");
    PageControl1->addTab(TabSheet7, "Path list + Image");
    PageControl1->addTab(TabSheet5, "Equivalent list");
}

QFrame* TAnalyseLength::BuildChartBar(int index, QWidget* extra) {
    auto* bar = Panel(nullptr, "");
    FixHeight(bar, kLensBarHeight);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(6, 2, 4, 2);
    if (extra != nullptr) layout->addWidget(extra, 1);
    layout->addStretch(extra != nullptr ? 0 : 1);
    static constexpr const char* kFitNames[] = {"LbSpeedButton1", "LbSpeedButton2", "LbSpeedButton3", "LbSpeedButton4"};
    static constexpr const char* kSaveNames[] = {"LbSaveDate", "LbSpeedButton5", "LbSpeedButton6", "LbSpeedButton7"};
    const auto i = static_cast<std::size_t>(index);
    FitButtons[i] =
        GlyphButton(bar, kFitNames[i], QStyle::SP_BrowserReload, "Fit graph", "Reset scroll and zoom", false);
    SaveButtons[i] = GlyphButton(bar, kSaveNames[i], QStyle::SP_DialogSaveButton, "Save", "Save graph as bmp", true);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(0);
    buttons->addWidget(FitButtons[i]);
    buttons->addWidget(SaveButtons[i]);
    FitButtons[i]->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    SaveButtons[i]->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    layout->addLayout(buttons);
    return bar;
}

QFrame* TAnalyseLength::BuildLensBar() {
    auto* steps = new QWidget;
    auto* stepsGrid = new QGridLayout(steps);
    stepsGrid->setContentsMargins(0, 0, 0, 0);
    stepsGrid->setVerticalSpacing(2);
    SpinEdit2 = SpinBox(steps, "SpinEdit2", 0, 49, 28, "Ignores steps for wide angle lenzes");
    SpinEdit1 = SpinBox(steps, "SpinEdit1", 1, 50, 10, "You need to re-analyse when you change the steps value");
    ChBoxSteps = CheckBox(steps, "ChBoxSteps", "Use steps", true);
    LbSetforRealLength = new QToolButton(steps);
    LbSetforRealLength->setObjectName("LbSetforRealLength");
    LbSetforRealLength->setCheckable(true);
    LbSetforRealLength->setText("Real length");
    LbSetforRealLength->setToolTip("Toggle - Real lens calculation only - Custom settings");
    stepsGrid->addWidget(Label(steps, "Label5", "Ignore"), 0, 0);
    stepsGrid->addWidget(SpinEdit2, 0, 1);
    stepsGrid->addWidget(Label(steps, "Label2", "Steps"), 0, 2);
    stepsGrid->addWidget(SpinEdit1, 0, 3);
    stepsGrid->addWidget(ChBoxSteps, 1, 0, 1, 2);
    stepsGrid->addWidget(LbSetforRealLength, 1, 2, 1, 2);

    MMPanel = Panel(nullptr, "MMPanel");
    MMPanel->setFrameShape(QFrame::StyledPanel);
    auto* mm = new QGridLayout(MMPanel);
    mm->setContentsMargins(4, 1, 4, 1);
    mm->setVerticalSpacing(1);
    auto* label1 = Label(MMPanel, "Label1",
                         "35mm equivalent values (used only when the 35mm equivalent is not found in the exif).");
    label1->setWordWrap(true);
    Edit1 = Edit(MMPanel, "Edit1", "8,2", {});
    Edit2 = Edit(MMPanel, "Edit2", "38", {});
    for (QLineEdit* edit : {Edit1, Edit2}) {
        edit->setMaxLength(5);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance("00000") + 14);
    }
    auto* equals = Label(MMPanel, "LabelEquals", "=");
    QFont bold = equals->font();
    bold.setBold(true);
    equals->setFont(bold);
    Ch_AlwaysCalc = CheckBox(MMPanel, "Ch_AlwaysCalc", "Always calculate", false);
    auto* fields = new QHBoxLayout;
    fields->addWidget(Edit1);
    fields->addWidget(equals);
    fields->addWidget(Edit2);
    fields->addStretch(1);
    mm->addWidget(label1, 0, 0, 2, 1);
    mm->addLayout(fields, 0, 1);
    mm->addWidget(Ch_AlwaysCalc, 1, 1);
    mm->setColumnStretch(0, 1);

    auto* extra = new QWidget;
    auto* extraLayout = new QHBoxLayout(extra);
    extraLayout->setContentsMargins(0, 0, 0, 0);
    extraLayout->addWidget(steps);
    extraLayout->addWidget(MMPanel, 1);
    Panel5 = BuildChartBar(0, extra);
    Panel5->setObjectName("Panel5");
    return Panel5;
}

void TAnalyseLength::BuildPathListTab() {
    auto* page = new QVBoxLayout(TabSheet7);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    auto* upper = new QHBoxLayout;
    upper->setSpacing(0);

    Panel7 = Panel(TabSheet7, "Panel7");
    Panel7->setFixedWidth(kPreviewPanelWidth);
    auto* previewColumn = new QVBoxLayout(Panel7);
    previewColumn->setContentsMargins(1, 1, 1, 1);
    previewColumn->setSpacing(0);
    auto* panel15 = Panel(Panel7, "Panel15");
    panel15->setFixedSize(kPreviewSize, kPreviewSize);
    Fill(panel15, Qt::black);
    auto* squareLayout = new QVBoxLayout(panel15);
    squareLayout->setContentsMargins(0, 0, 0, 0);
    Image3 = Label(panel15, "Image3", {});
    Image3->setAlignment(Qt::AlignCenter);
    squareLayout->addWidget(Image3);
    Label20 = Label(Panel7, "Label20", "Click on a line to show image!");
    Label20->setWordWrap(true);
    Label20->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Fill(Label20, QColor(255, 251, 240));
    previewColumn->addWidget(panel15);
    previewColumn->addWidget(Label20, 1);
    upper->addWidget(Panel7);

    RichEdit1 = new QPlainTextEdit(TabSheet7);
    RichEdit1->setObjectName("RichEdit1");
    RichEdit1->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The lines are laid out in columns: "___24 mm = 24.00 mm - ..." only lines up in a fixed pitch.
    RichEdit1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    RichEdit1->setReadOnly(true);
    RichEdit1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    upper->addWidget(RichEdit1, 1);
    page->addLayout(upper, 1);

    Panel10 = Panel(TabSheet7, "Panel10");
    auto* bar = new QHBoxLayout(Panel10);
    bar->setContentsMargins(4, 2, 4, 2);
    RadioGroup1 = new QGroupBox(Panel10);
    RadioGroup1->setObjectName("RadioGroup1");
    RadioGroup1->setToolTip("When changing settings you need to reanayse te recreate the list");
    RadioGroup1Buttons = new QButtonGroup(this);
    RadioGroup1Buttons->setObjectName("RadioGroup1Buttons");
    auto* radios = new QGridLayout(RadioGroup1);
    radios->setContentsMargins(4, 2, 4, 2);
    radios->setVerticalSpacing(0);
    const char* items[] = {"Focal length", "ISO", "Aperture", "Shutter"};
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(items[i], RadioGroup1);
        RadioGroup1Buttons->addButton(radio, i);
        radios->addWidget(radio, i % 2, i / 2);
    }
    RadioGroup1Buttons->button(0)->setChecked(true);
    bar->addWidget(RadioGroup1);
    auto* texts = new QVBoxLayout;
    auto* label12 = Label(Panel10, "Label12",
                          "Select an option on the left to use in the list. Use this list to find out where the files "
                          "are located.");
    label12->setWordWrap(true);
    CB_MakerNote = CheckBox(Panel10, "CB_MakerNote", "Add Maker Note to path list", false);
    texts->addWidget(label12);
    texts->addWidget(CB_MakerNote);
    bar->addLayout(texts, 1);
    Lb_SaveRichedit =
        GlyphButton(Panel10, "Lb_SaveRichedit", QStyle::SP_DialogSaveButton, "Save", "Save as tekst file", false);
    bar->addWidget(Lb_SaveRichedit, 0, Qt::AlignRight | Qt::AlignBottom);
    page->addWidget(Panel10);
}

void TAnalyseLength::BuildEquivalentTab() {
    auto* page = new QVBoxLayout(TabSheet5);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    Memo1 = new QPlainTextEdit(TabSheet5);
    Memo1->setObjectName("Memo1");
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    page->addWidget(Memo1, 1);
    Panel12 = Panel(TabSheet5, "Panel12");
    FixHeight(Panel12, kOverviewBarHeight + 4);
    page->addWidget(Panel12);
}

}  // namespace quorvela::ui
