#pragma once

#include "printing/run/batch_print_view.h"

namespace pbp {

// A silent run: the print command as the Print button runs it, then one line per entry on
// standard output and the end of the process with an exit code that tells a script the outcome.
void RunSilently(BatchPrintView& view);

}  // namespace pbp
