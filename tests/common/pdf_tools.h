#pragma once

// Poppler's tools on PDFs, for tests that judge printed output, and a PDF to print.

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>
#include <QStringList>
#include <vector>

namespace pbp::test {

// What `program` prints on standard output, given `arguments` and `input` on standard input.
inline QString toolOutput(const QString& program, const QStringList& arguments,
                          const QByteArray& input = {}) {
    QProcess tool;
    tool.start(program, arguments);
    tool.write(input);
    tool.closeWriteChannel();
    tool.waitForFinished(30000);
    return QString::fromUtf8(tool.readAllStandardOutput());
}

inline QString pdfText(const QString& pdfPath) {
    return toolOutput(QStringLiteral("pdftotext"), {pdfPath, QStringLiteral("-")});
}

// Sheet sizes in points, from pdfinfo; empty when the file cannot be read.
inline std::vector<QSizeF> pdfSheetSizes(const QString& pdfPath) {
    static const QRegularExpression sizeLine(
        QStringLiteral("^Page\\s+\\d+\\s+size:\\s+([\\d.]+) x ([\\d.]+) pts"),
        QRegularExpression::MultilineOption);
    std::vector<QSizeF> sizes;
    const QString info = toolOutput(QStringLiteral("pdfinfo"), {"-l", "9999", pdfPath});
    for (auto it = sizeLine.globalMatch(info); it.hasNext();) {
        const auto match = it.next();
        sizes.emplace_back(match.captured(1).toDouble(), match.captured(2).toDouble());
    }
    return sizes;
}

inline int pdfPageCount(const QString& pdfPath) {
    return int(pdfSheetSizes(pdfPath).size());
}

// A small one-page PDF holding `text`.
inline QByteArray samplePdf(const QString& text) {
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        QPainter(&writer).drawText(QPointF(100, 100), text);
    }
    return pdf;
}

}  // namespace pbp::test
