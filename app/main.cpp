#include <cstdio>

#include "app/console_buffer.h"
#include "app/driver.h"

int main(int argc, char** argv) {
  bufferStandardOutput();
  const int status = runSproingDump(argc, argv);
  std::fflush(stdout);
  return status;
}
