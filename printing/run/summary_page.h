#pragma once

#include <QString>
#include <QStringList>

#include "printing/run/batch_print_view.h"

namespace pbp {

// The summary page's lines: the header, two empty lines, then the path of every entry.
QStringList SummaryPageLines(const BatchPrintView& view);

// The summary page's first line unless the user gives another.
inline const QString kDefaultSummaryHeader = QStringLiteral("PlenPrint Batch Job Summary");

// The printer for the summary page: the printer the drawings go to when it is installed under
// exactly that name; empty otherwise (the page must not go somewhere else on its own).
QString SummaryPagePrinter(const BatchPrintView& view);

// Prints the summary page as a job of its own before the drawings. Any failure skips it
// silently: the page is a courtesy and must never stop the run.
void PrintSummaryPage(const BatchPrintView& view);

}  // namespace pbp
