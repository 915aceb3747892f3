#include "app/model_checks.h"

#include <cstdio>

#include "app/exit_status.h"
#include "app/model_acceptance.h"
#include "definitions/output_name.h"

namespace {

ModelCheck refused(int status, const std::string& message) {
  ModelCheck check;
  check.status = status;
  check.message = message;
  return check;
}

}  // namespace

ModelCheck checkLoadedModel(ModelImage& image, const char* path) {
  const ModelAssessment assessment = assessModelImage(image);
  const std::string where = path;
  switch (assessment.verdict) {
    case ModelVerdict::NotStudioModel:
      return refused(kExitNotStudioModel, where + " is not a studio model!\n");
    case ModelVerdict::OldVersion:
      return refused(kExitOldVersion, "Version " + std::to_string(assessment.version) +
                                          " models do not have jigglebone data, exiting..\n");
    case ModelVerdict::Damaged:
      return refused(kExitDamaged, where + " is damaged: " + assessment.damage.what + "\n");
    case ModelVerdict::NoJiggleBones:
      return refused(kExitNoJiggleBones, "No bones contain jiggle info, exiting..\n");
    case ModelVerdict::Accepted:
      break;
  }
  ModelCheck check;
  check.outputName = makeOutputName(modelName(image));
  return check;
}
