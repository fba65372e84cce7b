#pragma once

#include <QString>

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

// Renders the asked pages into a PDF in memory and submits it to the printer: once with the
// copies for a printer that makes copies itself, else with the copies as repeated pages.
// Throws VbError (naming the file) for an unknown printer, copies below 1 (other than
// kPrinterDefaultCopies), a page range outside the drawing and a job the printer system
// refuses.
void printDrawing(printers::PrinterSystem& printers, const DrawingFile& file,
                  const PrintRequest& request);

}  // namespace pbp::visio
