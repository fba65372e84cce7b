#pragma once

#include <QString>
#include <functional>

namespace pbp::visio::worker {

// Called with the path of each drawing before the worker reads it.
using BeforeOpen = std::function<void(const QString& path)>;

// The drawing worker's whole life: reads its memory limit from the arguments
// ("--memory-limit-mib=N"), limits its address space to it, then serves the program on the
// socket at kSocketFd until the program closes it: reads one drawing at a time (Open), paints
// the asked sheets into a PDF (Print) and forgets the drawing (Close). Returns the process's
// exit code. Running out of memory ends the process at once with kOutOfMemoryExit.
int runWorker(int argc, char** argv, const BeforeOpen& beforeOpen = {});

}  // namespace pbp::visio::worker
