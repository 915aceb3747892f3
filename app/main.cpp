#include <cstdio>

#include "app/driver.h"

int main(int argc, char** argv) {
  const int status = runSproingDump(argc, argv);
  std::fflush(stdout);
  return status;
}
