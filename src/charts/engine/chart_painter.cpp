// Painting of TChart: turns a ChartLayout into QPainter calls.
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>
#include <QStringList>
#include <algorithm>

#include "charts/engine/qt_text_measure.h"
#include "charts/engine/tchart.h"

namespace quorvela::charts {
namespace {

QRectF ToQt(const RectF& r) {
    return {QPointF(r.left, r.top), QPointF(r.right, r.bottom)};
}
QColor ToQt(Rgb c) {
    return {c.r, c.g, c.b};
}
QString Text(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A face of a 3D bar or wall: the four corners of a rectangle's edge swept into depth.
QPolygonF Sweep(QPointF a, QPointF b, double depth) {
    return QPolygonF({a, a + QPointF(depth, -depth), b + QPointF(depth, -depth), b});
}

// The depth from which on a face of bar `b` starting at screen column `x` is hidden behind a
// bar to its right: a bar j starting k columns further right covers every point of the face at
// depth k or more once its top lies at least k pixels above this bar's top (and it reaches as
// low). D when nothing covers it.
double HiddenBeyond(const std::vector<BarGeom>& bars, std::size_t b, double x, double D) {
    const RectF& own = bars[b].front;
    for (std::size_t j = b + 1; j < bars.size(); ++j) {
        const RectF& other = bars[j].front;
        const double k = other.left - x;
        if (k >= D) break;
        if (k >= 0 && other.top + k <= own.top && other.bottom >= own.bottom) return k;
    }
    return D;
}

// The pale fill of a part set apart, crossed by diagonal lines of the bar's own colour: seen on
// the widest bars by its lines, on one-pixel bars by its paleness.
QColor PartFill(const QColor& color) {
    const auto pale = [](int c) { return c + (255 - c) * 3 / 5; };
    return {pale(color.red()), pale(color.green()), pale(color.blue())};
}

void FillHatched(QPainter& p, const QPolygonF& area, const QColor& fill, const QColor& lines) {
    p.setBrush(fill);
    p.drawPolygon(area);
    p.setBrush(QBrush(lines, Qt::BDiagPattern));
    p.drawPolygon(area);
}

// How far a bar's side and top faces reach into depth (0 when flat), and how low its side.
struct Faces {
    double sideBottom = 0;
    double sideDepth = 0;
    double topDepth = 0;
};

// The part at the top of a bar, over its front and, in 3D, the faces beside and above it.
void PaintPart(QPainter& p, const BarGeom& bar, const QColor& color, const Faces& faces) {
    const QRectF part = ToQt(*bar.part);
    p.save();
    p.setPen(Qt::NoPen);
    const bool outline = bar.front.Width() >= 4;
    // Inside the outline the front keeps, so the bar's edge still frames the part.
    const QRectF front = outline ? part.adjusted(1, 1, -2, 0) : part;
    if (front.width() > 0 && front.height() > 0) FillHatched(p, QPolygonF(front), PartFill(color), color.darker(120));
    const double sideBottom = std::min(part.bottom(), faces.sideBottom);
    if (faces.sideDepth > 0 && sideBottom > part.top()) {
        const QColor side = color.darker(135);
        FillHatched(p, Sweep(QPointF(part.right(), sideBottom), part.topRight(), faces.sideDepth), PartFill(side),
                    side);
    }
    if (faces.topDepth > 0 && part.top() == bar.front.top) {
        const QColor top = color.lighter(140);
        FillHatched(p, Sweep(part.topLeft(), part.topRight(), faces.topDepth), PartFill(top), color);
    }
    p.restore();
}

}  // namespace

ChartFonts::ChartFonts(const QFont& base) : title(base), axis(base), axisTitle(base), mark(base) {
    title.setBold(true);
    title.setPointSizeF(base.pointSizeF() > 0 ? base.pointSizeF() + 1 : 10);
    mark.setPointSizeF(base.pointSizeF() > 1 ? base.pointSizeF() - 1 : 8);
}

namespace {

// Of the four things kept per font role, the one of `role`; the legend uses the axis font.
template <class T>
const T& ByRole(FontRole role, const T& title, const T& axisTitle, const T& mark, const T& axis) {
    switch (role) {
        case FontRole::Title:
            return title;
        case FontRole::AxisTitle:
            return axisTitle;
        case FontRole::Mark:
            return mark;
        case FontRole::Axis:
        case FontRole::Legend:
            break;
    }
    return axis;
}

}  // namespace

const QFont& ChartFonts::Of(FontRole role) const {
    return ByRole(role, title, axisTitle, mark, axis);
}

QtTextMeasure::QtTextMeasure(const ChartFonts& fonts)
    : title_(fonts.title), axis_(fonts.axis), axisTitle_(fonts.axisTitle), mark_(fonts.mark) {}

const QtTextMeasure::Face& QtTextMeasure::Of(FontRole role) const {
    return ByRole(role, title_, axisTitle_, mark_, axis_);
}

double QtTextMeasure::Width(FontRole role, std::string_view text) const {
    const Face& face = Of(role);
    double sum = 0;
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 128) {
            return face.metrics.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        }
        if (face.advances[code] < 0) face.advances[code] = face.metrics.horizontalAdvance(QChar(code));
        sum += face.advances[code];
    }
    return sum;
}

