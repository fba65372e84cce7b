#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <vector>

#include "printing/printers/printer_system.h"
#include "support/vb_error.h"

namespace pbp::test {

// Printers for tests: `names` with `defaultName` as the default; "Capture" has Letter paper,
// every other printer A4, and each offers `papers` (media named by the paper's key, none for
// the PDF printer); all but the built-in PDF printer make copies themselves. Every
// submitted job is kept, its document also as a file (keptPdf); `refusal` makes every job fail
// with that description.
class FakePrinters : public printers::PrinterSystem {
  public:
    struct Job {
        printers::PrintJob job;
        QString keptPdf;
    };

    QStringList printerNames() const override { return names; }
    QString defaultPrinter() const override { return defaultName; }
    QPageSize defaultPaper(const QString& name) const override {
        return QPageSize(name == QLatin1String("Capture") ? QPageSize::Letter : QPageSize::A4);
    }
    std::optional<QString> offeredMedia(const QString& name,
                                        const QPageSize& paper) const override {
        if (std::find(papers.begin(), papers.end(), paper) == papers.end()) return std::nullopt;
        return name == printers::kPdfPrinterName ? QString() : paper.key();
    }
    bool makesCopies(const QString& name) const override {
        return name != printers::kPdfPrinterName;
    }
    void submit(const printers::PrintJob& job) override {
        if (onSubmit) onSubmit();
        if (!refusal.isEmpty()) throw VbError(1001, refusal);
        jobs.push_back({job, kept_.filePath(QStringLiteral("job%1.pdf").arg(jobs.size() + 1))});
        QFile kept(jobs.back().keptPdf);
        if (kept.open(QIODevice::WriteOnly)) kept.write(job.pdf);
    }

    QStringList names{QStringLiteral("Capture"), printers::kPdfPrinterName};
    QString defaultName = printers::kPdfPrinterName;
    std::vector<QPageSize> papers;
    QString refusal;
    std::function<void()> onSubmit;  // runs first in every submit
    std::vector<Job> jobs;

  private:
    QTemporaryDir kept_;
};

}  // namespace pbp::test
