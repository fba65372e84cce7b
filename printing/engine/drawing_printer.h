#pragma once

#include <QString>
#include <functional>
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

// Paints the sheets (indices into the pages, one per sheet) on the paper into a PDF.
using SheetPainter =
    std::function<QByteArray(const std::vector<int>& sheets, const QPageSize& paper)>;

// Has the asked pages of the drawing at `path` painted into a PDF and submits it to the
// printer: once with the copies for a printer that makes copies itself, else with the copies
// as repeated pages. Throws VbError (naming the file) for an unknown printer, copies below 1,
// a page range outside the drawing and a job the printer system refuses, and passes on what
// painting throws.
void printDrawing(printers::PrinterSystem& printers, const QString& path,
                  const std::vector<DrawingPage>& pages, const PrintRequest& request,
                  const SheetPainter& paint);

}  // namespace pbp::visio
