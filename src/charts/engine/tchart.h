#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "charts/engine/bar_series.h"
#include "charts/engine/chart_layout.h"
#include "charts/engine/chart_view.h"

class QPainter;
class QToolButton;

namespace quorvela::charts {

struct ChartFonts;
class QtTextMeasure;

enum class GradientDirection { TopBottom, BottomTop };

// The readable state of one axis.
struct AxisState {
    double Minimum = 0;
    double Maximum = 0;
};

// A bar chart drawn with QPainter. Holds its series, the view state (zoom, pan, paging) and
// the look; the geometry comes from ComputeLayout, so this class only paints and turns mouse
// gestures into view changes.
//
// Mouse: left drag towards the bottom right zooms into the dragged rectangle (when AllowZoom);
// a left drag the other way restores the automatic scales; right drag pans; a left click on a
// bar selects its point and chooses it (only selects it, with the selection kept; a double-click
// on the bar chooses it then). Keys: the arrows, Home and End select a point, stepping over
// gaps, and show the selected bar's tooltip; Enter or Space chooses the selected one. Over a bar
// or its label, the tooltip gives the whole label, the value and its share.
class TChart : public QWidget {
  public:
    using ChartEvent = std::function<void(TChart&)>;
    using MouseEvent = std::function<void(TChart&, int x, int y)>;
    using PointEvent = std::function<void(TChart&, int point)>;

    explicit TChart(QWidget* parent = nullptr);
    ~TChart() override;

    // Series: owned by the chart, drawn side by side in the order they were added.
    TBarSeries& AddBarSeries();
    [[nodiscard]] int SeriesCount() const { return static_cast<int>(series_.size()); }
    [[nodiscard]] TBarSeries& Series(int index) { return *series_.at(static_cast<std::size_t>(index)); }

    // Look.
    void SetTitle(const QString& title);
    [[nodiscard]] QString Title() const { return title_; }
    void SetTitleAlignment(HAlign align);
    [[nodiscard]] HAlign TitleAlignment() const { return titleAlign_; }
    void SetLeftAxisTitle(const QString& title);
    [[nodiscard]] QString LeftAxisTitle() const { return leftTitle_; }
    void SetGradient(QColor start, QColor end, GradientDirection direction);
    [[nodiscard]] GradientDirection GradientDir() const { return gradientDirection_; }
    [[nodiscard]] QColor GradientStart() const { return gradientStart_; }
    [[nodiscard]] QColor GradientEnd() const { return gradientEnd_; }
    // Fill of the back, left and bottom walls; none lets the background show through.
    void SetWallColor(std::optional<QColor> color);
    [[nodiscard]] std::optional<QColor> WallColor() const { return wallColor_; }
    void SetBorderVisible(bool visible);
    [[nodiscard]] bool BorderVisible() const { return border_; }
    void SetLegendVisible(bool visible);
    [[nodiscard]] bool LegendVisible() const { return legend_; }
    void SetGridColor(QColor color);
    // How numbers are written on the axes and in the marks.
    void SetNumberSeparators(NumberSeparators separators);

    // 3D.
    void SetView3D(bool on);
    [[nodiscard]] bool View3D() const { return view3D_; }
    void SetChart3DPercent(int percent);
    [[nodiscard]] int Chart3DPercent() const { return chart3DPercent_; }

    // Zoom, pan and paging.
    void SetAllowZoom(bool allow) { allowZoom_ = allow; }
    [[nodiscard]] bool AllowZoom() const { return allowZoom_; }
    void SetAnimatedZoom(bool animated) { animatedZoom_ = animated; }
    [[nodiscard]] bool AnimatedZoom() const { return animatedZoom_; }
    // True while the drawn axes are still moving towards a new zoom or page.
    [[nodiscard]] bool Animating() const { return animationTimer_.isActive(); }
    [[nodiscard]] bool Zoomed() const { return view_.Zoomed(); }
    // Restores the automatic scales, raises OnUndoZoom (the chart still reads as zoomed
    // there), then clears the zoomed state.
    void UndoZoom();
    // Zooms into a rectangle given in widget pixels, as the mouse gesture does.
    bool ZoomRect(const QRect& pixels);
    void SetMaxPointsPerPage(int n);
    [[nodiscard]] int MaxPointsPerPage() const { return view_.MaxPointsPerPage(); }
    // Paging (see ChartView): the two arrow buttons at the top left ("PagePrevious",
    // "PageNext") show while there is more than one page. ShowPage raises OnScroll when the
    // view moved.
    [[nodiscard]] int PageCount() const { return view_.PageCount(); }
    [[nodiscard]] int Page() const { return view_.Page(); }
    bool ShowPage(int page);
    [[nodiscard]] AxisState BottomAxis() const;
    [[nodiscard]] AxisState TopAxis() const { return BottomAxis(); }  // the top axis follows the bottom one
    [[nodiscard]] AxisState LeftAxis() const;
    [[nodiscard]] const ChartView& View() const { return view_; }

