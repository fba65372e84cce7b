#pragma once

#include "printing/run/batch_print_view.h"

namespace pbp {

// A silent run: the print command as the Print button runs it, writing each entry's report
// line (ReportLine) to standard output as soon as the entry is done, then a line for every
// entry the run did not reach, and the end of the process with ExitCode's answer. When standard
// output cannot take a line (a full disk, /dev/full) the run still prints every drawing, then
// says "write error: REASON" on standard error and ends with 2. SIGINT, SIGTERM and SIGHUP
// cancel the run: its remaining entries are reported as cancelled, the CUPS jobs it queued are
// listed on standard error, and the exit code is 128 + the signal's number.
void RunSilently(BatchPrintView& view);

}  // namespace pbp
