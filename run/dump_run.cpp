#include "run/dump_run.h"

#include "run/exit_status.h"

ModelCheck startDump(const char* path, const RunFiles& files, ModelImage& image) {
  image = ModelImage{};
  ModelCheck check = checkModelPath(path);
  if (check.status != kExitWritten) return check;
  if (!loadRunFile(files, path, 0, image)) return cannotRead(path);
  return checkLoadedModel(image, path);
}

void finishDump(const RunFiles& files, ModelImage& image) { releaseRunFile(files, image); }
