#pragma once

#include <chrono>
#include <mutex>

#include "printing/printers/printer_system.h"

namespace pbp::printers {

// How long the print scheduler may take to answer one request unless the run gives its own.
inline constexpr std::chrono::seconds kSchedulerDeadline{30};

// The machine's CUPS queues (through libcups, so CUPS_SERVER, LPDEST, PRINTER and lpoptions are
// honoured) followed by the built-in PDF printer, which saves each job as a PDF file in
// pdfOutputFolder(). Each call opens its own connection to the scheduler, which must connect
// and answer each wait within the deadline; a scheduler that did not is not asked again for a
// while, so that a run over many drawings pays the deadline once.
class CupsPrinterSystem : public PrinterSystem {
  public:
    explicit CupsPrinterSystem(std::chrono::seconds deadline = kSchedulerDeadline)
        : deadline_(deadline) {}

    // Queues and lpoptions instances ("QUEUE/INSTANCE", after their queue), then the PDF
    // printer.
    QStringList printerNames() const override;
    // A queue's printer-info, printer-location and state; for the PDF printer its folder.
    PrinterDescription describe(const QString& printerName) const override;
    // From the queue's printer-state and printer-is-accepting-jobs, or the scheduler's error;
    // for the PDF printer, whether a file can be made in its folder.
    QString printerProblem(const QString& printerName) const override;
    // The CUPS default (LPDEST, PRINTER, lpoptions, the scheduler's default), with its instance
    // ("QUEUE/INSTANCE") when one is named; empty when it is not installed.
    QString defaultPrinter() const override;
    QPageSize defaultPaper(const QString& printerName) const override;
    // A queue offers the papers its media list holds (cupsGetDestMediaBySize); the PDF printer
    // offers every paper.
    std::optional<QString> offeredMedia(const QString& printerName,
                                        const QPageSize& paper) const override;
    // One connection and one look at the queue's media for all the papers.
    std::vector<std::pair<QPageSize, QString>> offeredPapers(
        const QString& printerName, const std::vector<QPageSize>& papers) const override;
    // A queue's media, media-source, sides, print-color-mode and print-quality where it offers
    // more than one value (cupsCopyDestInfo); the PDF printer's papers.
    std::vector<PrinterOption> options(const QString& printerName) const override;
    bool makesCopies(const QString& printerName) const override;
    // CUPS queues get the PDF in one Print-Job request (a job exists only once its whole
    // document arrived, so an interrupted submission leaves nothing behind) with copies=N,
    // uncollated copies, the job's media when set, the job's options, and the destination's own
    // options (lpoptions, an instance's options) where the job sets none, as lp does; copies 0
    // sends no count, so the user's lpoptions or the queue's default decide. A refused job throws
    // VbError numbered with CUPS's status and described by CUPS's text.
    void submit(const PrintJob& job) override;
    QString lastPdfFile() const override { return lastPdfFile_; }
    QStringList queuedJobs() const override { return queuedJobs_; }
    // Why the scheduler could not be asked ("the print scheduler at ... does not answer"),
    // empty while it answers.
    QString schedulerProblem() const override;

  private:
    friend class SchedulerConnection;

    std::chrono::seconds deadline_;
    QString lastPdfFile_;
    QStringList queuedJobs_;
    mutable std::mutex mutex_;
    mutable QString problem_;  // of the last failed connection, for the server below
    mutable QString problemServer_;
    mutable std::chrono::steady_clock::time_point retryAfter_;
};

}  // namespace pbp::printers
