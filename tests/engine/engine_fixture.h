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
#include "tests/common/fake_printers.h"
#include "tests/common/test_paths.h"

namespace pbp::test {

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
    LibVisioEngineFactory factory{printers};
    std::unique_ptr<visio::Application> app =
        factory.CreateObject(QStringLiteral("Visio.InvisibleApp"));
};

using EngineCase = EngineOn<FakePrinters>;

}  // namespace pbp::test
