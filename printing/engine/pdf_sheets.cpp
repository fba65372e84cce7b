#include "printing/engine/pdf_sheets.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>

#include "printing/engine/engine_errors.h"
#include "printing/engine/sheet_layout.h"

namespace pbp::visio {

void paintSheet(QPainter& painter, const DrawingFile& file, const PlannedSheet& sheet,
                double devicePerPoint) {
    const DrawingPage& page = file.pages[size_t(sheet.page)];
    painter.save();
    painter.scale(devicePerPoint, devicePerPoint);
    painter.translate(sheet.drawingArea.topLeft());
    painter.scale(sheet.scale, sheet.scale);
    painter.setClipRect(QRectF(QPointF(0, 0), sheet.drawingArea.size() / sheet.scale));
    if (page.renderedIndex >= 0) file.drawing->paintPage(page.renderedIndex, painter);
    painter.restore();
}

QByteArray pdfSheets(const DrawingFile& file, const SheetPlan& plan) {
    const auto cannotWrite = [&] {
        return VbError(engine_error::kPrinter,
                       QStringLiteral("The print document for %1 could not be written.")
                           .arg(quotedPath(file.path)));
    };
    const auto& sheets = plan.sheets();
    if (sheets.empty()) throw cannotWrite();
    for (const PlannedSheet& sheet : sheets)
        if (sheet.page >= int(file.pages.size()) || sheet.scale <= 0)
            throw VbError(
                engine_error::kBadFormat,
                QStringLiteral("%1 changed while it was open.").arg(quotedPath(file.path)));
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("PlenBatchPrint"));
    writer.setTitle(QFileInfo(file.path).fileName());
    const double devicePerPoint = writer.resolution() / 72.0;

    QPainter painter;
    for (size_t index = 0; index < sheets.size(); ++index) {
        const PlannedSheet& sheet = sheets[index];
        writer.setPageLayout(sheetLayout(sheet.paper, sheet.landscape));
        if (index == 0) {
            if (!painter.begin(&writer)) throw cannotWrite();
        } else if (!writer.newPage()) {
            throw cannotWrite();
        }
        paintSheet(painter, file, sheet, devicePerPoint);
    }
    if (!painter.end()) throw cannotWrite();
    return pdf;
}

}  // namespace pbp::visio
