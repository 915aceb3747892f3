// Standard output, buffered in large blocks for the whole run.
#pragma once

// Call before anything is written to standard output.
void bufferStandardOutput();

// Flushes standard output before the process ends and returns the run's final status:
// `status` itself, unless the console text was lost on a run that had otherwise
// succeeded. A lost console is said on standard error, the only place left.
int finishStandardOutput(int status);
