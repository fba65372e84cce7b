#include "printing/engine/render/page_painter.h"

#include <QPainter>

#include "printing/engine/render/fill_painter.h"
#include "printing/engine/render/text_builder.h"

namespace pbp::render {

namespace {

// The direction of travel at the start (from the first point onwards) or at the end of the
// path; null when the path has no length there.
QPointF tangent(const QPainterPath& path, bool atEnd) {
    const int n = path.elementCount();
    if (n < 2) return {};
    if (atEnd) {
        const QPointF last = path.elementAt(n - 1);
        for (int i = n - 2; i >= 0; --i)
            if (QPointF(path.elementAt(i)) != last) return last - QPointF(path.elementAt(i));
    } else {
        const QPointF first = path.elementAt(0);
        for (int i = 1; i < n; ++i)
            if (QPointF(path.elementAt(i)) != first) return first - QPointF(path.elementAt(i));
    }
    return {};
}

void drawMarker(QPainter& painter, const Marker& marker, const QPointF& tip,
                const QPointF& direction, const QColor& color) {
    const qreal length = std::hypot(direction.x(), direction.y());
    if (!marker.present() || length == 0) return;
    // The marker's tip points towards -y in its own space: turn that onto the direction.
    QTransform t;
    t.translate(tip.x(), tip.y());
    t.rotateRadians(std::atan2(direction.x(), -direction.y()));
    t.scale(marker.widthPt, marker.widthPt);
    painter.fillPath(t.map(marker.outline), color);
}

QPen strokePen(const Stroke& stroke, const QColor& color, qreal minimumWidth) {
    const qreal width = std::max(stroke.widthPt, minimumWidth);
    QPen pen(color, width, Qt::SolidLine, stroke.cap, stroke.join);
    if (!stroke.dashPt.isEmpty()) {
        QList<qreal> pattern;
        pattern.reserve(stroke.dashPt.size());
        for (qreal d : stroke.dashPt) pattern << d / width;
        pen.setDashPattern(pattern);
        if (stroke.cap == Qt::SquareCap || stroke.cap == Qt::RoundCap) pen.setCapStyle(Qt::FlatCap);
    }
    return pen;
}

void paintPath(QPainter& painter, const PathItem& item, qreal minimumWidth) {
    const Style& s = *item.style;
    const bool filled = s.fill.kind != Fill::Kind::None;
    if (s.shadow.visible) {
        const QPainterPath shadow = item.path.translated(s.shadow.offsetPt);
        if (filled)
            painter.fillPath(shadow, s.shadow.color);
        else if (s.stroke.visible)
            painter.strokePath(shadow, strokePen(s.stroke, s.shadow.color, minimumWidth));
    }
    fillShape(painter, item.path, s.fill);
    if (!s.stroke.visible) return;
    painter.strokePath(item.path, strokePen(s.stroke, s.stroke.color, minimumWidth));
    drawMarker(painter, s.stroke.start, item.path.elementAt(0), tangent(item.path, false),
               s.stroke.color);
    if (item.path.elementCount() > 0)
        drawMarker(painter, s.stroke.end, item.path.elementAt(item.path.elementCount() - 1),
                   tangent(item.path, true), s.stroke.color);
}

void paintImage(QPainter& painter, const ImageItem& item) {
    painter.save();
    if (item.rotationDeg != 0) {
        const QPointF c = item.boxPt.center();
        painter.translate(c);
        painter.rotate(-item.rotationDeg);
        painter.translate(-c);
    }
    item.picture.paint(painter, item.boxPt);
    painter.restore();
}

void paintText(QPainter& painter, const TextBlock& block) {
    layOutText(block);
    painter.save();
    if (block.rotationDeg != 0) {
        painter.translate(block.pivotPt);
        painter.rotate(-block.rotationDeg);
        painter.translate(-block.pivotPt);
    }
    painter.translate(block.originPt);
    painter.scale(1 / kTextScale, 1 / kTextScale);
    for (std::size_t i = 0; i < block.paragraphs.size(); ++i)
        block.paragraphs[i]->draw(&painter, block.positions[i]);
    painter.restore();
}

}  // namespace

void paintRecordedPage(const Page& page, QPainter& painter) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const qreal minimumWidth = minimumVisibleWidth(painter);
    for (const Item& item : page.items) {
        if (const auto* path = std::get_if<PathItem>(&item))
            paintPath(painter, *path, minimumWidth);
        else if (const auto* image = std::get_if<ImageItem>(&item))
            paintImage(painter, *image);
        else if (const auto* text = std::get_if<TextItem>(&item))
            paintText(painter, *text->block);
    }
    painter.restore();
}

}  // namespace pbp::render
