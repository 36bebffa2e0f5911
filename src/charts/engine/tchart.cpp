#include "charts/engine/tchart.h"

#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QToolButton>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "charts/engine/qt_text_measure.h"

namespace quorvela::charts {
namespace {

constexpr int kDragThreshold = 4;  // pixels a drag must cover before it zooms or undoes
constexpr int kAnimationMs = 250;
constexpr int kAnimationFrameMs = 15;
constexpr int kPagerButton = 16;  // fits the title band
constexpr int kPagerLeft = 6;

QToolButton* PagerButton(QWidget* chart, const char* name, Qt::ArrowType arrow, const QString& hint, int x) {
    auto* button = new QToolButton(chart);
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setAutoRaise(false);  // framed: seen as buttons even before the mouse finds them
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(hint);
    button->setGeometry(x, kPagerLeft - 1, kPagerButton, kPagerButton);
    button->hide();
    return button;
}

}  // namespace

TChart::TChart(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The right button pans; a context menu of a parent must not interrupt the drag.
    setContextMenuPolicy(Qt::PreventContextMenu);
    // Bars are chosen with the keys too: the chart takes the focus by click and by Tab.
    setFocusPolicy(Qt::StrongFocus);
    animationTimer_.setInterval(kAnimationFrameMs);
    QObject::connect(&animationTimer_, &QTimer::timeout, this, [this] { AnimationTick(); });
    shown_ = shownFrom_ = view_.Current();
    const QString dragHint = "; or drag with the right mouse button";
    previousPage_ = PagerButton(this, "PagePrevious", Qt::LeftArrow, "Previous page" + dragHint, kPagerLeft);
    nextPage_ = PagerButton(this, "PageNext", Qt::RightArrow, "Next page" + dragHint, kPagerLeft + kPagerButton);
    QObject::connect(previousPage_, &QToolButton::clicked, this, [this] { ShowPage(Page() - 1); });
    QObject::connect(nextPage_, &QToolButton::clicked, this, [this] { ShowPage(Page() + 1); });
}

bool TChart::ShowPage(int page) {
    if (!view_.ShowPage(page)) return false;
    animationTimer_.stop();
    shown_ = view_.Current();
    UpdatePager();
    update();
    if (OnScroll) OnScroll(*this);
    return true;
}

void TChart::UpdatePager() {
    const bool paged = view_.PageCount() > 1;
    previousPage_->setVisible(paged);
    nextPage_->setVisible(paged);
    previousPage_->setEnabled(view_.Page() > 0);
    nextPage_->setEnabled(view_.Page() + 1 < view_.PageCount());
}

TChart::~TChart() = default;

TBarSeries& TChart::AddBarSeries() {
    series_.push_back(std::make_unique<TBarSeries>());
    series_.back()->SetChangeListener([this] { SeriesChanged(); });
    SeriesChanged();
    return *series_.back();
}

void TChart::SeriesChanged() {
    labelWidthCache_ = -1;
    int count = 0;
    double maxValue = 0;
    bool integers = true;
    for (const auto& s : series_) {
        count = std::max(count, s->Count());
        maxValue = std::max(maxValue, s->MaxValue());
        integers = integers && s->AllIntegers();
    }
    view_.SetData(count, maxValue, integers);
    if (selected_ >= count) selected_ = count - 1;
    if (!animationTimer_.isActive()) shown_ = view_.Current();
    if (previousPage_ != nullptr) UpdatePager();
    update();
}

void TChart::SetTitle(const QString& title) {
    title_ = title;
    update();
}

void TChart::SetTitleAlignment(HAlign align) {
    titleAlign_ = align;
    update();
}

void TChart::SetLeftAxisTitle(const QString& title) {
    leftTitle_ = title;
    update();
}

void TChart::SetGradient(QColor start, QColor end, GradientDirection direction) {
    gradientStart_ = start;
    gradientEnd_ = end;
    gradientDirection_ = direction;
    update();
}

void TChart::SetWallColor(std::optional<QColor> color) {
    wallColor_ = color;
    update();
}

void TChart::SetBorderVisible(bool visible) {
    border_ = visible;
    update();
}

void TChart::SetLegendVisible(bool visible) {
    legend_ = visible;
    update();
}

void TChart::SetGridColor(QColor color) {
    gridColor_ = color;
    update();
}

void TChart::SetNumberSeparators(NumberSeparators separators) {
    separators_ = std::move(separators);
    update();
}

void TChart::SetView3D(bool on) {
    view3D_ = on;
    update();
}

void TChart::SetChart3DPercent(int percent) {
    chart3DPercent_ = std::clamp(percent, 0, 100);
    update();
}

void TChart::SetMaxPointsPerPage(int n) {
    const ViewRanges from = shown_;
    view_.SetMaxPointsPerPage(n);
    ShowRanges(from);
    UpdatePager();
}

AxisState TChart::BottomAxis() const {
    return {view_.BottomMinimum(), view_.BottomMaximum()};
}

AxisState TChart::LeftAxis() const {
    return {view_.LeftMinimum(), view_.LeftMaximum()};
}

void TChart::UndoZoom() {
    const ViewRanges from = shown_;
    view_.Restore();
    ShowRanges(from);
    UpdatePager();
    if (OnUndoZoom) OnUndoZoom(*this);
    view_.ClearZoomed();
}

bool TChart::ZoomRect(const QRect& pixels) {
    const ChartLayout layout = LayoutFor(size(), shown_);
    const double l = std::clamp<double>(pixels.left(), layout.plot.left, layout.plot.right);
    const double r = std::clamp<double>(pixels.right(), layout.plot.left, layout.plot.right);
    const double t = std::clamp<double>(pixels.top(), layout.plot.top, layout.plot.bottom);
    const double b = std::clamp<double>(pixels.bottom(), layout.plot.top, layout.plot.bottom);
    if (r - l < 1 || b - t < 1) return false;
    const ViewRanges from = shown_;
    const ViewRanges target{{layout.x.ToValue(l), layout.x.ToValue(r)}, {layout.y.ToValue(b), layout.y.ToValue(t)}};
    if (!view_.Zoom(target)) return false;
    ShowRanges(from);
    UpdatePager();
    if (OnZoom) OnZoom(*this);
    return true;
}

void TChart::ShowRanges(const ViewRanges& from) {
    if (!animatedZoom_ || from == view_.Current() || !isVisible()) {
        animationTimer_.stop();
        shown_ = view_.Current();
        update();
        return;
    }
    shownFrom_ = from;
    shown_ = from;
    animationClock_.start();
    animationTimer_.start();
}

void TChart::AnimationTick() {
    const double t = std::min(1.0, static_cast<double>(animationClock_.elapsed()) / kAnimationMs);
    const double eased = 1 - std::pow(1 - t, 3);
    shown_ = t >= 1 ? view_.Current() : Blend(shownFrom_, view_.Current(), eased);
    if (t >= 1) animationTimer_.stop();
    update();
}

const ChartFonts& TChart::Fonts() const {
    if (!fonts_) fonts_ = std::make_unique<ChartFonts>(font());
    return *fonts_;
}

const QtTextMeasure& TChart::Measure() const {
    if (!measure_) measure_ = std::make_unique<QtTextMeasure>(Fonts());
    return *measure_;
}

double TChart::MaxLabelWidth() const {
    if (labelWidthCache_ < 0) {
        double w = 0;
        for (const auto& s : series_) {
            if (s->Count() == 0) continue;
            for (const auto& label : s->Labels()) w = std::max(w, Measure().Width(FontRole::Axis, label));
            break;  // the bottom axis shows the first series' labels
        }
        labelWidthCache_ = w;
    }
    return labelWidthCache_;
}

int TChart::PointCount() const {
    int count = 0;
    for (const auto& s : series_) count = std::max(count, s->Count());
    return count;
}

void TChart::SetBand(std::optional<PointSpan> band) {
    band_ = band;
    update();
}

void TChart::SelectPoint(int point) {
    const int count = PointCount();
    const int next = count == 0 ? -1 : std::clamp(point, -1, count - 1);
    if (next >= 0 && !Selectable(next)) return;  // a gap has nothing to select
    const bool moved = next != selected_;
    selected_ = next;
    const int perPage = view_.MaxPointsPerPage();
    if (selected_ >= 0 && PageCount() > 1 && (selected_ < BottomAxis().Minimum || selected_ > BottomAxis().Maximum)) {
        ShowPage(selected_ / perPage);
    }
    update();
    if (moved && OnPointSelected) OnPointSelected(*this, selected_);
}

void TChart::SetSelectionKept(bool kept) {
    selectionKept_ = kept;
    update();
}

bool TChart::Selectable(int point) const {
    return std::any_of(series_.begin(), series_.end(),
                       [point](const auto& s) { return point >= 0 && point < s->Count() && !s->IsGap(point); });
}

int TChart::SelectableFrom(int from, int step) const {
    for (int point = from; point >= 0 && point < PointCount(); point += step) {
        if (Selectable(point)) return point;
    }
    return -1;
}

void TChart::ClickAt(QPoint at) {
    const int point = PointAt(LayoutFor(size(), shown_), {static_cast<double>(at.x()), static_cast<double>(at.y())});
    if (point < 0) return;
    SelectPoint(point);
    if (!selectionKept_ && OnPointChosen) OnPointChosen(*this, point);
}

int TChart::PointOrLabelAt(QPoint at) const {
    const ChartLayout layout = LayoutFor(size(), shown_);
    const PointF p{static_cast<double>(at.x()), static_cast<double>(at.y())};
    if (const int point = PointAt(layout, p); point >= 0) return point;
    if (layout.labelSeries < 0) return -1;
    const TBarSeries& source = *series_[static_cast<std::size_t>(layout.labelSeries)];
    const double h = Measure().Height(FontRole::Axis);
    for (const BottomLabel& l : layout.labels) {
        const double w = Measure().Width(FontRole::Axis, l.cut.empty() ? source.Label(l.index) : l.cut);
        // Upright labels run down from the axis beside their tick; flat ones lie centred under it.
        const double across = layout.labelsRotated ? h / 2 : w / 2;
        const double down = layout.labelsRotated ? w : h;
        if (std::abs(p.x - l.x) <= across && p.y >= layout.labelTop && p.y <= layout.labelTop + down) return l.index;
    }
    return -1;
}

QString TChart::ToolTipAt(QPoint at) const {
    return PointText(PointOrLabelAt(at));
}

QString TChart::PointText(int point) const {
    for (const auto& s : series_) {
        if (point < 0 || point >= s->Count() || s->IsGap(point)) continue;
        const std::string& label = s->Label(point);
        std::string text = FormatFloat(s->ValueFormat(), s->YValue(point), separators_);
        if (s->Total() > 0) {
            text.append(" (").append(
                FormatFloat(s->Marks().PercentFormat, 100 * s->YValue(point) / s->Total(), separators_));
            text.append(")");
        }
        return QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())) + ": " +
               QString::fromStdString(text);
    }
    return {};
}

