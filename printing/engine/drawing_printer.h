#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "printing/engine/sheet_plan.h"
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

// The plan options of a job on `printerName`: its default paper, those of `papers` it offers with
// their media names, and the copies the document holds (every copy for a printer that cannot
// make copies itself, else one; kPrinterDefaultCopies counts as one).
PlanOptions printerPlanOptions(printers::PrinterSystem& printers, const QString& printerName,
                               int copies, bool collate, const std::vector<QPageSize>& papers);

// Paints the planned sheets into a PDF.
using SheetPainter = std::function<QByteArray(const SheetPlan& plan)>;

// Plans the asked pages of the drawing at `path` for the printer (each on its own paper where
// the printer offers it), has them painted into a PDF and submits it: once with the copies for a
// printer that makes copies itself, else with the copies as repeated pages. Throws VbError (naming
// the file) for an unknown printer, copies below 1 (other than kPrinterDefaultCopies), a page range
// outside the drawing and a job the printer system refuses, and passes on what painting throws.
void printDrawing(printers::PrinterSystem& printers, const QString& path,
                  const std::vector<DrawingPage>& pages, const PrintRequest& request,
                  const SheetPainter& paint);

}  // namespace pbp::visio
