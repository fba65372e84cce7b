#pragma once

#include <QString>
#include <optional>

#include "support/file_identity.h"

namespace pbp {

// Print options given on the command line; what is not given keeps the window's own setting.
struct CommandLinePrintOptions {
    std::optional<QString> copies;         // the number of copies
    bool firstPageOnly = false;            // print the first page of each drawing only
    std::optional<QString> summaryHeader;  // print the summary page; empty keeps the header
    QString outputPdf;                     // put every sheet into this one PDF; empty for none
};

// Program-wide state of the start-up module, one instance per process.
extern bool g_bSilentMode;          // a silent run was requested
extern QString g_sSelectedPrinter;  // target printer name (command line, later the window)
extern QString g_sAppTitle;         // "PlenBatchPrint" once the batch window is set up
extern CommandLinePrintOptions g_oCommandLineOptions;
// The job file that asked to be deleted once its drawings are printed; empty when none did.
extern QString g_sJobFileToDelete;
// That job file as it was when it was read; it is deleted only while it is still that file.
extern FileIdentity g_oJobFileToDeleteIdentity;

// Puts the state back to its initial values (a fresh process; used by tests).
void ResetProgramState();

}  // namespace pbp
