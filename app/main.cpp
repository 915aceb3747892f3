#include "app/console_buffer.h"
#include "app/driver.h"
#include "app/interrupt_cleanup.h"

int main(int argc, char** argv) {
  removeTemporaryFileOnInterrupt();
  bufferStandardOutput();
  return finishStandardOutput(runSproingDump(argc, argv));
}
