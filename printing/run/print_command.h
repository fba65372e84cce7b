#pragma once

#include "printing/run/batch_print_view.h"

namespace pbp {

// The Print button's command: readiness check, then the print run over every list row.
void cmdPrint_Click(BatchPrintView& view);

// The readiness check: at least one entry and copies not 0; shows its own message when not.
bool CanPrint(BatchPrintView& view);

}  // namespace pbp
