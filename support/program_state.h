#pragma once

#include <QString>

namespace pbp {

// Program-wide state of the start-up module, one instance per process.
extern bool g_bSilentMode;          // a silent run was requested
extern QString g_sSelectedPrinter;  // target printer name (command line, later the window)
extern QString g_sAppTitle;         // "PlenBatchPrint" once the batch window is set up

// Puts the state back to its initial values (a fresh process; used by tests).
void ResetProgramState();

}  // namespace pbp
