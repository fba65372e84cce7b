#pragma once

#include <QDir>
#include <QFile>
#include <vector>

#include "printing/printers/printer_system.h"
#include "support/vb_error.h"

namespace pbp::test {

// Two printers: "Capture", which makes copies itself like a CUPS queue and has Letter paper,
// and the built-in PDF printer with A4 paper. Submitted documents are kept in `keepFolder`.
class FakePrinterSystem : public printers::PrinterSystem {
  public:
    struct Job {
        printers::PrintJob job;
        QString keptPdf;
    };

    explicit FakePrinterSystem(QString keepFolder) : keepFolder_(std::move(keepFolder)) {}

    QStringList printerNames() const override {
        return {QStringLiteral("Capture"), printers::kPdfPrinterName};
    }
    QString defaultPrinter() const override { return printers::kPdfPrinterName; }
    QPageSize defaultPaper(const QString& name) const override {
        return QPageSize(name == QLatin1String("Capture") ? QPageSize::Letter : QPageSize::A4);
    }
    bool makesCopies(const QString& name) const override {
        return name != printers::kPdfPrinterName;
    }
    void submit(const printers::PrintJob& job) override {
        if (!refusal.isEmpty()) throw VbError(1001, refusal);
        const QString kept =
            QDir(keepFolder_).filePath(QStringLiteral("job%1.pdf").arg(jobs.size() + 1));
        QFile::copy(job.pdfPath, kept);
        jobs.push_back({job, kept});
    }

    QString refusal;  // when set, every job is refused with this description
    std::vector<Job> jobs;

  private:
    QString keepFolder_;
};

}  // namespace pbp::test
