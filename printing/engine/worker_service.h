#pragma once

#include <QString>
#include <functional>

namespace pbp::visio::worker {

// What a worker is about to do with a drawing.
enum class Step { Reading, Printing };
// Called with the drawing's path before the worker reads it, and before it paints the sheets a
// Print asks for.
using Hook = std::function<void(const QString& path, Step step)>;

// The drawing worker's whole life: reads its memory limit from the arguments
// ("--memory-limit-mib=N"), limits its address space to it, then serves the program on the
// socket at kSocketFd until the program closes it: reads one drawing at a time (Open), paints
// the asked sheets into a PDF (Print) and forgets the drawing (Close); a Preview answers the
// sheets a plan prints with one of them painted as a picture. Returns the process's
// exit code. Running out of memory ends the process at once with kOutOfMemoryExit.
int runWorker(int argc, char** argv, const Hook& hook = {});

}  // namespace pbp::visio::worker
