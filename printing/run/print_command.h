#pragma once

#include <vector>

#include "printing/run/batch_print_view.h"
#include "printing/run/entry_outcome.h"

namespace pbp {

// The Print button's command: readiness check, then the print run over every list row.
void cmdPrint_Click(BatchPrintView& view);

// What one print command did.
struct PrintCommandResult {
    // False when the readiness check or starting the engine stopped it.
    bool started = false;
    // Every entry's outcome in list order, once the run got as far as the drawings.
    std::vector<EntryOutcome> outcomes;
    // True when the run was asked to stop, and the signal that asked (0 for the Cancel button).
    bool cancelled = false;
    int stopSignal = 0;
};

// cmdPrint_Click with its result; the view hears runFinished when the run started. A stop
// requested before the command ended is in the result and then forgotten.
PrintCommandResult RunPrintCommand(BatchPrintView& view);

// The readiness check: at least one entry and copies not 0; shows its own message when not.
bool CanPrint(BatchPrintView& view);

}  // namespace pbp
