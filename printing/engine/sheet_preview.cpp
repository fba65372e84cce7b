#include "printing/engine/sheet_preview.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <algorithm>

#include "printing/engine/pdf_sheets.h"
#include "printing/engine/sheet_layout.h"

namespace pbp::visio {

SheetPreview previewSheets(const DrawingFile& file, const SheetPlan& plan, int shown,
                           int longEdgePixels) {
    SheetPreview preview;
    preview.plan = plan;
    if (shown < 0 || shown >= int(plan.sheets().size())) return preview;
    const PlannedSheet& sheet = plan.sheets()[size_t(shown)];
    const QPageLayout layout = sheetLayout(sheet.paper, sheet.landscape);
    const QSizeF paper = layout.fullRect(QPageLayout::Point).size();
    const double pixelsPerPoint =
        std::max(1, longEdgePixels) / std::max(paper.width(), paper.height());
    QImage image((paper * pixelsPerPoint).toSize().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.translate(layout.paintRect(QPageLayout::Point).topLeft() * pixelsPerPoint);
        paintSheet(painter, file, sheet, pixelsPerPoint);
    }
    QBuffer buffer(&preview.png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    preview.shown = shown;
    return preview;
}

}  // namespace pbp::visio
