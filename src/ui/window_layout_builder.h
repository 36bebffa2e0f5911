// The layout builder's parts, shared by the files that build the window's regions
// (window_layout.cpp: the left panel, the top bar and the filter; window_tabs.cpp: the tabs).
#pragma once

#include <QColor>
#include <QString>
#include <QStyle>

#include "ui/window_layout.h"

class QGridLayout;
class QHBoxLayout;
class QSplitter;

namespace quorvela::ui::layout {

constexpr int kTreeWidth = 185;
constexpr int kLinkStripHeight = 78;
constexpr int kTopBarHeight = 50;
constexpr int kFilterPanelHeight = 104;
constexpr int kOverviewBarHeight = 26;
constexpr int kLensBarHeight = 56;
constexpr int kPreviewSize = 218;
constexpr int kPreviewPanelWidth = 220;
constexpr int kProgressMinimumWidth = 100;
constexpr int kLensSideMinimumWidth = 200;

QFrame* Panel(QWidget* parent, const char* name);
QLabel* Label(QWidget* parent, const char* name, const QString& text);
QCheckBox* CheckBox(QWidget* parent, const char* name, const QString& text, bool checked, const QString& hint = {});
QSpinBox* SpinBox(QWidget* parent, const char* name, int low, int high, int value, const QString& hint);
QLineEdit* Edit(QWidget* parent, const char* name, const QString& text, const QString& hint);
QToolButton* GlyphButton(QWidget* parent, const char* name, QStyle::StandardPixmap glyph, const QString& caption,
                         const QString& hint, bool enabled);
QFrame* Separator(QWidget* parent);
void FixHeight(QWidget* widget, int height);
void Fill(QWidget* widget, const QColor& color);
QColor ToQt(Rgb c);

// Builds the window one region at a time, in the order the controls were always made (the
// order decides the focus chain and what is drawn over what).
class LayoutBuilder {
  public:
    explicit LayoutBuilder(QMainWindow& window) : window_(window) {}
    WindowWidgets Build();

  private:
    QWidget* BuildLeftPanel();
    QLineEdit* BuildFolderEdit(QWidget* parent);
    QFrame* BuildLinkStrip(QWidget* parent);
    QFrame* BuildCacheStrip(QWidget* parent);
    QFrame* BuildTopBar();
    void BuildStartStop(QHBoxLayout* bar);
    QGridLayout* BuildRunGroup();
    QGridLayout* BuildProgressGroup();
    QGridLayout* BuildOptionsGroup();
    QFrame* BuildFilterPanel();
    void BuildLensAndPeriod(QGridLayout* grid, QWidget* panel);
    void BuildRatingFilter(QGridLayout* grid, QWidget* panel);
    void BuildTabs();
    void BuildOverviewTab();
    void BuildChartTabs();
    QFrame* BuildLensBar();
    QWidget* BuildStepsGroup();
    QFrame* BuildManualFactorPanel();
    QFrame* BuildCoverageStrip();
    QSplitter* BuildLensSides();
    QWidget* BuildLensOptions();
    QFrame* BuildChartBar(Quantity quantity, QWidget* extra);
    QWidget* BuildShutterOptions();
    void BuildPathListTab();
    QFrame* BuildPreviewPanel();
    QFrame* BuildPathListBar();
    void BuildEquivalentTab();

    QMainWindow& window_;
    WindowWidgets w_;
};

}  // namespace quorvela::ui::layout
