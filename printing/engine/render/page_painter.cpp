#include "printing/engine/render/page_painter.h"

#include <QPainter>

#include "printing/engine/render/fill_painter.h"
#include "printing/engine/render/text_builder.h"

namespace pbp::render {

namespace {

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
    painter.strokePath(item.stroke, strokePen(s.stroke, s.stroke.color, minimumWidth));
    if (!item.markers.isEmpty()) painter.fillPath(item.markers, s.stroke.color);
}

// libvisio's angles turn clockwise on the page (y grows downwards), as QPainter::rotate does;
// a flipped picture is mirrored about its centre first (libvisio adjusts the angle for it).
void paintImage(QPainter& painter, const ImageItem& item) {
    painter.save();
    if (item.rotationDeg != 0 || item.mirrorX || item.mirrorY) {
        const QPointF c = item.boxPt.center();
        painter.translate(c);
        painter.scale(item.mirrorX ? -1 : 1, item.mirrorY ? -1 : 1);
        painter.rotate(item.rotationDeg);
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
        painter.rotate(block.rotationDeg);
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
