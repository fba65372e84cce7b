#pragma once

#include "printing/engine/worker_process.h"
#include "printing/run/run_request.h"

namespace pbp {

// How the print run's drawing workers are run. The worker program is plenbatchprint-worker in
// `programFolder` (PLENBATCHPRINT_WORKER names another). The time limit per drawing, in
// seconds (default 60, 1 to 86400), and the memory limit per worker, in MiB (default 2048,
// 64 to 1048576), are the run's `limits` when given, else PLENBATCHPRINT_TIME_LIMIT and
// PLENBATCHPRINT_MEMORY_LIMIT when set, else the settings store values DrawingTimeLimit and
// DrawingMemoryLimit beside the default printer. A value that is not a whole number in range
// counts as unset.
visio::WorkerSettings DrawingWorkerSettings(const QString& programFolder,
                                            const DrawingLimits& limits = {});

}  // namespace pbp
