#include "printing/engine/drawing_printer.h"

#include <QFileInfo>
#include <algorithm>

#include "printing/engine/engine_errors.h"
#include "printing/engine/pdf_sheets.h"
#include "printing/engine/sheet_layout.h"
#include "printing/engine/visio.h"

namespace pbp::visio {

namespace {

void checkRequest(printers::PrinterSystem& printers, const DrawingFile& file,
                  const PrintRequest& request) {
    if (!printers.printerNames().contains(request.printerName))
        throw VbError(
            engine_error::kPrinter,
            QStringLiteral("The printer '%1' is not installed.").arg(request.printerName));
    if (request.copies < 1 && request.copies != kPrinterDefaultCopies)
        throw VbError(engine_error::kInvalidArgument,
                      QStringLiteral("%1 copies cannot be printed; at least 1 is needed.")
                          .arg(request.copies));
    const int pages = file.foregroundCount();
    if (request.fromPage < 1 || request.toPage < request.fromPage || request.toPage > pages)
        throw VbError(engine_error::kOutOfRange,
                      QStringLiteral("Pages %1 to %2 cannot be printed: %3 has %4 printable "
                                     "page(s).")
                          .arg(request.fromPage)
                          .arg(request.toPage)
                          .arg(quotedPath(file.path))
                          .arg(pages));
}

}  // namespace

void printDrawing(printers::PrinterSystem& printers, const DrawingFile& file,
                  const PrintRequest& request) {
    checkRequest(printers, file, request);
    const bool printerCopies = printers.makesCopies(request.printerName);
    // Foreground pages come first, so page n is index n - 1.
    const int copiesInDocument = printerCopies ? 1 : std::max(request.copies, 1);
    const std::vector<int> order =
        sheetOrder(request.fromPage - 1, request.toPage - 1, copiesInDocument, request.collate);

    printers::PrintJob job;
    job.printerName = request.printerName;
    job.pdf = pdfSheets(file, order, printers.defaultPaper(request.printerName));
    job.copies = printerCopies ? request.copies : 1;
    job.title = QFileInfo(file.path).fileName();
    printers.submit(job);
}

}  // namespace pbp::visio