double QtTextMeasure::Height(FontRole role) const {
    return Of(role).metrics.height();
}

// Text drawn on its baseline from a measured width: far cheaper than boxed drawText, which lays
// every text out anew.
static void DrawAt(QPainter& p, const QFontMetricsF& fm, const QString& text, double width, double x, double centreY,
                   HAlign align) {
    const double left = align == HAlign::Left ? x : align == HAlign::Center ? x - width / 2 : x - width;
    p.drawText(QPointF(left, centreY - fm.height() / 2 + fm.ascent()), text);
}

void TChart::Paint(QPainter& p, const ChartLayout& L) const {
    PaintWalls(p, L);
    PaintBars(p, L);
    PaintAxes(p, L);
    PaintMarksAndLegend(p, L);
    PaintStatus(p, L);
    if (border_) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(ToQt(L.bounds).adjusted(0, 0, -1, -1));
    }
}

void TChart::PaintWalls(QPainter& p, const ChartLayout& L) const {
    const QRectF bounds = ToQt(L.bounds);
    const QPointF back(L.depth, -L.depth);
    const QRectF plot = ToQt(L.plot);
    const double D = L.depth;
    QLinearGradient gradient(bounds.topLeft(), bounds.bottomLeft());
    const bool down = gradientDirection_ == GradientDirection::TopBottom;
    gradient.setColorAt(0, down ? gradientStart_ : gradientEnd_);
    gradient.setColorAt(1, down ? gradientEnd_ : gradientStart_);
    p.fillRect(bounds, gradient);

    // Walls: outlines, filled only when a wall colour is set.
    p.setPen(QPen(QColor(128, 128, 128), 1));
    p.setBrush(wallColor_ ? QBrush(*wallColor_) : QBrush(Qt::NoBrush));
    if (D > 0) {
        p.drawPolygon(Sweep(plot.bottomLeft(), plot.topLeft(), D));
        p.drawPolygon(Sweep(plot.bottomLeft(), plot.bottomRight(), D));
    }
    p.drawRect(plot.translated(back));
    PaintBand(p, L);

    // Solid grid lines on the back wall (and across the side walls in 3D).
    p.setPen(QPen(gridColor_, 1, Qt::SolidLine));
    for (const auto& t : L.ticks) {
        if (t.y <= plot.top() || t.y >= plot.bottom()) continue;
        p.drawLine(QPointF(plot.left() + D, t.y - D), QPointF(plot.right() + D, t.y - D));
        if (D > 0) p.drawLine(QPointF(plot.left(), t.y), QPointF(plot.left() + D, t.y - D));
    }
    for (const auto& l : L.labels) {
        p.drawLine(QPointF(l.x + D, plot.top() - D), QPointF(l.x + D, plot.bottom() - D));
        if (D > 0) p.drawLine(QPointF(l.x, plot.bottom()), QPointF(l.x + D, plot.bottom() - D));
    }
    // A gap between groups of bars is marked, darker than the grid, so it reads as meant.
    p.setPen(QPen(QColor(90, 90, 90), 1, Qt::DashLine));
    for (const double x : L.gaps) {
        p.drawLine(QPointF(x + D, plot.top() - D), QPointF(x + D, plot.bottom() - D));
        if (D > 0) p.drawLine(QPointF(x, plot.bottom()), QPointF(x + D, plot.bottom() - D));
    }
}

// The band on the back wall and, in 3D, across the floor, so the bars stand in front of it.
void TChart::PaintBand(QPainter& p, const ChartLayout& L) const {
    if (!L.band) return;
    const QRectF band = ToQt(*L.band);
    const double D = L.depth;
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 190, 0, 90));
    p.drawRect(band.translated(D, -D));
    if (D > 0) p.drawPolygon(Sweep(band.bottomLeft(), band.bottomRight(), D));
    p.setPen(QPen(QColor(200, 140, 0), 1, Qt::DashLine));
    p.drawLine(QPointF(band.left() + D, band.top() - D), QPointF(band.left() + D, band.bottom() - D));
    p.drawLine(QPointF(band.right() + D, band.top() - D), QPointF(band.right() + D, band.bottom() - D));
    p.restore();
}

