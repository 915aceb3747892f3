// What an interrupted run leaves behind: no temporary file, every earlier file as it was,
// and every file a run put in place complete.
#pragma once

// Call once, before anything is written. From then on Ctrl+C, a termination request or a
// lost terminal removes the temporary output files, if any exist, and ends the process
// with status 128 + the signal's number (130 for Ctrl+C).
void removeTemporaryFileOnInterrupt();

// As above, but for a run of many files: the first interrupt is only noted, for the run to
// finish the files it is writing and stop (interruptSignal tells it); a second one ends the
// process at once, as above.
void stopOnInterrupt();

// The signal of the first interrupt since stopOnInterrupt, or 0.
int interruptSignal();

// Ends the process as that interrupt would have: standard output must be flushed first.
[[noreturn]] void endAsInterrupted(int signal);
