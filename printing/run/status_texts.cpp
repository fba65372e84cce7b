#include "printing/run/status_texts.h"

#include <QCoreApplication>
#include <QLocale>
#include <cmath>
#include <optional>

#include "support/vb_error.h"

namespace pbp {

namespace status_text {
QString openFailed(const QString& path) {
    return QStringLiteral("There was a problem attempting to open\r\n'") + path +
           QStringLiteral("'\r\nThis file maybe in use by Visio.");
}

QString openFailed(const QString& path, const QString& readerFailure) {
    return openFailed(path) + QStringLiteral("\r\n") + printFailed(readerFailure);
}

QString printFailed(const QString& description) {
    if (description.isEmpty()) return QStringLiteral("Error Printing File.");
    return QStringLiteral("Error Printing File. Error: ") + description;
}
}  // namespace status_text

namespace {
// The copies text (spaces around it allowed) as a whole number, halves to even; nothing when
// it is not a finite number.
std::optional<double> wholeCopies(const QString& text) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return std::nearbyint(value);
}

bool inCopiesRange(double copies) {
    return copies >= 1 && copies <= 32767;
}
}  // namespace

QString OpeningText(const QString& path, qint64 i, qint64 n) {
    return QCoreApplication::translate("StatusTexts", "Opening %1 (%2 of %3)")
        .arg(path, QString::number(i), QString::number(n));
}

QString PrintingText(qint64 i, qint64 n) {
    return QCoreApplication::translate("StatusTexts", "Printing file (%1 of %2)").arg(i).arg(n);
}

QString ClosingText(qint64 i, qint64 n) {
    return QCoreApplication::translate("StatusTexts", "Closing file (%1 of %2)").arg(i).arg(n);
}

qint32 ProgressPercentage(qint64 i, qint64 n) {
    const double share = static_cast<double>(3 * i) / static_cast<double>(3 * n) * 100.0;
    return static_cast<qint32>(std::nearbyint(share));
}

double LeadingNumber(const QString& text) {
    qsizetype pos = 0;
    while (pos < text.size() && (text.at(pos) == QLatin1Char(' ') || text.at(pos) == u'\t')) ++pos;
    const qsizetype start = pos;
    if (pos < text.size() && (text.at(pos) == QLatin1Char('+') || text.at(pos) == u'-')) ++pos;
    while (pos < text.size() && text.at(pos).isDigit() && text.at(pos).unicode() < 128) ++pos;
    if (pos < text.size() && text.at(pos) == QLatin1Char('.')) {
        ++pos;
        while (pos < text.size() && text.at(pos).isDigit() && text.at(pos).unicode() < 128) ++pos;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text.mid(start, pos - start), &ok);
    return ok ? value : 0.0;
}

bool CopiesArePrintable(const QString& text) {
    const std::optional<double> copies = wholeCopies(text);
    return copies && inCopiesRange(*copies);
}

qint16 CopiesForPrintOut(const QString& text) {
    const std::optional<double> copies = wholeCopies(text);
    if (!copies)
        throw VbError(
            13,
            QStringLiteral("Type mismatch: the number of copies '%1' is not a number").arg(text));
    if (!inCopiesRange(*copies))
        throw VbError(
            errnum::kOverflow,
            QStringLiteral("The number of copies '%1' is not between 1 and 32767").arg(text));
    return static_cast<qint16>(*copies);
}

}  // namespace pbp
