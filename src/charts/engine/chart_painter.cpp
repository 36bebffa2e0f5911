// Painting of TChart: turns a ChartLayout into QPainter calls.
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

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

}  // namespace

ChartFonts::ChartFonts(const QFont& base) : title(base), axis(base), axisTitle(base), mark(base) {
    title.setBold(true);
    title.setPointSizeF(base.pointSizeF() > 0 ? base.pointSizeF() + 1 : 10);
    mark.setPointSizeF(base.pointSizeF() > 1 ? base.pointSizeF() - 1 : 8);
}

const QFont& ChartFonts::Of(FontRole role) const {
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

QtTextMeasure::QtTextMeasure(const ChartFonts& fonts)
    : title_(fonts.title), axis_(fonts.axis), axisTitle_(fonts.axisTitle), mark_(fonts.mark) {}

const QFontMetricsF& QtTextMeasure::Metrics(FontRole role) const {
    switch (role) {
        case FontRole::Title:
            return title_;
        case FontRole::AxisTitle:
            return axisTitle_;
        case FontRole::Mark:
            return mark_;
        case FontRole::Axis:
        case FontRole::Legend:
            break;
    }
    return axis_;
}

double QtTextMeasure::Width(FontRole role, std::string_view text) const {
    return Metrics(role).horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

double QtTextMeasure::Height(FontRole role) const {
    return Metrics(role).height();
}

void TChart::Paint(QPainter& p, const ChartLayout& L) const {
    const ChartFonts fonts(font());
    const QRectF bounds = ToQt(L.bounds);
    const double D = L.depth;
    const QRectF plot = ToQt(L.plot);
    const QPointF back(D, -D);

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

    // Bars, left to right so that in 3D each bar hides the side of its left neighbour.
    p.save();
    p.setClipRect(QRectF(QPointF(plot.left(), plot.top() - D), QPointF(plot.right() + D, plot.bottom())));
    const TBarSeries* lastSeries = nullptr;
    QColor color, edge, topFace, sideFace;
    for (const auto& bar : L.bars) {
        const TBarSeries* s = series_[static_cast<std::size_t>(bar.series)].get();
        if (s != lastSeries) {
            lastSeries = s;
            color = ToQt(s->SeriesColor());
            edge = color.darker(170);
            topFace = color.lighter(140);
            sideFace = color.darker(135);
        }
        const QRectF f = ToQt(bar.front);
        const bool outline = f.width() >= 4;
        if (D > 0) {
            p.setPen(outline ? QPen(edge, 1) : QPen(Qt::NoPen));
            p.setBrush(sideFace);
            p.drawPolygon(Sweep(f.bottomRight(), f.topRight(), D));
            p.setBrush(topFace);
            p.drawPolygon(Sweep(f.topLeft(), f.topRight(), D));
        }
        if (outline) {
            p.setPen(QPen(edge, 1));
            p.setBrush(color);
            p.drawRect(f.adjusted(0, 0, -1, 0));
        } else {
            p.fillRect(f, color);
        }
    }
    p.restore();

    // Axes with their ticks and texts.
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(plot.topLeft(), plot.bottomLeft());
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.setFont(fonts.axis);
    const QFontMetricsF axisMetrics(fonts.axis);
    for (const auto& t : L.ticks) {
        p.drawLine(QPointF(plot.left() - 4, t.y), QPointF(plot.left(), t.y));
        const QRectF box(QPointF(L.bounds.left, t.y - axisMetrics.height() / 2),
                         QPointF(plot.left() - 6, t.y + axisMetrics.height() / 2));
        p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, Text(t.text));
    }
    if (L.labelSeries >= 0) {
        const TBarSeries& source = *series_[static_cast<std::size_t>(L.labelSeries)];
        const double h = axisMetrics.height();
        for (const auto& l : L.labels) {
            p.drawLine(QPointF(l.x, plot.bottom()), QPointF(l.x, plot.bottom() + 4));
            const QString text = Text(source.Label(l.index));
            if (L.labelsRotated) {
                p.save();
                p.translate(l.x, L.labelTop);
                p.rotate(-90);
                p.drawText(QRectF(-L.bounds.bottom, -h / 2, L.bounds.bottom, h), Qt::AlignRight | Qt::AlignVCenter,
                           text);
                p.restore();
            } else {
                p.drawText(QRectF(l.x - 200, L.labelTop, 400, h), Qt::AlignHCenter | Qt::AlignTop, text);
            }
        }
    }
    if (!leftTitle_.isEmpty()) {
        p.save();
        p.setFont(fonts.axisTitle);
        const double cy = (plot.top() + plot.bottom()) / 2;
        p.translate(L.leftTitleBox.left, cy);
        p.rotate(-90);
        p.drawText(QRectF(-L.bounds.bottom, 0, 2 * L.bounds.bottom, L.leftTitleBox.Width()),
                   Qt::AlignHCenter | Qt::AlignTop, leftTitle_);
        p.restore();
    }
    if (!title_.isEmpty()) {
        p.setFont(fonts.title);
        p.drawText(ToQt(L.titleBox), Qt::AlignLeft | Qt::AlignTop, title_);
    }

    // Marks: a leader line from the bar to a small text box.
    p.setFont(fonts.mark);
    for (const auto& m : L.marks) {
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.drawLine(QPointF(m.anchor.x, m.anchor.y), QPointF(m.arrowEnd.x, m.arrowEnd.y));
        p.setBrush(QColor(255, 255, 225));
        const QRectF box = ToQt(m.box);
        p.drawRect(box);
        p.setPen(Qt::black);
        p.drawText(box, Qt::AlignCenter, Text(m.text));
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

    if (border_) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(bounds.adjusted(0, 0, -1, -1));
    }
}

}  // namespace quorvela::charts
