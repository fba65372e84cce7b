#pragma once

#include <vector>

#include "printing/run/batch_print_view.h"
#include "printing/run/entry_outcome.h"

namespace pbp {

// The run proper on g_oVisioApp: the optional summary page, then every list entry in order
// (open, turn landscape pages, print, write the status, close), with the status window shown
// and the engine's three run settings switched off meanwhile. A failure in any of an entry's
// steps fails that entry alone (a failing close is ignored: the entry has its outcome); an error
// outside them is reported and ends the loop; the window is closed and the settings restored
// anyway.
// Each entry's outcome goes to the view as soon as the entry is done; the answer holds every
// entry's outcome (NotReached for those an aborted run never got to). When the run is asked to
// stop (run_stop.h) it prints nothing more: the entry under way and those after it are
// Cancelled, each reported to the view; jobs already submitted stay.
std::vector<EntryOutcome> PrintDocuments(BatchPrintView& view);

}  // namespace pbp
