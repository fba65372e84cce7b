#pragma once

#include <QString>
#include <QStringList>

#include "printing/run/batch_print_view.h"

namespace pbp {

// The summary page's lines: the header, two empty lines, then the path of every entry.
QStringList SummaryPageLines(const BatchPrintView& view);

// The printer for the summary page: the installed printer whose name equals g_sSelectedPrinter
// exactly, else the default printer; empty when there is neither, and empty when the printer
// the drawings go to is not installed (the page must not go somewhere else on its own).
QString SummaryPagePrinter(const BatchPrintView& view);

// Prints the summary page as a job of its own before the drawings. Any failure skips it
// silently: the page is a courtesy and must never stop the run.
void PrintSummaryPage(const BatchPrintView& view);

}  // namespace pbp
