#pragma once

#include <sys/resource.h>

namespace pbp::visio::worker {

// Some libraries meet an allocation they cannot make with abort() or a null pointer instead of
// std::bad_alloc, so a worker at its address-space limit dies by SIGABRT or SIGSEGV and the run
// could only say "signal 6". After this call such a death, when the worker's address space is
// within reach of `limitBytes`, ends the process with `exitCode` instead (the out-of-memory exit
// the program turns into "needed more than N MiB of memory"). Other crashes stay crashes.
void TreatCrashesNearTheLimitAsOutOfMemory(rlim_t limitBytes, int exitCode);

}  // namespace pbp::visio::worker