void TChart::ShowPointText(int point) {
    const QString text = PointText(point);
    for (const BarGeom& bar : CurrentLayout().bars) {
        if (point < bar.first || point > bar.last || text.isEmpty()) continue;
        const QPoint top(static_cast<int>((bar.front.left + bar.front.right) / 2), static_cast<int>(bar.front.top));
        QToolTip::showText(mapToGlobal(top), text, this);
        return;
    }
    QToolTip::hideText();
}

ChartLayout TChart::LayoutFor(QSize size, const ViewRanges& ranges) const {
    LayoutInput in;
    in.width = size.width();
    in.height = size.height();
    in.title = title_.toStdString();
    in.titleAlign = titleAlign_;
    in.leftAxisTitle = leftTitle_.toStdString();
    in.view3D = view3D_;
    in.chart3DPercent = chart3DPercent_;
    in.legendVisible = legend_;
    for (const auto& s : series_) in.series.push_back(s.get());
    in.ranges = ranges;
    in.valueStep = view_.ValueStep();
    in.separators = separators_;
    in.maxLabelWidth = MaxLabelWidth();
    in.band = band_;
    return ComputeLayout(in, Measure());
}

ChartLayout TChart::CurrentLayout() const {
    return LayoutFor(size(), view_.Current());
}

