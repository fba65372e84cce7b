#pragma once

#include "printing/run/batch_print_view.h"

namespace pbp {

// The run proper on g_oVisioApp: the optional summary page, then every list entry in order
// (open, turn landscape pages, print, write the status, close), with the status window shown
// and the engine's three run settings switched off meanwhile. An error outside the per-file
// steps is reported and ends the loop; the window is closed and the settings restored anyway.
void PrintDocuments(BatchPrintView& view);

}  // namespace pbp