void TChart::PaintSelection(QPainter& p, const ChartLayout& L) const {
    for (const BarGeom& bar : L.bars) {
        if (selected_ < bar.first || selected_ > bar.last) continue;
        p.save();
        p.setPen(QPen(palette().color(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::Highlight), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(ToQt(bar.front).adjusted(-2, -2 - L.depth, 2 + L.depth, 1));
        p.restore();
        return;
    }
}

void TChart::PaintBars(QPainter& p, const ChartLayout& L) const {
    const QRectF plot = ToQt(L.plot);
    const double D = L.depth;
    // Bars, in the layout's left-to-right order.
    p.save();
    p.setClipRect(QRectF(QPointF(plot.left(), plot.top() - D), QPointF(plot.right() + D, plot.bottom())));
    const TBarSeries* lastSeries = nullptr;
    QColor color, edge, topFace, sideFace;
    bool outlined = false;
    p.setPen(Qt::NoPen);
    for (std::size_t b = 0; b < L.bars.size(); ++b) {
        const BarGeom& bar = L.bars[b];
        const TBarSeries* s = series_[static_cast<std::size_t>(bar.series)].get();
        if (s != lastSeries) {
            lastSeries = s;
            color = ToQt(s->SeriesColor());
            edge = color.darker(170);
            topFace = color.lighter(140);
            sideFace = color.darker(135);
            if (outlined) p.setPen(QPen(edge, 1));
        }
        const QRectF f = ToQt(bar.front);
        const bool outline = f.width() >= 4;
        Faces faces{f.bottom(), 0, 0};
        if (D > 0) {
            if (outline != outlined) p.setPen(outline ? QPen(edge, 1) : QPen(Qt::NoPen));
            outlined = outline;
            // Bars to the right hide much of this one's side and top faces; crowded 3D charts
            // would spend most of their fill work there. Thin bars (no outline) are drawn only
            // as deep and as low as they can still be seen.
            faces.sideDepth = D;
            faces.topDepth = D;
            if (!outline) {
                if (b + 1 < L.bars.size() && L.bars[b + 1].front.left == bar.front.right &&
                    L.bars[b + 1].front.bottom >= bar.front.bottom) {
                    faces.sideBottom = std::min(faces.sideBottom, L.bars[b + 1].front.top);
                }
                faces.sideDepth = HiddenBeyond(L.bars, b, bar.front.right, D);
                faces.topDepth = HiddenBeyond(L.bars, b, bar.front.left, D);
            }
            if (faces.sideBottom > f.top() && faces.sideDepth > 0) {
                p.setBrush(sideFace);
                p.drawPolygon(Sweep(QPointF(f.right(), faces.sideBottom), f.topRight(), faces.sideDepth));
            }
            if (faces.topDepth > 0) {
                p.setBrush(topFace);
                p.drawPolygon(Sweep(f.topLeft(), f.topRight(), faces.topDepth));
            }
        }
        if (outline) {
            if (!outlined) p.setPen(QPen(edge, 1));
            outlined = true;
            p.setBrush(color);
            p.drawRect(f.adjusted(0, 0, -1, 0));
        } else {
            p.fillRect(f, color);
        }
        if (bar.part) PaintPart(p, bar, color, faces);
    }
    p.restore();
}

void TChart::PaintAxes(QPainter& p, const ChartLayout& L) const {
    const ChartFonts& fonts = Fonts();
    const QRectF plot = ToQt(L.plot);
    // Axes with their ticks and texts.
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(plot.topLeft(), plot.bottomLeft());
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    const QtTextMeasure& measure = Measure();
    const auto drawUtf8 = [&](FontRole role, const QFontMetricsF& fm, const std::string& text, double x, double centreY,
                              HAlign align) {
        DrawAt(p, fm, Text(text), measure.Width(role, text), x, centreY, align);
    };
    p.setFont(fonts.axis);
    const QFontMetricsF axisMetrics(fonts.axis);
    for (const auto& t : L.ticks) {
        p.drawLine(QPointF(plot.left() - 4, t.y), QPointF(plot.left(), t.y));
        drawUtf8(FontRole::Axis, axisMetrics, t.text, plot.left() - 6, t.y, HAlign::Right);
    }
    if (L.labelSeries >= 0) {
        const TBarSeries& source = *series_[static_cast<std::size_t>(L.labelSeries)];
        const double h = axisMetrics.height();
        for (const auto& l : L.labels) p.drawLine(QPointF(l.x, plot.bottom()), QPointF(l.x, plot.bottom() + 4));
        const QTransform plain = p.worldTransform();
        for (const auto& l : L.labels) {
            const std::string& text = source.Label(l.index);
            if (L.labelsRotated) {
                // Upright, reading upwards, ending just below the axis; cut to the room under it.
                p.setWorldTransform(QTransform(plain).translate(l.x, L.labelTop).rotate(-90));
                drawUtf8(FontRole::Axis, axisMetrics, l.cut.empty() ? text : l.cut, 0, 0, HAlign::Right);
            } else {
                drawUtf8(FontRole::Axis, axisMetrics, text, l.x, L.labelTop + h / 2, HAlign::Center);
            }
        }
        p.setWorldTransform(plain);
    }
    if (!leftTitle_.isEmpty()) {
        p.save();
        p.setFont(fonts.axisTitle);
        const QFontMetricsF fm(fonts.axisTitle);
        p.translate(L.leftTitleBox.left, (plot.top() + plot.bottom()) / 2);
        p.rotate(-90);
        DrawAt(p, fm, leftTitle_, fm.horizontalAdvance(leftTitle_), 0, fm.height() / 2, HAlign::Center);
        p.restore();
    }
    if (!title_.isEmpty()) {
        p.setFont(fonts.title);
        p.drawText(QPointF(L.titleBox.left, L.titleBox.top + QFontMetricsF(fonts.title).ascent()), title_);
    }
}

void TChart::PaintMarksAndLegend(QPainter& p, const ChartLayout& L) const {
    const ChartFonts& fonts = Fonts();
    const QtTextMeasure& measure = Measure();
    const QFontMetricsF axisMetrics(fonts.axis);
    // Marks: a leader line from the bar to a small text box.
    p.setFont(fonts.mark);
    const QFontMetricsF markMetrics(fonts.mark);
    p.setBrush(QColor(255, 255, 225));
    for (const auto& m : L.marks) {
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.drawLine(QPointF(m.anchor.x, m.anchor.y), QPointF(m.arrowEnd.x, m.arrowEnd.y));
        const QRectF box = ToQt(m.box);
        p.drawRect(box);
        p.setPen(Qt::black);
        DrawAt(p, markMetrics, Text(m.text), measure.Width(FontRole::Mark, m.text), box.center().x(), box.center().y(),
               HAlign::Center);
    }

    if (!L.legendItems.empty()) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(ToQt(L.legendBox));
        p.setFont(fonts.axis);
        for (const auto& item : L.legendItems) {
            const TBarSeries& s = *series_[static_cast<std::size_t>(item.series)];
            p.setBrush(ToQt(s.SeriesColor()));
            p.drawRect(ToQt(item.swatch));
            p.drawText(QPointF(item.textOrigin.x, item.textOrigin.y + axisMetrics.ascent()), Text(s.Title()));
        }
    }
    if (L.partKey) {
        const LegendItem& key = *L.partKey;
        const TBarSeries& s = *series_[static_cast<std::size_t>(key.series)];
        const QColor color = ToQt(s.SeriesColor());
        p.setPen(Qt::NoPen);
        FillHatched(p, QPolygonF(ToQt(key.swatch)), PartFill(color), color.darker(120));
        p.setPen(QPen(color.darker(170), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(ToQt(key.swatch).adjusted(0, 0, -1, -1));
        p.setPen(Qt::black);
        p.setFont(fonts.axis);
        p.drawText(QPointF(key.textOrigin.x, key.textOrigin.y + axisMetrics.ascent()), Text(s.PartKey()));
    }
}

// Where the view stands among the pages and how many bars the marks had room for, in the
// title band beside the pager's buttons: both would otherwise go unseen.
void TChart::PaintStatus(QPainter& p, const ChartLayout& L) const {
    QStringList parts;
    const int pages = view_.PageCount();
    if (pages > 1) parts << QString("page %1 of %2").arg(view_.Page() + 1).arg(pages);
    if (L.marksLeftOut > 0) {
        const auto marked = static_cast<int>(L.marks.size());
        parts << QString("marks on %1 of %2 bars").arg(marked).arg(marked + L.marksLeftOut);
    }
    const double left = L.statusBox.left + (pages > 1 ? kPagerWidth : 0);
    const double room = L.statusBox.right - left;
    if (parts.isEmpty() || room <= 0) return;
    const QFontMetricsF metrics(Fonts().axis);
    const QString text = metrics.elidedText(parts.join(", "), Qt::ElideRight, room);
    p.setFont(Fonts().axis);
    p.setPen(QColor(60, 60, 60));
    const double centreY = (L.statusBox.top + L.statusBox.bottom) / 2;
    p.drawText(QPointF(left, centreY - metrics.height() / 2 + metrics.ascent()), text);
}

}  // namespace quorvela::charts
