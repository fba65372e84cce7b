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
    // A queue offers the papers its media list holds (cupsGetDestMediaBySize); the PDF printer
    // offers every paper.
    std::optional<QString> offeredMedia(const QString& printerName,
                                        const QPageSize& paper) const override;
    // A queue's media, media-source, sides, print-color-mode and print-quality where it offers
    // more than one value (cupsCopyDestInfo); the PDF printer's papers.
    std::vector<PrinterOption> options(const QString& printerName) const override;
    bool makesCopies(const QString& printerName) const override;
    // CUPS queues get the PDF with copies=N, uncollated copies, the job's media when set, the
    // job's options, and the destination's own options (lpoptions) where the job sets none, as lp
    // does; copies 0 sends no count, so the user's lpoptions or the queue's default decide. A
    // refused job throws VbError numbered with CUPS's status and described by CUPS's text.
    void submit(const PrintJob& job) override;
    QString lastPdfFile() const override { return lastPdfFile_; }

  private:
    QString lastPdfFile_;
};

}  // namespace pbp::printers
