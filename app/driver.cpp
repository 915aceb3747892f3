#include "app/driver.h"

#include <cstdio>
#include <cstring>

#include "app/exit_status.h"
#include "app/model_acceptance.h"
#include "app/model_loader.h"
#include "definitions/jiggle_writer.h"

namespace {

// Every path that ends the run after loading releases the image here, once.
int finish(ModelImage& image, int status) {
  releaseModelImage(image);
  return status;
}

}  // namespace

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
  const ModelAssessment assessment = assessModelImage(image);
  switch (assessment.verdict) {
    case ModelVerdict::NotStudioModel:
      std::printf("%s is not a studio model!\n", path);
      return finish(image, kExitNotStudioModel);
    case ModelVerdict::OldVersion:
      std::printf("Version %i models do not have jigglebone data, exiting..\n",
                  static_cast<int>(assessment.version));
      return finish(image, kExitOldVersion);
    case ModelVerdict::Damaged:
      std::printf("%s is damaged: %s\n", path, assessment.damage.what);
      return finish(image, kExitDamaged);
    case ModelVerdict::NoJiggleBones:
      std::fputs("No bones contain jiggle info, exiting..\n", stdout);
      return finish(image, kExitNoJiggleBones);
    case ModelVerdict::Accepted:
      break;
  }
  const bool written = writeJiggleDefinitions(image);
  return finish(image, written ? kExitWritten : kExitCannotWrite);
}
