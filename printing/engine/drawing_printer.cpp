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

// Each page's paper: the drawing's own paper where the printer offers it, else the printer's
// default paper. A queue prints a job on one paper, named as the job's `media`: when the
// printed sheets do not all share one paper the drawing chose, every sheet takes the queue's
// default paper (the built-in PDF printer, which needs no media name, keeps each page's own).
struct Papers {
    std::vector<QPageSize> ofPage;
    QString media;
};

Papers choosePapers(const printers::PrinterSystem& printers, const QString& printer,
                    const DrawingFile& file, const std::vector<int>& order) {
    const QPageSize fallback = printers.defaultPaper(printer);
    Papers papers;
    std::vector<std::optional<QString>> mediaOfPage;
    for (const DrawingPage& page : file.pages) {
        std::optional<QString> media;
        const std::optional<QPageSize> own = paperForKind(page.paperKind);
        if (own) media = printers.offeredMedia(printer, *own);
        papers.ofPage.push_back(media ? *own : fallback);
        mediaOfPage.push_back(media);
    }
    const auto mediaOf = [&](int page) { return mediaOfPage.at(size_t(page)); };
    const std::optional<QString> first = mediaOf(order.front());
    const bool shared =
        std::all_of(order.begin(), order.end(), [&](int page) { return mediaOf(page) == first; });
    const bool queue = std::any_of(order.begin(), order.end(), [&](int page) {
        return mediaOf(page) && !mediaOf(page)->isEmpty();
    });
    if (shared && first)
        papers.media = *first;
    else if (queue)
        std::fill(papers.ofPage.begin(), papers.ofPage.end(), fallback);
    return papers;
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
    const Papers papers = choosePapers(printers, request.printerName, file, order);
    job.pdf = pdfSheets(file, order, papers.ofPage);
    job.media = papers.media;
    job.copies = printerCopies ? request.copies : 1;
    job.title = QFileInfo(file.path).fileName();
    printers.submit(job);
}

}  // namespace pbp::visio
