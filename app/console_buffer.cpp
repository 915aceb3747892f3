#include "app/console_buffer.h"

#include <cstdio>

#include "run/exit_status.h"

namespace {

// Console text is written in large blocks, never line by line: over thousands of bones a
// write per line costs more than the rest of the work. Every message goes to this one
// stream, so the order of the lines holds; the flush at the end hands everything on
// before the process ends, refusals included.
char consoleBuffer[64 * 1024];

}  // namespace

void bufferStandardOutput() { std::setvbuf(stdout, consoleBuffer, _IOFBF, sizeof consoleBuffer); }

int finishStandardOutput(int status) {
  // A script that logs the console must not take a missing log for a clean run.
  if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return status;
  std::fputs("Cannot write to standard output\n", stderr);
  return status != kExitWritten ? status : kExitCannotWriteConsole;
}
