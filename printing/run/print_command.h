#pragma once

#include "printing/run/batch_print_view.h"

namespace pbp {

// The Print button's command: readiness check, then the print run over every list row.
void cmdPrint_Click(BatchPrintView& view);

// Whether the print command got as far as running the drawings.
enum class PrintCommandOutcome { NotStarted, Ran };

// cmdPrint_Click with its outcome: NotStarted when the readiness check or starting the engine
// stopped it (a silent run ends with its own exit code then).
PrintCommandOutcome RunPrintCommand(BatchPrintView& view);

// The readiness check: at least one entry and copies not 0; shows its own message when not.
bool CanPrint(BatchPrintView& view);

}  // namespace pbp
