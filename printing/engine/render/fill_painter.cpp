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

QBrush gradientBrush(const Gradient& g, const QRectF& box) {
    const QPointF centre = box.center();
    if (g.shape == Gradient::Shape::Radial) {
        const QPointF focus(box.left() + g.cx * box.width(), box.top() + g.cy * box.height());
        qreal radius = 0;
        for (const QPointF& corner :
             {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
            radius = std::max(radius, QLineF(focus, corner).length());
        QRadialGradient radial(focus, std::max(radius, 0.001));
        // The end colour sits in the centre, the start colour outside, as in ODF drawings.
        radial.setColorAt(0, g.to);
        radial.setColorAt(std::max(0.0, 1 - g.border), g.from);
        radial.setColorAt(1, g.from);
        return radial;
    }
    // draw:angle 0 runs top to bottom; positive angles turn counter-clockwise.
    const qreal a = qDegreesToRadians(g.angleDeg);
    const QPointF dir(std::sin(a), std::cos(a));
    const qreal half = std::abs(box.width() / 2 * dir.x()) + std::abs(box.height() / 2 * dir.y());
    QLinearGradient linear(centre - dir * half, centre + dir * half);
    if (g.shape == Gradient::Shape::Axial) {
        linear.setColorAt(0, g.from);
        linear.setColorAt(g.border / 2, g.from);
        linear.setColorAt(0.5, g.to);
        linear.setColorAt(1 - g.border / 2, g.from);
        linear.setColorAt(1, g.from);
    } else {
        linear.setColorAt(0, g.from);
        linear.setColorAt(g.border, g.from);
        linear.setColorAt(1, g.to);
    }
    return linear;
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
