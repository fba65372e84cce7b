#include "printing/engine/render/fill_painter.h"

#include <QLinearGradient>
#include <QPaintDevice>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>
#include <cmath>

namespace pbp::render {

namespace {

constexpr qreal kHairlineOnPaperPt = 0.25;

// Colour at 0 in the centre of a radial, ellipsoid, square or rectangular gradient, the start
// colour outside, as in ODF drawings; draw:border is the outer part in the start colour.
template <typename G>
void setCentreOutStops(G& gradient, const Gradient& g) {
    gradient.setColorAt(0, g.to);
    gradient.setColorAt(std::max(0.0, 1 - g.border), g.from);
    gradient.setColorAt(1, g.from);
}

QPointF gradientCentre(const Gradient& g, const QRectF& box) {
    return {box.left() + g.cx * box.width(), box.top() + g.cy * box.height()};
}

// Half-extents from the centre to the farthest box edges, so the outermost ring meets them.
QSizeF reachFromCentre(const QPointF& c, const QRectF& box) {
    return {std::max({c.x() - box.left(), box.right() - c.x(), 0.001}),
            std::max({c.y() - box.top(), box.bottom() - c.y(), 0.001})};
}

QBrush gradientBrush(const Gradient& g, const QRectF& box) {
    const QPointF centre = box.center();
    if (g.shape == Gradient::Shape::Radial) {
        const QPointF focus = gradientCentre(g, box);
        qreal radius = 0;
        for (const QPointF& corner :
             {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
            radius = std::max(radius, QLineF(focus, corner).length());
        // From a corner the colours spread over the whole box, to the opposite corner.
        QRadialGradient radial(focus, std::max(radius, 0.001));
        setCentreOutStops(radial, g);
        return radial;
    }
    if (g.shape == Gradient::Shape::Ellipsoid) {
        // A circle in a unit space stretched to the box's proportions, through its corners.
        const QPointF c = gradientCentre(g, box);
        const QSizeF reach = reachFromCentre(c, box);
        QRadialGradient radial(QPointF(), 1);
        setCentreOutStops(radial, g);
        QBrush brush(radial);
        QTransform t;
        t.translate(c.x(), c.y());
        t.scale(reach.width() * M_SQRT2, reach.height() * M_SQRT2);
        brush.setTransform(t);
        return brush;
    }
    // draw:angle 0 runs top to bottom; positive angles turn counter-clockwise.
    const qreal a = qDegreesToRadians(g.angleDeg);
    const QPointF dir(std::sin(a), std::cos(a));
    const qreal half = std::abs(box.width() / 2 * dir.x()) + std::abs(box.height() / 2 * dir.y());
    QLinearGradient linear(centre - dir * half, centre + dir * half);
    if (g.shape == Gradient::Shape::Axial) {
        // Visio's "centre" gradients: the fill (start) colour in the middle, the end colour at
        // both edges.
        linear.setColorAt(0, g.to);
        linear.setColorAt(g.border / 2, g.to);
        linear.setColorAt(0.5, g.from);
        linear.setColorAt(1 - g.border / 2, g.to);
        linear.setColorAt(1, g.to);
    } else {
        linear.setColorAt(0, g.from);
        linear.setColorAt(g.border, g.from);
        linear.setColorAt(1, g.to);
    }
    return linear;
}

// Square and rectangular gradients: rings of squares or of rectangles in the box's proportions.
// Drawn as four triangles from the centre to the outer ring's sides, each a linear gradient
// towards its side, overlapping by a hair so that no seam shows along the diagonals.
void fillBoxGradient(QPainter& painter, const QPainterPath& path, const Gradient& g) {
    const QRectF box = path.boundingRect();
    const QPointF c = gradientCentre(g, box);
    QSizeF reach = reachFromCentre(c, box);
    if (g.shape == Gradient::Shape::Square)
        reach = QSizeF(1, 1) * std::max(reach.width(), reach.height());
    const qreal rx = reach.width(), ry = reach.height();
    constexpr qreal kOverlapPt = 0.5;
    struct Side {
        QPointF a, b, foot, inward;
    };
    const Side sides[] = {
        {c + QPointF(-rx, -ry), c + QPointF(rx, -ry), c + QPointF(0, -ry), {0, 1}},
        {c + QPointF(rx, -ry), c + QPointF(rx, ry), c + QPointF(rx, 0), {-1, 0}},
        {c + QPointF(rx, ry), c + QPointF(-rx, ry), c + QPointF(0, ry), {0, -1}},
        {c + QPointF(-rx, ry), c + QPointF(-rx, -ry), c + QPointF(-rx, 0), {1, 0}},
    };
    painter.save();
    painter.setClipPath(path, Qt::IntersectClip);
    for (const Side& side : sides) {
        const QPointF along = QPointF(side.inward.y(), -side.inward.x()) * kOverlapPt;
        QPainterPath triangle(c + side.inward * kOverlapPt);
        triangle.lineTo(side.a - along);
        triangle.lineTo(side.b + along);
        triangle.closeSubpath();
        QLinearGradient linear(c, side.foot);
        setCentreOutStops(linear, g);
        painter.fillPath(triangle, linear);
    }
    painter.restore();
}

void drawHatchLines(QPainter& painter, const QRectF& box, qreal angleDeg, qreal distance) {
    // Lines through the box's circumscribed circle, turned by the hatch angle.
    const QPointF centre = box.center();
    const qreal radius = QLineF(box.topLeft(), box.bottomRight()).length() / 2 + distance;
    const int count = int(std::ceil(radius / distance));
    QTransform turn;
    turn.translate(centre.x(), centre.y());
    turn.rotate(-angleDeg);
    QList<QLineF> lines;
    lines.reserve(2 * count + 1);
    for (int i = -count; i <= count; ++i)
        lines << turn.map(QLineF(-radius, i * distance, radius, i * distance));
    painter.drawLines(lines);
}

}  // namespace

qreal minimumVisibleWidth(const QPainter& painter) {
    const QTransform t = painter.combinedTransform();
    const qreal deviceUnitsPerUserUnit = std::sqrt(std::abs(t.determinant()));
    if (deviceUnitsPerUserUnit <= 0) return kHairlineOnPaperPt;
    const QPaintDevice* device = painter.device();
    const qreal dpi = device ? device->logicalDpiX() : 72;
    const qreal deviceWidth = std::max(kHairlineOnPaperPt * dpi / 72.0, 1.0);
    return deviceWidth / deviceUnitsPerUserUnit;
}

void fillShape(QPainter& painter, const QPainterPath& path, const Fill& fill) {
    switch (fill.kind) {
        case Fill::Kind::None:
            return;
        case Fill::Kind::Solid:
            painter.fillPath(path, fill.color);
            return;
        case Fill::Kind::Gradient:
            if (fill.gradient.shape == Gradient::Shape::Square ||
                fill.gradient.shape == Gradient::Shape::Rectangular)
                fillBoxGradient(painter, path, fill.gradient);
            else
                painter.fillPath(path, gradientBrush(fill.gradient, path.boundingRect()));
            return;
        case Fill::Kind::Bitmap:
            painter.fillPath(path, QBrush(fill.bitmap));
            return;
        case Fill::Kind::Hatch: {
            if (fill.hatchBackground) painter.fillPath(path, fill.color);
            const Hatch& h = fill.hatch;
            const qreal distance = std::max(h.distancePt, 0.5);
            painter.save();
            painter.setClipPath(path, Qt::IntersectClip);
            painter.setPen(QPen(h.color, minimumVisibleWidth(painter), Qt::SolidLine, Qt::FlatCap));
            const QRectF box = path.boundingRect();
            drawHatchLines(painter, box, h.rotationDeg, distance);
            if (h.lines >= 2) drawHatchLines(painter, box, h.rotationDeg + 90, distance);
            if (h.lines >= 3) drawHatchLines(painter, box, h.rotationDeg + 45, distance);
            painter.restore();
            return;
        }
    }
}

}  // namespace pbp::render
