#include "support/program_state.h"

namespace pbp {

bool g_bSilentMode = false;
QString g_sSelectedPrinter;
QString g_sAppTitle;
CommandLinePrintOptions g_oCommandLineOptions;
QString g_sJobFileToDelete;
FileIdentity g_oJobFileToDeleteIdentity;

void ResetProgramState() {
    g_bSilentMode = false;
    g_sSelectedPrinter.clear();
    g_sAppTitle.clear();
    g_oCommandLineOptions = {};
    g_sJobFileToDelete.clear();
    g_oJobFileToDeleteIdentity = {};
}

}  // namespace pbp
