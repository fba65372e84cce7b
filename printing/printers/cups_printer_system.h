#pragma once

#include "printing/printers/printer_system.h"

namespace pbp::printers {

// The machine's CUPS queues (through libcups, so CUPS_SERVER, LPDEST, PRINTER and lpoptions are
// honoured) followed by the built-in PDF printer, which saves each job as a PDF file in
// pdfOutputFolder().
class CupsPrinterSystem : public PrinterSystem {
  public:
    QStringList printerNames() const override;
    // A queue's printer-info, printer-location and state; for the PDF printer its folder.
    PrinterDescription describe(const QString& printerName) const override;
    QString defaultPrinter() const override;
    QPageSize defaultPaper(const QString& printerName) const override;
    bool makesCopies(const QString& printerName) const override;
    // CUPS queues get the PDF with copies=N and uncollated copies; a refused job throws VbError
    // numbered with CUPS's status and described by CUPS's text.
    void submit(const PrintJob& job) override;
};

}  // namespace pbp::printers
