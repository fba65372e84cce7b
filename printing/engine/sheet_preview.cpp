#include "printing/engine/sheet_preview.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <algorithm>

#include "printing/engine/pdf_sheets.h"
#include "printing/engine/sheet_layout.h"

namespace pbp::visio {

namespace {

QByteArray paintedSheet(const DrawingFile& file, const DrawingPage& page, const QPageLayout& layout,
                        int longEdgePixels) {
    const QSizeF paper = layout.fullRect(QPageLayout::Point).size();
    const double pixelsPerPoint =
        std::max(1, longEdgePixels) / std::max(paper.width(), paper.height());
    QImage image((paper * pixelsPerPoint).toSize().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QPointF margin = layout.paintRect(QPageLayout::Point).topLeft() * pixelsPerPoint;
        painter.translate(margin);
        paintSheet(painter, layout, file, page, pixelsPerPoint);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG", 90);
    return png;
}

}  // namespace

SheetPreview previewSheets(const DrawingFile& file, const std::vector<int>& sheets,
                           const std::vector<QPageSize>& paperOfPage, int shown,
                           int longEdgePixels) {
    SheetPreview preview;
    for (size_t i = 0; i < sheets.size(); ++i) {
        const DrawingPage& page = file.pages.at(size_t(sheets[i]));
        const QPageSize& paper = paperOfPage.at(size_t(sheets[i]));
        const QPageLayout layout = sheetLayout(paper, page.printPageOrientation);
        preview.sheets.push_back({paper, layout.orientation() == QPageLayout::Landscape,
                                  sheetScale(layout, page),
                                  file.drawing->pageName(page.renderedIndex)});
        if (int(i) == shown) {
            preview.shown = shown;
            preview.png = paintedSheet(file, page, layout, longEdgePixels);
        }
    }
    return preview;
}

}  // namespace pbp::visio