void TChart::Draw(QPainter& painter, QSize size) const {
    Paint(painter, LayoutFor(size, view_.Current()));
}

namespace {

constexpr int kCaptionMargin = 6;
constexpr int kCaptionFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

// Where the caption goes under a chart `size` high: the whole width less a margin, as high as
// its wrapped lines; empty for no caption.
QRect CaptionRect(const QFont& font, QSize size, const QString& caption) {
    if (caption.isEmpty()) return {0, size.height(), size.width(), 0};
    const QRect room(kCaptionMargin, size.height() + kCaptionMargin, std::max(size.width() - 2 * kCaptionMargin, 1),
                     1 << 16);
    const QRect used = QFontMetrics(font).boundingRect(room, kCaptionFlags, caption);
    return {room.left(), room.top(), room.width(), used.height() + kCaptionMargin};
}

}  // namespace

QSize TChart::ImageSize(const QString& caption) const {
    return {width(), CaptionRect(font(), size(), caption).bottom() + 1};
}

void TChart::PaintImage(QPainter& painter, const QString& caption) const {
    painter.fillRect(QRect(QPoint(), ImageSize(caption)), Qt::white);
    Draw(painter, size());
    if (caption.isEmpty()) return;
    painter.setPen(QColor(160, 160, 160));
    painter.drawLine(0, height(), width(), height());
    painter.setFont(font());
    painter.setPen(Qt::black);
    painter.drawText(CaptionRect(font(), size(), caption), kCaptionFlags, caption);
}

