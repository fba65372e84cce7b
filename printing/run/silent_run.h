#pragma once

#include "printing/run/run_request.h"

namespace pbp {

// A silent run of `request`, without any window: the print command as the Print button runs
// it, writing each entry's report line (ReportLine) to standard output as soon as the entry is
// done, then a line for every entry the run did not reach; the status texts go to standard
// error. Answers the exit code (ExitCode). When standard output cannot take a line (a full
// disk, /dev/full) the run still prints every drawing, then says "write error: REASON" on
// standard error and answers 2. SIGINT, SIGTERM and SIGHUP cancel the run: its remaining
// entries are reported as cancelled, the CUPS jobs it queued are listed on standard error, and
// the answer is 128 + the signal's number. A job file that asked for it is deleted once every
// one of its drawings was sent (JobDeletions).
int RunSilently(const RunRequest& request);

// The printer a silent run prints on: the one asked for, installed or not (a name that is not
// installed fails each drawing instead of printing elsewhere); else the remembered printer when
// installed; else the system's default when installed; else, with no default, the first
// installed printer by name. Empty when there is none of these.
QString SilentRunPrinter(const RunRequest& request);

}  // namespace pbp
