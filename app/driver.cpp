#include "app/driver.h"

#include <cstdio>
#include <cstring>

#include "app/exit_status.h"
#include "app/model_checks.h"
#include "app/model_loader.h"
#include "definitions/jiggle_writer.h"

// The statuses in the order they are checked: 1, 2, 6 here, then 3, 4, 7, 5 in
// checkLoadedModel, then 8 (or 0) from the writer.
int runSproingDump(int argc, const char* const* argv) {
  if (argc != 2) {
    std::fputs("Usage: sproing_dump.exe modelfile.mdl\n", stdout);
    return kExitUsage;
  }
  const char* path = argv[1];
  if (std::strstr(path, ".mdl") == nullptr) {
    std::fputs("Specified file is not a model (*.mdl).\n", stdout);
    return kExitNotModelPath;
  }
  ModelImage image;
  if (!loadModelImage(path, image)) {
    std::printf("Cannot read %s\n", path);
    return kExitCannotRead;
  }
  const ModelCheck check = checkLoadedModel(image, path);
  int status = check.status;
  if (status != kExitWritten) {
    std::fwrite(check.message.data(), 1, check.message.size(), stdout);
  } else if (!writeJiggleDefinitions(image, check.outputName)) {
    status = kExitCannotWrite;
  }
  releaseModelImage(image);  // every path after loading passes here, once
  return status;
}
