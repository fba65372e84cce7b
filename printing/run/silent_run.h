#pragma once

#include <QString>

#include "printing/run/batch_print_view.h"
#include "printing/run/print_command.h"

namespace pbp {

// A silent run: the print command as the Print button runs it, then one line per entry on
// standard output and the end of the process with an exit code that tells a script the outcome.
void RunSilently(BatchPrintView& view);

// One line per entry: the path, a tab, the status text with its line ends shown as spaces.
QString SilentRunReport(const BatchPrintView& view);

// 2 when the run did not start, 0 when every entry reads "Sent to Printer", else 1.
int SilentRunExitCode(const BatchPrintView& view, PrintCommandOutcome outcome);

}  // namespace pbp
