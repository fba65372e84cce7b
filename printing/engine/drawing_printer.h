#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "printing/engine/drawing_file.h"
#include "printing/printers/printer_system.h"

namespace pbp::visio {

// What PrintOut asks for, pages numbered from 1 over the foreground pages.
struct PrintRequest {
    int fromPage = 1;
    int toPage = 1;
    QString printerName;
    int copies = 1;
    bool collate = false;
};

// Each page's paper for one job, and the job's CUPS media name (empty for the printer's
// default paper, or for a printer that has every paper).
struct JobPapers {
    std::vector<QPageSize> ofPage;
    QString media;
};

// The printer's media name for a paper when it offers that paper (empty for a printer that has
// every paper); nothing when it does not.
using OfferedMedia = std::function<std::optional<QString>(const QPageSize& paper)>;

// Each page's paper: the drawing's own paper (its PaperKind) where the printer offers it, else
// `fallback`, the printer's default paper. A queue prints a job on one paper, named as the
// job's media: when the printed sheets do not all share one paper the drawing chose, every
// sheet takes the fallback (a printer with every paper keeps each page's own).
JobPapers choosePapers(const std::vector<DrawingPage>& pages, const std::vector<int>& sheets,
                       const QPageSize& fallback, const OfferedMedia& offered);

// Paints the sheets (indices into the pages, one per sheet) into a PDF, each page on its paper.
using SheetPainter = std::function<QByteArray(const std::vector<int>& sheets,
                                              const std::vector<QPageSize>& paperOfPage)>;

// Has the asked pages of the drawing at `path` painted into a PDF and submits it to the
// printer: once with the copies for a printer that makes copies itself, else with the copies
// as repeated pages. Throws VbError (naming the file) for an unknown printer, copies below 1
// (other than kPrinterDefaultCopies),
// a page range outside the drawing and a job the printer system refuses, and passes on what
// painting throws.
void printDrawing(printers::PrinterSystem& printers, const QString& path,
                  const std::vector<DrawingPage>& pages, const PrintRequest& request,
                  const SheetPainter& paint);

}  // namespace pbp::visio
