#pragma once

#include <QString>
#include <functional>

namespace pbp::visio::worker {

// What a worker is about to do with a drawing.
enum class Step { Reading, Printing };
// Called with the drawing's path before the worker reads it, and before it paints the sheets a
// Print asks for.
using Hook = std::function<void(const QString& path, Step step)>;

// The drawing worker's whole life: loads Qt and the fonts once, then serves the program on the
// socket at kSocketFd until the program closes it, from processes it forks for a share of the
// drawings each. Such a process limits its address space to the memory limit from the
// arguments ("--memory-limit-mib=N"), enters the sandbox, then reads one drawing at a time
// (Open), paints the asked sheets into a PDF (Print) and forgets the drawing (Close). Returns the
// process's exit code. Running out of memory ends the drawing's process at once with
// kOutOfMemoryExit, and this one with it.
int runWorker(int argc, char** argv, const Hook& hook = {});

}  // namespace pbp::visio::worker
