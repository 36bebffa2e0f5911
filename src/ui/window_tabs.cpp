// The window's tabs: the overview, the five chart tabs with their bottom bars, the path list and
// the camera table.
#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <initializer_list>

#include "settings/settings_file.h"
#include "ui/window_layout_builder.h"
#include "viewer/path_list_viewer.h"

namespace quorvela::ui::layout {

namespace {

// The preview takes a quarter of its tab's width: its least size in a small window, up to the
// largest square previews are decoded for on a large screen.
class PreviewSizer final : public QObject {
  public:
    PreviewSizer(QWidget* tab, QFrame* panel, QFrame* square) : QObject(tab), panel_(panel), square_(square) {
        tab->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            const int side = std::clamp(static_cast<QWidget*>(watched)->width() / 4, kPreviewSize,
                                        viewer::PathListViewer::kLargestPreview);
            panel_->setFixedWidth(side + kPreviewPanelWidth - kPreviewSize);
            square_->setFixedSize(side, side);
        }
        return false;
    }

  private:
    QFrame* panel_;
    QFrame* square_;
};

}  // namespace

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
    w_.chartTabs = {tab("TabSheet2"), tab("TabSheet3"),    tab("TabSheet4"),
                    tab("TabSheet6"), tab("TabSheetLens"), tab("TabSheetRating")};
    w_.pathListTab = tab("TabSheet7");
    w_.tableTab = tab("TabSheet5");

    BuildOverviewTab();
    BuildChartTabs();
    BuildPathListTab();
    BuildEquivalentTab();

    w_.tabs->addTab(w_.overviewTab, "Overview");
    static constexpr PerQuantity<const char*> kTabTitles{
        {"Lens Length", "ISO", "Aperture", "Shutter Speed", "Lens", "Rating"}};
    static_assert(EveryQuantity(kTabTitles));
    for (const Quantity q : kQuantities) w_.tabs->addTab(w_.chartTabs[q], kTabTitles[q]);
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
    // What the focal-length chart's band covers, repeated here while that chart is on the grid.
    w_.overviewCoverageText = Label(w_.overviewBar, "LabelCoverageOverview", {});
    overviewBar->addWidget(w_.overviewCoverageText, 1);
    w_.resetZoomsButton = GlyphButton(w_.overviewBar, "LbSpeedButton8", QStyle::SP_BrowserReload, {},
                                      "Reset overview zooms and scrolls", false);
    overviewBar->addWidget(w_.resetZoomsButton);
    overview->addWidget(w_.overviewBar);
}

// Each chart tab: the chart's place above a bottom button bar.
void LayoutBuilder::BuildChartTabs() {
    const PerQuantity<QWidget*>& own = w_.chartTabs;
    static constexpr PerQuantity<const char*> kHostNames{
        {"ChartHost5", "ChartHost6", "ChartHost7", "ChartHost8", "ChartHostLens", "ChartHostRating"}};
    static_assert(EveryQuantity(kHostNames));
    for (const Quantity q : kQuantities) {
        auto* layout = new QVBoxLayout(own[q]);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        w_.chartHosts[q] = new QWidget(own[q]);
        w_.chartHosts[q]->setObjectName(kHostNames[q]);
        auto* hostLayout = new QVBoxLayout(w_.chartHosts[q]);
        hostLayout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(q == Quantity::Lens ? BuildLensSides() : w_.chartHosts[q], 1);
    }
    own[Quantity::FocalLength]->layout()->addWidget(BuildCoverageStrip());
    own[Quantity::FocalLength]->layout()->addWidget(BuildLensBar());
    static constexpr PerQuantity<const char*> kBarNames{
        {"Panel5", "Panel4", "Panel8", "Panel9", "PanelLens", "PanelRating"}};
    static_assert(EveryQuantity(kBarNames));
    for (const Quantity q : kQuantities) {
        if (q == Quantity::FocalLength) continue;  // its bar is the lens bar above
        QWidget* extra = q == Quantity::Shutter ? BuildShutterOptions()
                         : q == Quantity::Lens  ? BuildLensOptions()
                                                : nullptr;
        w_.chartBars[q] = BuildChartBar(q, extra);
        w_.chartBars[q]->setObjectName(kBarNames[q]);
        own[q]->layout()->addWidget(w_.chartBars[q]);
    }
}

// Under the focal-length chart: the range whose share of the photos is asked, and the answer.
QFrame* LayoutBuilder::BuildCoverageStrip() {
    QFrame* strip = Panel(nullptr, "PanelCoverage");
    auto* layout = new QHBoxLayout(strip);
    layout->setContentsMargins(6, 2, 4, 2);
    w_.coverageEdit = Edit(strip, "EditCoverage", {},
                           "A range of focal lengths as the chart shows them, e.g. 24-70; one length alone is a prime "
                           "(within 5 %). Empty shows no band.");
    w_.coverageEdit->setPlaceholderText("e.g. 24-70");
    w_.coverageEdit->setFixedWidth(w_.coverageEdit->fontMetrics().horizontalAdvance("0000-0000 mm") + 14);
    w_.coverageText = Label(strip, "LabelCoverage", {});
    layout->addWidget(Label(strip, "LabelCoverageCaption", "Coverage (mm)"));
    layout->addWidget(w_.coverageEdit);
    layout->addWidget(w_.coverageText, 1);
    return strip;
}

