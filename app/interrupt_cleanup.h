// What an interrupted run leaves behind: no temporary file, every earlier file as it was.
#pragma once

// Call once, before anything is written. From then on Ctrl+C, a termination request or a
// lost terminal removes the temporary output file, if one exists, and ends the process
// with status 128 + the signal's number (130 for Ctrl+C).
void removeTemporaryFileOnInterrupt();
