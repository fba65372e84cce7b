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
    const int foreground = foregroundPageCount(pages);
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

PlanOptions printerPlanOptions(printers::PrinterSystem& printers, const QString& printerName,
                               int copies, bool collate, const std::vector<QPageSize>& papers) {
    PlanOptions options;
    options.copies = printers.makesCopies(printerName) ? 1 : std::max(copies, 1);
    options.collate = collate;
    options.defaultPaper = printers.defaultPaper(printerName);
    for (const auto& [paper, media] : printers.offeredPapers(printerName, papers))
        options.offered.push_back({paper, media});
    return options;
}

void printDrawing(printers::PrinterSystem& printers, const QString& path,
                  const std::vector<DrawingPage>& pages, const PrintRequest& request,
                  const SheetPainter& paint) {
    checkRequest(printers, path, pages, request);
    std::vector<QPageSize> ownPapers;
    for (const DrawingPage& page : pages) {
        const std::optional<QPageSize> own = paperForKind(page.paperKind);
        if (own && std::find(ownPapers.begin(), ownPapers.end(), *own) == ownPapers.end())
            ownPapers.push_back(*own);
    }
    PlanOptions options = printerPlanOptions(printers, request.printerName, request.copies,
                                             request.collate, ownPapers);
    options.fromPage = request.fromPage;
    options.toPage = request.toPage;
    const SheetPlan plan = planSheets(pages, options);

    printers::PrintJob job;
    job.printerName = request.printerName;
    job.pdf = paint(plan);
    job.media = plan.media();
    job.copies = printers.makesCopies(request.printerName) ? request.copies : 1;
    job.title = QFileInfo(path).fileName();
    for (const PlannedSheet& sheet : plan.sheets()) job.sheetNames << sheet.pageName;
    printers.submit(job);
}

}  // namespace pbp::visio
