// Standard output, buffered in large blocks for the whole run.
#pragma once

// Call before anything is written to standard output; flush it before the process ends.
void bufferStandardOutput();
