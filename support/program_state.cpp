#include "support/program_state.h"

namespace pbp {

bool g_bSilentMode = false;
QString g_sSelectedPrinter;
QString g_sAppTitle;

void ResetProgramState() {
    g_bSilentMode = false;
    g_sSelectedPrinter.clear();
    g_sAppTitle.clear();
}

}  // namespace pbp
