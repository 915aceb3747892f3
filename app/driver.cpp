#include "app/driver.h"

#include <cstdio>

#include "app/exit_status.h"
#include "app/model_checks.h"
#include "app/model_loader.h"
#include "definitions/jiggle_writer.h"

// The statuses in the order they are checked: 1 here, 2 and 6 around the load, then 3, 4,
// 7, 5 in checkLoadedModel, then 8 (or 0) from the writer.
int runSproingDump(int argc, const char* const* argv) {
  if (argc != 2) {
    std::fputs("Usage: sproing_dump.exe modelfile.mdl\n", stdout);
    return kExitUsage;
  }
  const char* path = argv[1];
  ModelCheck check = checkModelPath(path);
  ModelImage image;
  if (check.status == kExitWritten && !loadModelImage(path, image)) check = cannotRead(path);
  if (check.status == kExitWritten) check = checkLoadedModel(image, path);
  int status = check.status;
  if (status != kExitWritten) {
    std::fwrite(check.message.data(), 1, check.message.size(), stdout);
  } else if (!writeJiggleDefinitions(image, check.outputName)) {
    status = kExitCannotWrite;
  }
  releaseModelImage(image);  // once, on every path; an image never loaded is empty
  return status;
}
