#pragma once

#include <QByteArray>
#include <QPageSize>
#include <QString>
#include <vector>

#include "printing/printers/printer_system.h"

namespace pbp::printers {

// The built-in PDF printer's folder: $PLENBATCHPRINT_PDF_DIR, or ~/PDF when that is unset.
QString pdfOutputFolder();

// The built-in PDF printer's paper: Letter where the locale measures in US units, else A4.
QPageSize pdfPrinterPaper();

// The built-in PDF printer's one option: its paper (media), from the common drawing papers.
std::vector<PrinterOption> pdfPrinterOptions();

// A file name (without ".pdf") made from a job title: no "/", control characters or leading
// dots, at most 200 bytes of UTF-8, "document" when nothing is left.
QString pdfBaseNameForTitle(const QString& title);

// Saves the PDF document into `folder` (created when missing) as "<title>.pdf", or
// "<title> (2).pdf", "<title> (3).pdf" ... when that name is taken. The file appears complete
// or not at all and never replaces an existing one, even when jobs race. Returns the new path;
// throws VbError naming the folder when it cannot be written.
QString savePdfInFolder(const QByteArray& pdf, const QString& title, const QString& folder);

}  // namespace pbp::printers
