#include "tests/engine/pdf_probe.h"

#include <QProcess>
#include <QRegularExpression>

namespace pbp::test {

namespace {

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

std::vector<QSizeF> pdfSheetSizes(const QString& pdfPath) {
    const QString info = run(QStringLiteral("pdfinfo"), {pdfPath});
    const QRegularExpression pagesLine(QStringLiteral("^Pages:\\s+(\\d+)"),
                                       QRegularExpression::MultilineOption);
    const int pages = pagesLine.match(info).captured(1).toInt();
    if (pages == 0) return {};
    const QString sizes =
        run(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                        QStringLiteral("-l"), QString::number(pages), pdfPath});
    const QRegularExpression sizeLine(
        QStringLiteral("^Page\\s+\\d+\\s+size:\\s+([\\d.]+) x ([\\d.]+) pts"),
        QRegularExpression::MultilineOption);
    std::vector<QSizeF> result;
    for (auto it = sizeLine.globalMatch(sizes); it.hasNext();) {
        const auto match = it.next();
        result.emplace_back(match.captured(1).toDouble(), match.captured(2).toDouble());
    }
    return result;
}

QString pdfText(const QString& pdfPath) {
    return run(QStringLiteral("pdftotext"), {pdfPath, QStringLiteral("-")});
}

}  // namespace pbp::test