    // A band shaded behind the bars of a run of points; none clears it.
    void SetBand(std::optional<PointSpan> band);
    [[nodiscard]] const std::optional<PointSpan>& Band() const { return band_; }
    // The selected point (-1 for none), outlined while the chart has the keyboard focus. Selecting
    // a point on another page shows that page.
    void SelectPoint(int point);
    [[nodiscard]] int SelectedPoint() const { return selected_; }
    // A chart whose selection stands for what is shown beside it: the selection stays outlined
    // without the focus, and a click only selects (choosing takes a double-click or Enter).
    void SetSelectionKept(bool kept);
    [[nodiscard]] bool SelectionKept() const { return selectionKept_; }
    // The tooltip at `at`: over a bar or its label, PointText; empty elsewhere.
    [[nodiscard]] QString ToolTipAt(QPoint at) const;
    // A point's whole label, value and share of its series, "50: 140 (12.3 %)"; empty for a gap.
    [[nodiscard]] QString PointText(int point) const;

    // Events, raised after the change they report.
    ChartEvent OnZoom;
    ChartEvent OnUndoZoom;
    ChartEvent OnScroll;
    ChartEvent OnDblClick;
    MouseEvent OnMouseMove;
    PointEvent OnPointChosen;  // a click on a bar, or Enter on the selected point
    // The selection moved (by the mouse, the keys, the focus or SelectPoint); -1 for none.
    PointEvent OnPointSelected;

    // Geometry of the chart at its current size and view (what the next paint draws once any
    // zoom animation has finished).
    [[nodiscard]] ChartLayout CurrentLayout() const;
    // Paints the whole chart into `painter` at `size`, with the final (not animated) view.
    void Draw(QPainter& painter, QSize size) const;
    // The chart at its current size with `caption` wrapped under it (none when empty).
    [[nodiscard]] QImage RenderImage(const QString& caption = {}) const;
    // Writes the chart at its current size, `caption` under it, as a "png", "bmp" or "svg" file,
    // through a temporary file in the same folder renamed over `fileName`. False when the file
    // could not be written.
    bool SaveImage(const QString& fileName, const char* format, const QString& caption) const;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    enum class Drag { None, Zoom, Pan };
    static constexpr int kPagerWidth = 36;  // the two arrow buttons and a gap before the status text

    void SeriesChanged();
    void ShowRanges(const ViewRanges& from);  // animates towards the view's current ranges
    void AnimationTick();
    [[nodiscard]] ChartLayout LayoutFor(QSize size, const ViewRanges& ranges) const;
    void Paint(QPainter& painter, const ChartLayout& layout) const;
    // The stages of Paint, back to front.
    void PaintWalls(QPainter& painter, const ChartLayout& layout) const;
    void PaintBars(QPainter& painter, const ChartLayout& layout) const;
    void PaintAxes(QPainter& painter, const ChartLayout& layout) const;
    void PaintMarksAndLegend(QPainter& painter, const ChartLayout& layout) const;
    void PaintStatus(QPainter& painter, const ChartLayout& layout) const;
    // The saved image: the chart and its caption below, on white.
    [[nodiscard]] QSize ImageSize(const QString& caption) const;
    void PaintImage(QPainter& painter, const QString& caption) const;
    void UpdatePager();
    // PointText in a tooltip over the point's bar, as the mouse would show it; nothing out of view.
    void ShowPointText(int point);
    [[nodiscard]] int PointCount() const;
    void ClickAt(QPoint at);
    // Whether a point has a bar to select: a gap has none.
    [[nodiscard]] bool Selectable(int point) const;
    // From `from` on in steps of `step` (-1 or 1), the first selectable point; -1 when none.
    [[nodiscard]] int SelectableFrom(int from, int step) const;
    // The point whose bar or bottom label is at `at`; -1 when none is.
    [[nodiscard]] int PointOrLabelAt(QPoint at) const;
    void PaintBand(QPainter& painter, const ChartLayout& layout) const;
    void PaintSelection(QPainter& painter, const ChartLayout& layout) const;
    [[nodiscard]] double MaxLabelWidth() const;
    [[nodiscard]] const ChartFonts& Fonts() const;
    [[nodiscard]] const QtTextMeasure& Measure() const;

    std::vector<std::unique_ptr<TBarSeries>> series_;
    ChartView view_;
    QString title_;
    HAlign titleAlign_ = HAlign::Center;
    QString leftTitle_;
    QColor gradientStart_{Qt::white};
    QColor gradientEnd_{Qt::white};
    GradientDirection gradientDirection_ = GradientDirection::TopBottom;
    std::optional<QColor> wallColor_;
    QColor gridColor_{160, 160, 160};
    bool border_ = true;
    bool legend_ = true;
    bool view3D_ = false;
    int chart3DPercent_ = 15;
    bool allowZoom_ = true;
    bool animatedZoom_ = false;
    NumberSeparators separators_;

    // Animation of the drawn ranges towards view_.Current().
    ViewRanges shownFrom_;
    ViewRanges shown_;
    QTimer animationTimer_;
    QElapsedTimer animationClock_;

    std::optional<PointSpan> band_;
    int selected_ = -1;
    bool selectionKept_ = false;

    Drag drag_ = Drag::None;
    bool leftPressed_ = false;  // a left press whose release may still be a click
    QPoint pressAt_;
    QPoint dragStart_;
    QPoint dragNow_;

    // Derived from the widget font; dropped when it changes.
    QToolButton* previousPage_ = nullptr;
    QToolButton* nextPage_ = nullptr;

    mutable std::unique_ptr<ChartFonts> fonts_;
    mutable std::unique_ptr<QtTextMeasure> measure_;
    mutable double labelWidthCache_ = -1;
};

}  // namespace quorvela::charts
