#include "printing/engine/pdf_sheets.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>

#include "printing/engine/engine_errors.h"
#include "printing/engine/sheet_layout.h"

namespace pbp::visio {

namespace {

// The drawing's size in points; a page without a size takes the whole printable area.
QSizeF drawingSizePoints(const DrawingPage& page, const QSizeF& area) {
    QSizeF inches = page.renderedSizeInches;
    if (inches.width() <= 0 || inches.height() <= 0)
        inches = QSizeF(page.widthInches, page.heightInches);
    if (inches.width() <= 0 || inches.height() <= 0) return area;
    return inches * 72.0;
}

}  // namespace

double sheetScale(const QPageLayout& layout, const DrawingPage& page) {
    const QRectF area(QPointF(0, 0), layout.paintRect(QPageLayout::Point).size());
    const QSizeF drawing = drawingSizePoints(page, area.size());
    return placeDrawing(drawing, area).width() / drawing.width();
}

void paintSheet(QPainter& painter, const QPageLayout& layout, const DrawingFile& file,
                const DrawingPage& page, double devicePerPoint) {
    painter.save();
    painter.scale(devicePerPoint, devicePerPoint);
    const QRectF area(QPointF(0, 0), layout.paintRect(QPageLayout::Point).size());
    const QSizeF drawing = drawingSizePoints(page, area.size());
    const QRectF target = placeDrawing(drawing, area);
    painter.translate(target.topLeft());
    painter.scale(target.width() / drawing.width(), target.height() / drawing.height());
    painter.setClipRect(QRectF(QPointF(0, 0), drawing));
    if (page.renderedIndex >= 0) file.drawing->paintPage(page.renderedIndex, painter);
    painter.restore();
}

QByteArray pdfSheets(const DrawingFile& file, const std::vector<int>& pageOrder,
                     const std::vector<QPageSize>& paperOfPage) {
    const auto cannotWrite = [&] {
        return VbError(engine_error::kPrinter,
                       QStringLiteral("The print document for %1 could not be written.")
                           .arg(quotedPath(file.path)));
    };
    if (pageOrder.empty()) throw cannotWrite();
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("PlenBatchPrint"));
    writer.setTitle(QFileInfo(file.path).fileName());
    const double devicePerPoint = writer.resolution() / 72.0;

    QPainter painter;
    for (size_t sheet = 0; sheet < pageOrder.size(); ++sheet) {
        const DrawingPage& page = file.pages.at(size_t(pageOrder[sheet]));
        const QPageLayout layout =
            sheetLayout(paperOfPage.at(size_t(pageOrder[sheet])), page.printPageOrientation);
        writer.setPageLayout(layout);
        if (sheet == 0) {
            if (!painter.begin(&writer)) throw cannotWrite();
        } else if (!writer.newPage()) {
            throw cannotWrite();
        }
        paintSheet(painter, layout, file, page, devicePerPoint);
    }
    if (!painter.end()) throw cannotWrite();
    return pdf;
}

}  // namespace pbp::visio