QImage TChart::RenderImage(const QString& caption) const {
    QImage image(ImageSize(caption), QImage::Format_RGB32);
    QPainter painter(&image);
    PaintImage(painter, caption);
    return image;
}

bool TChart::SaveImage(const QString& fileName, const char* format, const QString& caption) const {
    if (width() <= 0 || height() <= 0) return false;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) return false;
    bool written = false;
    if (qstrcmp(format, "svg") == 0) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(ImageSize(caption));
        svg.setViewBox(QRect(QPoint(), ImageSize(caption)));
        svg.setTitle(title_);
        svg.setDescription(caption);
        QPainter painter;
        if (painter.begin(&svg)) {
            PaintImage(painter, caption);
            written = painter.end();
        }
    } else {
        written = RenderImage(caption).save(&file, format);
    }
    if (!written) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool TChart::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = ToolTipAt(help->pos());
    if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), tip, this);
    }
    return true;
}

void TChart::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const ChartLayout layout = LayoutFor(size(), shown_);
    Paint(painter, layout);
    // The focused chart shows its selection, and a chart whose selection is shown beside it
    // always does; a saved picture never does.
    if (hasFocus() || selectionKept_) PaintSelection(painter, layout);
    if (drag_ == Drag::Zoom) {
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(dragStart_, dragNow_).normalized());
    }
}

void TChart::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        leftPressed_ = true;
        pressAt_ = pos;
    }
    if (event->button() == Qt::LeftButton && allowZoom_) {
        drag_ = Drag::Zoom;
    } else if (event->button() == Qt::RightButton) {
        drag_ = Drag::Pan;
        setCursor(Qt::ClosedHandCursor);
    } else {
        return;
    }
    dragStart_ = dragNow_ = pos;
}

