#include <cstdio>

#include "app/driver.h"

namespace {

// Console text is written in large blocks, never line by line: over thousands of bones a
// write per line costs more than the rest of the work. Every message goes to this one
// stream, so the order of the lines holds; the flush at the end hands everything on
// before the process ends, refusals included.
char consoleBuffer[64 * 1024];

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, consoleBuffer, _IOFBF, sizeof consoleBuffer);
  const int status = runSproingDump(argc, argv);
  std::fflush(stdout);
  return status;
}
