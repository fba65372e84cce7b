#include "printing/engine/drawing_printer.h"

#include <QFileInfo>
#include <algorithm>

#include "printing/engine/engine_errors.h"
#include "printing/engine/sheet_layout.h"

namespace pbp::visio {

namespace {

void checkRequest(printers::PrinterSystem& printers, const QString& path,
                  const std::vector<DrawingPage>& pages, const PrintRequest& request) {
    if (!printers.printerNames().contains(request.printerName))
        throw VbError(
            engine_error::kPrinter,
            QStringLiteral("The printer '%1' is not installed.").arg(request.printerName));
    if (request.copies < 1)
        throw VbError(engine_error::kInvalidArgument,
                      QStringLiteral("%1 copies cannot be printed; at least 1 is needed.")
                          .arg(request.copies));
    const int foreground = int(std::count_if(
        pages.begin(), pages.end(), [](const DrawingPage& page) { return !page.background; }));
    if (request.fromPage < 1 || request.toPage < request.fromPage || request.toPage > foreground)
        throw VbError(engine_error::kOutOfRange,
                      QStringLiteral("Pages %1 to %2 cannot be printed: %3 has %4 printable "
                                     "page(s).")
                          .arg(request.fromPage)
                          .arg(request.toPage)
                          .arg(quotedPath(path))
                          .arg(foreground));
}

}  // namespace

void printDrawing(printers::PrinterSystem& printers, const QString& path,
                  const std::vector<DrawingPage>& pages, const PrintRequest& request,
                  const SheetPainter& paint) {
    checkRequest(printers, path, pages, request);
    const bool printerCopies = printers.makesCopies(request.printerName);
    // Foreground pages come first, so page n is index n - 1.
    const std::vector<int> order = sheetOrder(request.fromPage - 1, request.toPage - 1,
                                              printerCopies ? 1 : request.copies, request.collate);

    printers::PrintJob job;
    job.printerName = request.printerName;
    job.pdf = paint(order, printers.defaultPaper(request.printerName));
    job.copies = printerCopies ? request.copies : 1;
    job.title = QFileInfo(path).fileName();
    printers.submit(job);
}

}  // namespace pbp::visio
