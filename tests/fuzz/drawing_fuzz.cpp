// libvisio and the recorder on any bytes, as a drawing file is opened, then its first pages painted
// small: the file either opens or is reported unreadable, and painting what was recorded
// never fails.

#include <QImage>
#include <QPainter>
#include <algorithm>

#include "printing/engine/drawing_file.h"
#include "support/vb_error.h"
#include "tests/fuzz/fuzz_target.h"

PLEN_FUZZ_TARGET(drawing) {
    pbp::fuzz::prepare();
    pbp::visio::DrawingFile file;
    try {
        file = pbp::visio::loadDrawingFile(
            pbp::fuzz::writeInputFile(data, size, QStringLiteral("drawing")));
    } catch (const pbp::VbError&) {
        return 0;
    }
    QImage sheet(64, 64, QImage::Format_RGB32);
    // A few pages show every kind of item; painting thousands would only slow the search.
    for (int i = 0; i < std::min(file.drawing->pageCount(), 8); ++i) {
        sheet.fill(Qt::white);
        QPainter painter(&sheet);
        const QSizeF pageInches = file.drawing->pageSizeInches(i);
        const qreal sidePt = std::max({pageInches.width(), pageInches.height(), 1.0}) * 72;
        painter.scale(sheet.width() / sidePt, sheet.height() / sidePt);
        file.drawing->paintPage(i, painter);
    }
    return 0;
}
