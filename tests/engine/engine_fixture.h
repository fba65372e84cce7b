#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>
#include <QTemporaryDir>
#include <vector>

#include "printing/engine/engine_factory.h"
#include "printing/printers/printer_system.h"
#include "support/vb_error.h"
#include "tests/common/test_paths.h"

namespace pbp::test {

// The built worker, or the one with test hooks, with short bounds that tests can outlast.
inline visio::WorkerSettings testWorkerSettings(bool hostile = false) {
    visio::WorkerSettings settings;
    settings.program =
        QString::fromUtf8(hostile ? PLEN_HOSTILE_WORKER_EXECUTABLE : PLEN_WORKER_EXECUTABLE);
    settings.workers = 2;
    settings.timeLimit = std::chrono::seconds(5);
    settings.memoryLimitMiB = 1024;
    return settings;
}

inline QString fixture(const QString& name) {
    return sourceDir() + QStringLiteral("/tests/fixtures/drawings/") + name;
}

// What poppler's `tool` (pdftotext, pdfinfo) prints for a PDF.
inline QString pdfReport(const QString& tool, const QString& pdfPath) {
    QProcess process;
    process.start(tool, tool == QLatin1String("pdftotext")
                            ? QStringList{pdfPath, QStringLiteral("-")}
                            : QStringList{QStringLiteral("-l"), QStringLiteral("9999"), pdfPath});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline QString pdfText(const QString& pdfPath) {
    return pdfReport(QStringLiteral("pdftotext"), pdfPath);
}

// Sheet sizes in points of a PDF; empty when it cannot be read.
inline std::vector<QSizeF> pdfSheetSizes(const QString& pdfPath) {
    static const QRegularExpression sizeLine(
        QStringLiteral("^Page\\s+\\d+\\s+size:\\s+([\\d.]+) x ([\\d.]+) pts"),
        QRegularExpression::MultilineOption);
    std::vector<QSizeF> sizes;
    for (auto it = sizeLine.globalMatch(pdfReport(QStringLiteral("pdfinfo"), pdfPath));
         it.hasNext();) {
        const auto match = it.next();
        sizes.emplace_back(match.captured(1).toDouble(), match.captured(2).toDouble());
    }
    return sizes;
}

// Two printers: "Capture", which makes copies itself like a CUPS queue and has Letter paper,
// and the built-in PDF printer with A4 paper. Submitted documents are kept as keptPdf.
class FakePrinterSystem : public printers::PrinterSystem {
  public:
    struct Job {
        printers::PrintJob job;
        QString keptPdf;
    };

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
        jobs.push_back({job, kept_.filePath(QStringLiteral("job%1.pdf").arg(jobs.size() + 1))});
        QFile kept(jobs.back().keptPdf);
        if (kept.open(QIODevice::WriteOnly)) kept.write(job.pdf);
    }

    QString refusal;  // when set, every job is refused with this description
    std::vector<Job> jobs;

  private:
    QTemporaryDir kept_;
};

// An engine application printing to `Printers`.
template <class Printers>
class EngineOn : public ::testing::Test {
  protected:
    std::shared_ptr<visio::Document> open(const QString& path) {
        return app->Documents()->Open(path);
    }

    void print(visio::Document& doc, int from, int to, const QString& printer, int copies = 1) {
        doc.PrintOut(visio::visPrintFromTo, qint16(from), qint16(to), false, printer, false,
                     QString(), qint16(copies), false, false);
    }

    // Description of the error `body` throws; empty when it throws none.
    template <class Body>
    QString errorOf(Body&& body) {
        try {
            body();
        } catch (const VbError& error) {
            EXPECT_NE(error.number(), 0);
            return error.description();
        }
        return {};
    }

    QTemporaryDir dir;
    Printers printers;
    LibVisioEngineFactory factory{printers, [] { return testWorkerSettings(); }};
    std::unique_ptr<visio::Application> app =
        factory.CreateObject(QStringLiteral("Visio.InvisibleApp"));
};

using EngineCase = EngineOn<FakePrinterSystem>;

}  // namespace pbp::test
