#pragma once

#include <memory>

#include "printing/printers/combined_pdf.h"
#include "printing/printers/printer_system.h"

namespace pbp::printers {

// The machine's printers, and a switch that gathers a run's jobs into one PDF: while it
// collects, every job submitted joins the document, and the file is written once, when the run
// finishes. Otherwise it passes everything on.
class CombinedPdfPrinter : public PrinterSystem {
  public:
    explicit CombinedPdfPrinter(PrinterSystem& system) : system_(system) {}

    // From now on, jobs join a new document meant for `path`.
    void collect(const QString& path);
    bool collecting() const { return combined_ != nullptr; }
    int collectedPages() const { return combined_ ? combined_->pageCount() : 0; }
    // Writes the document to its file and stops collecting; throws VbError when it cannot be
    // written (the file at the path is then left as it was).
    void finish();
    // Stops collecting and forgets what was gathered.
    void discard() { combined_.reset(); }

    QStringList printerNames() const override { return system_.printerNames(); }
    PrinterDescription describe(const QString& printerName) const override {
        return system_.describe(printerName);
    }
    QString printerProblem(const QString& printerName) const override {
        return system_.printerProblem(printerName);
    }
    QString defaultPrinter() const override { return system_.defaultPrinter(); }
    QPageSize defaultPaper(const QString& printerName) const override {
        return system_.defaultPaper(printerName);
    }
    std::optional<QString> offeredMedia(const QString& printerName,
                                        const QPageSize& paper) const override {
        return system_.offeredMedia(printerName, paper);
    }
    std::vector<std::pair<QPageSize, QString>> offeredPapers(
        const QString& printerName, const std::vector<QPageSize>& papers) const override {
        return system_.offeredPapers(printerName, papers);
    }
    std::vector<PrinterOption> options(const QString& printerName) const override {
        return system_.options(printerName);
    }
    bool makesCopies(const QString& printerName) const override {
        return system_.makesCopies(printerName);
    }
    void submit(const PrintJob& job) override;
    QString lastPdfFile() const override { return combined_ ? path_ : system_.lastPdfFile(); }
    QStringList queuedJobs() const override { return system_.queuedJobs(); }
    QString schedulerProblem() const override { return system_.schedulerProblem(); }

  private:
    PrinterSystem& system_;
    std::unique_ptr<CombinedPdf> combined_;
    QString path_;
};

}  // namespace pbp::printers
