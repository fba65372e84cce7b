#pragma once

namespace pbp {

// A request to stop the print run: the status window's Cancel, or a signal in a silent run.
// It is process-wide, as signals are. The run checks it between its steps; the engine's waits
// for its drawing workers also watch descriptor(), so that they end as soon as it comes.
namespace run_stop {

// Asks the run to stop; `signalNumber` is the signal that asked, 0 for the Cancel button.
// Safe to call from a signal handler.
void request(int signalNumber);

bool requested();

// The signal that asked, 0 when none did (or nothing asked).
int signalNumber();

// Readable while a stop is requested, for poll(); -1 when it could not be made.
int descriptor();

// Forgets the request, for the next run.
void clear();

}  // namespace run_stop

}  // namespace pbp