void TChart::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (drag_ == Drag::Zoom) {
        dragNow_ = pos;
        update();
    } else if (drag_ == Drag::Pan) {
        const ChartLayout layout = LayoutFor(size(), shown_);
        const QPoint delta = pos - dragNow_;
        dragNow_ = pos;
        const double xppu = layout.x.PixelsPerUnit();
        const double yppu = layout.y.PixelsPerUnit();
        const double dx = xppu > 0 ? -delta.x() / xppu : 0;
        const double dy = yppu > 0 ? delta.y() / yppu : 0;
        if (view_.Pan(dx, dy)) {
            animationTimer_.stop();
            shown_ = view_.Current();
            UpdatePager();
            update();
            if (OnScroll) OnScroll(*this);
        }
    }
    if (OnMouseMove) OnMouseMove(*this, pos.x(), pos.y());
}

void TChart::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint end = event->position().toPoint();
    // A left press released where it began is a click, whether or not zooming is allowed.
    const bool click = event->button() == Qt::LeftButton && leftPressed_ &&
                       std::max(std::abs(end.x() - pressAt_.x()), std::abs(end.y() - pressAt_.y())) <= kDragThreshold;
    if (event->button() == Qt::LeftButton) leftPressed_ = false;
    const Drag drag = drag_;
    if ((drag == Drag::Zoom && event->button() == Qt::LeftButton) ||
        (drag == Drag::Pan && event->button() == Qt::RightButton)) {
        drag_ = Drag::None;
        unsetCursor();
        update();
        const int dx = end.x() - dragStart_.x();
        const int dy = end.y() - dragStart_.y();
        if (drag == Drag::Zoom && dx > kDragThreshold && dy > kDragThreshold) {
            ZoomRect(QRect(dragStart_, end));
        } else if (drag == Drag::Zoom && std::max(std::abs(dx), std::abs(dy)) > kDragThreshold && (dx < 0 || dy < 0)) {
            UndoZoom();
        }
    }
    if (click) ClickAt(end);
}

void TChart::mouseDoubleClickEvent(QMouseEvent* event) {
    drag_ = Drag::None;
    const QPoint at = event->position().toPoint();
    const int point = PointAt(LayoutFor(size(), shown_), {static_cast<double>(at.x()), static_cast<double>(at.y())});
    if (point >= 0) {
        // The first click has selected the bar; it has chosen it too unless the selection is kept.
        if (selectionKept_ && OnPointChosen) OnPointChosen(*this, point);
        return;
    }
    if (OnDblClick) OnDblClick(*this);
}

void TChart::keyPressEvent(QKeyEvent* event) {
    const int count = PointCount();
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && selected_ >= 0) {
        if (OnPointChosen) OnPointChosen(*this, selected_);
        return;
    }
    int next = selected_;
    int step = 1;  // the way past a gap
    if (key == Qt::Key_Left) {
        next = selected_ - 1;
        step = -1;
    } else if (key == Qt::Key_Right) {
        next = selected_ + 1;
    } else if (key == Qt::Key_Home) {
        next = 0;
    } else if (key == Qt::Key_End) {
        next = count - 1;
        step = -1;
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    if (count > 0) {
        if (const int found = SelectableFrom(std::clamp(next, 0, count - 1), step); found >= 0) {
            SelectPoint(found);
            // What the mouse shows over a bar, the keys show at the bar they reach.
            ShowPointText(found);
        }
    }
}

void TChart::focusInEvent(QFocusEvent* event) {
    // The keys need a point to start from: the first one in view. A click on a chart whose
    // selection is kept selects only what it hits.
    const bool byClick = event->reason() == Qt::MouseFocusReason && selectionKept_;
    if (selected_ < 0 && PointCount() > 0 && !byClick) {
        SelectPoint(
            SelectableFrom(std::clamp(static_cast<int>(std::ceil(BottomAxis().Minimum)), 0, PointCount() - 1), 1));
    }
    update();
    QWidget::focusInEvent(event);
}

void TChart::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void TChart::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        measure_.reset();
        fonts_.reset();
        labelWidthCache_ = -1;
    }
    QWidget::changeEvent(event);
}

}  // namespace quorvela::charts
