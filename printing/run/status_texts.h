#pragma once

#include <QString>

namespace pbp {

// The texts a print run writes into the list's status column (lines end in CR LF).
namespace status_text {
inline const QString kSentToPrinter = QStringLiteral("Sent to Printer");
inline const QString kOnlyBackgroundPages =
    QStringLiteral("Not Printed! Drawing only contains background pages.");
inline const QString kRunCancelled = QStringLiteral("Not printed: the run was cancelled");
QString openFailed(const QString& path);
// The same with "Error Printing File. Error: " and why the drawing reader failed beneath it.
QString openFailed(const QString& path, const QString& readerFailure);
// "Error Printing File." alone when the description is empty.
QString printFailed(const QString& description);
}  // namespace status_text

// The status window's step texts in the user's language; i is the 1-based position, n the
// number of entries.
QString OpeningText(const QString& path, qint64 i, qint64 n);
QString PrintingText(qint64 i, qint64 n);
QString ClosingText(qint64 i, qint64 n);

// (3i) / (3n) * 100 in double precision, rounded to the nearest whole number, halves to even.
qint32 ProgressPercentage(qint64 i, qint64 n);

// The leading numeric part of a text, as the copies box is read for the readiness check:
// leading blanks skipped, optional sign, digits, optional decimals; 0 when there is none.
double LeadingNumber(const QString& text);

// Whether CopiesForPrintOut takes the copies text (the Print button's rule).
bool CopiesArePrintable(const QString& text);

// The copies text as the print call takes it: a whole number (halves to even) from 1 to 32767.
// Throws VbError 13 when the text is not a number and 6 when it is out of that range.
qint16 CopiesForPrintOut(const QString& text);

}  // namespace pbp
