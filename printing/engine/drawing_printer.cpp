#include "printing/engine/drawing_printer.h"

#include <QFileInfo>
#include <algorithm>

#include "printing/engine/engine_errors.h"
#include "printing/engine/sheet_layout.h"
#include "printing/engine/visio.h"

namespace pbp::visio {

namespace {

void checkRequest(printers::PrinterSystem& printers, const QString& path,
                  const std::vector<DrawingPage>& pages, const PrintRequest& request) {
    if (!printers.printerNames().contains(request.printerName)) {
        // A scheduler that is down or does not answer lists no printers: that is the cause.
        const QString problem = printers.schedulerProblem();
        throw VbError(
            engine_error::kPrinter,
            problem.isEmpty()
                ? QStringLiteral("The printer '%1' is not installed.").arg(request.printerName)
                : QStringLiteral("The printer '%1' cannot be reached: %2.")
                      .arg(request.printerName, problem));
    }
    if (request.copies < 1 && request.copies != kPrinterDefaultCopies)
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

JobPapers choosePapers(const std::vector<DrawingPage>& pages, const std::vector<int>& sheets,
                       const QPageSize& fallback, const OfferedMedia& offered) {
    JobPapers papers;
    std::vector<std::optional<QString>> mediaOfPage;
    for (const DrawingPage& page : pages) {
        std::optional<QString> media;
        const std::optional<QPageSize> own = paperForKind(page.paperKind);
        if (own) media = offered(*own);
        papers.ofPage.push_back(media ? *own : fallback);
        mediaOfPage.push_back(media);
    }
    if (sheets.empty()) return papers;
    const auto mediaOf = [&](int page) { return mediaOfPage.at(size_t(page)); };
    const std::optional<QString> first = mediaOf(sheets.front());
    const bool shared =
        std::all_of(sheets.begin(), sheets.end(), [&](int page) { return mediaOf(page) == first; });
    const bool queue = std::any_of(sheets.begin(), sheets.end(), [&](int page) {
        return mediaOf(page) && !mediaOf(page)->isEmpty();
    });
    if (shared && first)
        papers.media = *first;
    else if (queue)
        std::fill(papers.ofPage.begin(), papers.ofPage.end(), fallback);
    return papers;
}

void printDrawing(printers::PrinterSystem& printers, const QString& path,
                  const std::vector<DrawingPage>& pages, const PrintRequest& request,
                  const SheetPainter& paint) {
    checkRequest(printers, path, pages, request);
    const bool printerCopies = printers.makesCopies(request.printerName);
    // Foreground pages come first, so page n is index n - 1.
    const int copiesInDocument = printerCopies ? 1 : std::max(request.copies, 1);
    const std::vector<int> order =
        sheetOrder(request.fromPage - 1, request.toPage - 1, copiesInDocument, request.collate);

    printers::PrintJob job;
    job.printerName = request.printerName;
    const JobPapers papers = choosePapers(
        pages, order, printers.defaultPaper(request.printerName),
        [&](const QPageSize& paper) { return printers.offeredMedia(request.printerName, paper); });
    job.pdf = paint(order, papers.ofPage);
    job.media = papers.media;
    job.copies = printerCopies ? request.copies : 1;
    job.title = QFileInfo(path).fileName();
    for (const int sheet : order) job.sheetNames << pages.at(size_t(sheet)).name;
    printers.submit(job);
}

}  // namespace pbp::visio
