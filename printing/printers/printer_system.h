#pragma once

#include <QByteArray>
#include <QMap>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace pbp::printers {

// Name of the built-in PDF printer. It holds spaces, so no CUPS queue can have it.
inline const QString kPdfPrinterName = QStringLiteral("PlenBatchPrint PDF");

// One finished document to hand to a printer.
struct PrintJob {
    QString printerName;
    QByteArray pdf;  // the document, a PDF
    // CUPS copies attribute; the built-in PDF printer gets pages repeated. 0 leaves the count
    // to the queue's default and the user's lpoptions.
    int copies = 1;
    QString title;  // job title (the drawing's file name)
    QString media;  // CUPS media name of the job's paper; empty for the printer's default
    // Further job options by IPP name ("sides" = "two-sided-long-edge"), as `lp -o` takes them;
    // they win over the media above and the queue's own options.
    QMap<QString, QString> options;
    // Each sheet's page name, in the document's order; empty when the pages have none.
    QStringList sheetNames;
};

// One option a printer offers, as the print server reports it: its IPP name, the values it
// takes and the value it uses when a job names none.
struct PrinterOption {
    QString name;  // "media", "media-source", "sides", "print-color-mode" or "print-quality"
    QStringList choices;
    QString defaultChoice;
};

// A printer as the printer system shows it to people.
struct PrinterDescription {
    QString description;  // the queue's description (printer-info), or what the printer does
    QString location;     // where it stands (printer-location)
    QString state;        // "Idle", "Printing" or "Stopped", and whether it refuses jobs
    bool ready = true;    // false when stopped or refusing jobs
};

// The machine's printers: CUPS destinations in CUPS order, then the built-in PDF printer.
class PrinterSystem {
  public:
    virtual ~PrinterSystem() = default;
    virtual QStringList printerNames() const = 0;
    // Description, location and state; nothing known by default.
    virtual PrinterDescription describe(const QString& /*printerName*/) const { return {}; }
    // Why a job sent to the printer now would not print, empty when nothing stands in the way:
    // a stopped queue, one that refuses jobs, a print scheduler that cannot be reached, a PDF
    // folder that cannot be written. Nothing known by default.
    virtual QString printerProblem(const QString& /*printerName*/) const { return {}; }
    // The default printer's name, empty when there is none.
    virtual QString defaultPrinter() const = 0;
    // The printer's default paper; the PDF printer's is A4, or Letter where the locale uses it.
    virtual QPageSize defaultPaper(const QString& printerName) const = 0;
    // The printer's media name for `paper` when the printer offers that paper (empty for a
    // printer that has every paper and needs no name, the built-in PDF printer); nothing when
    // it does not offer it. A printer system that cannot tell offers none.
    virtual std::optional<QString> offeredMedia(const QString& printerName,
                                                const QPageSize& paper) const {
        Q_UNUSED(printerName);
        Q_UNUSED(paper);
        return std::nullopt;
    }
    // The papers among `papers` that the printer offers, each with its media name as
    // offeredMedia gives it. A printer system that can answer for all of them at once does.
    virtual std::vector<std::pair<QPageSize, QString>> offeredPapers(
        const QString& printerName, const std::vector<QPageSize>& papers) const {
        std::vector<std::pair<QPageSize, QString>> offered;
        for (const QPageSize& paper : papers)
            if (const std::optional<QString> media = offeredMedia(printerName, paper))
                offered.emplace_back(paper, *media);
        return offered;
    }
    // The options people may choose for the printer's jobs; none by default.
    virtual std::vector<PrinterOption> options(const QString& /*printerName*/) const { return {}; }
    // True when the printer makes copies itself (CUPS); false when the document must already
    // hold them (the built-in PDF printer).
    virtual bool makesCopies(const QString& printerName) const = 0;
    // Submits the job; throws pbp::VbError with a readable description when it is refused.
    virtual void submit(const PrintJob& job) = 0;
    // The file the built-in PDF printer saved its last job as; empty before its first job.
    virtual QString lastPdfFile() const { return {}; }
    // The CUPS jobs submitted so far, oldest first, as `cancel` takes them ("Queue-12").
    virtual QStringList queuedJobs() const { return {}; }
    // Why the system's printers could not be asked for (a print scheduler that is down or
    // does not answer); empty when they could. A printer missing from printerNames() is then
    // not known to be uninstalled.
    virtual QString schedulerProblem() const { return {}; }
};

}  // namespace pbp::printers
