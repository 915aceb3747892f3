#include "run/dump_run.h"

#include "run/exit_status.h"

ModelCheck startDump(const char* path, const RunFiles& files, ModelImage& image) {
  image = ModelImage{};
  ModelCheck check = checkModelPath(path);
  if (check.status != kExitWritten) return check;
  if (files.load == nullptr || !files.load(files.context, path, 0, image)) return cannotRead(path);
  return checkLoadedModel(image, path);
}

void finishDump(const RunFiles& files, ModelImage& image) {
  if (image.bytes != nullptr && files.release != nullptr) files.release(files.context, image);
  image = ModelImage{};
}