// The lens chart's place, and beside it the focal lengths of the selected lens under the
// sentence on how it was used.
QSplitter* LayoutBuilder::BuildLensSides() {
    QWidget* tab = w_.chartTabs[Quantity::Lens];
    auto* sides = w_.lensSplitter = new QSplitter(Qt::Horizontal, tab);
    sides->setObjectName("SplitterLens");
    sides->setChildrenCollapsible(false);
    sides->addWidget(w_.chartHosts[Quantity::Lens]);
    QFrame* focal = Panel(sides, "PanelLensFocal");
    auto* column = new QVBoxLayout(focal);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    w_.lensUseText = Label(focal, "LabelLensUse", {});
    w_.lensUseText->setWordWrap(true);
    w_.lensUseText->setContentsMargins(6, 3, 6, 3);
    w_.lensUseText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Fill(w_.lensUseText, QColor(255, 251, 240));
    w_.lensFocalHost = new QWidget(focal);
    w_.lensFocalHost->setObjectName("ChartHostLensFocal");
    auto* hostLayout = new QVBoxLayout(w_.lensFocalHost);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    column->addWidget(w_.lensUseText);
    column->addWidget(w_.lensFocalHost, 1);
    sides->addWidget(focal);
    // The lens names need the room more than the few focal lengths of one lens; neither side
    // may shrink to nothing (the sentence's width would otherwise take the chart's).
    w_.chartHosts[Quantity::Lens]->setMinimumWidth(kLensSideMinimumWidth);
    focal->setMinimumWidth(kLensSideMinimumWidth);
    sides->setStretchFactor(0, 2);
    sides->setStretchFactor(1, 1);
    sides->setSizes({2 * kLensSideMinimumWidth, kLensSideMinimumWidth});
    return sides;
}

QWidget* LayoutBuilder::BuildLensOptions() {
    auto* options = new QWidget;
    auto* layout = new QVBoxLayout(options);
    layout->setContentsMargins(0, 0, 0, 0);
    w_.unnamedLensesCheck =
        CheckBox(options, "ChB_UnnamedLenses", "Include photos without a named lens", true,
                 "Also the bars of built-in lenses and of photos that name no lens, after the named lenses");
    layout->addWidget(w_.unnamedLensesCheck);
    return options;
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

QFrame* LayoutBuilder::BuildChartBar(Quantity quantity, QWidget* extra) {
    auto* bar = Panel(nullptr, "");
    FixHeight(bar, kLensBarHeight);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(6, 2, 4, 2);
    if (extra != nullptr) layout->addWidget(extra, 1);
    layout->addStretch(extra != nullptr ? 0 : 1);
    static constexpr PerQuantity<const char*> kFitNames{
        {"LbSpeedButton1", "LbSpeedButton2", "LbSpeedButton3", "LbSpeedButton4", "LbFitLens", "LbFitRating"}};
    static constexpr PerQuantity<const char*> kSaveNames{
        {"LbSaveDate", "LbSpeedButton5", "LbSpeedButton6", "LbSpeedButton7", "LbSaveLens", "LbSaveRating"}};
    static_assert(EveryQuantity(kFitNames) && EveryQuantity(kSaveNames));
    QToolButton* fit = w_.fitButtons[quantity] =
        GlyphButton(bar, kFitNames[quantity], QStyle::SP_BrowserReload, "Fit graph", "Reset scroll and zoom", false);
    QToolButton* save = w_.saveButtons[quantity] =
        GlyphButton(bar, kSaveNames[quantity], QStyle::SP_DialogSaveButton, "Save",
                    "Save graph as a picture: PNG, SVG or BMP, with a caption of what it shows", true);
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
    // In real-length mode the 35 mm panel is hidden: the room it leaves stays empty instead of
    // stretching the steps group, so its controls keep their sizes and places in both modes.
    extraLayout->addStretch(0);
    QFrame*& bar = w_.chartBars[Quantity::FocalLength];
    bar = BuildChartBar(Quantity::FocalLength, extra);
    bar->setObjectName("Panel5");
    return bar;
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
    // A toggle whose pressed state must be seen at a glance: sunken and highlighted when on.
    realLength->setStyleSheet(
        "QToolButton { padding: 2px 8px; border: 1px solid palette(mid); border-radius: 3px;"
        " background: palette(button); }"
        "QToolButton:checked { border: 2px inset palette(dark); background: palette(highlight);"
        " color: palette(highlighted-text); }");
    for (QWidget* fixed : std::initializer_list<QWidget*>{w_.ignoreSpin, w_.stepSpin, realLength}) {
        fixed->setFixedWidth(fixed->sizeHint().width());
    }
    steps->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
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
    // Over the list: which bar's photos it shows, with the way back to all of them.
    auto* listColumn = new QVBoxLayout;
    listColumn->setSpacing(0);
    w_.pathListHeading = Label(w_.pathListTab, "LabelPathListHeading", {});
    w_.pathListHeading->setTextFormat(Qt::RichText);
    w_.pathListHeading->setContentsMargins(6, 3, 6, 3);
    Fill(w_.pathListHeading, QColor(255, 243, 205));
    w_.pathListHeading->hide();
    listColumn->addWidget(w_.pathListHeading);
    listColumn->addWidget(list, 1);
    upper->addLayout(listColumn, 1);
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
    new PreviewSizer(w_.pathListTab, panel, panel15);
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
    static constexpr PerQuantity<const char*> kItems{{"Focal length", "ISO", "Aperture", "Shutter", "Lens", "Rating"}};
    for (const Quantity q : kQuantities) {
        const int i = static_cast<int>(IndexOf(q));
        auto* radio = new QRadioButton(kItems[q], group);
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

}  // namespace quorvela::ui::layout
