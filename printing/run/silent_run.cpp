#include "printing/run/silent_run.h"

#include "printing/run/print_command.h"
#include "support/platform.h"

namespace pbp {

void RunSilently(BatchPrintView& view) {
    cmdPrint_Click(view);
    platform().process->endProcess(0);
}

}  // namespace pbp
