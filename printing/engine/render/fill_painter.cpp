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
// More lines than any device shows side by side: a safety net behind the spacing rule below.
constexpr double kMaximumHatchLines = 1e6;

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

// Hatch lines are never closer than this many device units: closer lines only make a solid
// colour, and their number would grow with the drawing's scale without bound.
constexpr qreal kMinimumHatchSpacingDevice = 1.0;

// The device units one user unit spans (0 when the transform flattens everything).
qreal deviceUnitsPerUserUnit(const QPainter& painter) {
    return std::sqrt(std::abs(painter.combinedTransform().determinant()));
}

// The part of `box` that the painter's device shows, in user space.
QRectF visiblePart(const QPainter& painter, const QRectF& box) {
    const QPaintDevice* device = painter.device();
    bool invertible = false;
    const QTransform toUser = painter.combinedTransform().inverted(&invertible);
    if (!device || !invertible) return {};
    return box & toUser.mapRect(QRectF(0, 0, device->width(), device->height()));
}

// Parallel lines `distance` apart through the box's centre, turned by the hatch angle, drawn
// only across `area` (the visible part of the box; the clip path trims them to the shape).
void drawHatchLines(QPainter& painter, const QRectF& box, const QRectF& area, qreal angleDeg,
                    qreal distance) {
    QTransform turn;
    turn.translate(box.center().x(), box.center().y());
    turn.rotate(-angleDeg);
    const QRectF span = turn.inverted().mapRect(area);  // the area in the lines' own frame
    // Counted in double: a huge area at a fine spacing would overflow an int.
    const double first = std::floor(span.top() / distance);
    const double last = std::ceil(span.bottom() / distance);
    if (!std::isfinite(first) || !std::isfinite(last) || last - first > kMaximumHatchLines) return;
    QList<QLineF> lines;
    lines.reserve(qsizetype(last - first) + 1);
    for (double i = first; i <= last; ++i)
        lines << turn.map(QLineF(span.left(), i * distance, span.right(), i * distance));
    painter.drawLines(lines);
}

}  // namespace

qreal minimumVisibleWidth(const QPainter& painter) {
    const qreal scale = deviceUnitsPerUserUnit(painter);
    if (scale <= 0) return kHairlineOnPaperPt;
    const QPaintDevice* device = painter.device();
    const qreal dpi = device ? device->logicalDpiX() : 72;
    const qreal deviceWidth = std::max(kHairlineOnPaperPt * dpi / 72.0, 1.0);
    return deviceWidth / scale;
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
            const qreal scale = deviceUnitsPerUserUnit(painter);
            if (scale <= 0) return;
            const qreal distance =
                std::max({h.distancePt, 0.5, kMinimumHatchSpacingDevice / scale});
            const QRectF box = path.boundingRect();
            const QRectF area = visiblePart(painter, box);
            if (area.isEmpty()) return;
            painter.save();
            painter.setClipPath(path, Qt::IntersectClip);
            painter.setPen(QPen(h.color, minimumVisibleWidth(painter), Qt::SolidLine, Qt::FlatCap));
            drawHatchLines(painter, box, area, h.rotationDeg, distance);
            if (h.lines >= 2) drawHatchLines(painter, box, area, h.rotationDeg + 90, distance);
            if (h.lines >= 3) drawHatchLines(painter, box, area, h.rotationDeg + 45, distance);
            painter.restore();
            return;
        }
    }
}

}  // namespace pbp::render
