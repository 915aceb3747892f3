#include "run/model_checks.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "run/exit_status.h"
#include "definitions/output_name.h"
#include "model/model_bounds.h"
#include "model/version_normalisation.h"

namespace {

constexpr std::size_t kMagicSize = 4;
constexpr std::size_t kMagicAndVersionSize = 8;

ModelCheck damaged(const char* path, const char* what) {
  return refusal(kExitDamaged, std::string(path) + " is damaged: " + what + "\n");
}

// Whether any bone is a jiggle bone; stops at the first. The image must be sound.
bool findJiggleBone(const ModelImage& image) {
  const std::int32_t bones = boneCount(image);
  for (std::int32_t i = 0; i < bones; ++i) {
    if (isJiggleBone(boneRecord(image, i))) return true;
  }
  return false;
}

}  // namespace

ModelCheck refusal(int status, std::string message) {
  ModelCheck check;
  check.status = status;
  check.message = std::move(message);
  return check;
}

ModelCheck checkModelPath(const char* path) {
  if (std::strstr(path, ".mdl") != nullptr) return ModelCheck{};
  return refusal(kExitNotModelPath, "Specified file is not a model (*.mdl).\n");
}

ModelCheck cannotRead(const char* path) {
  return refusal(kExitCannotRead, std::string("Cannot read ") + path + "\n");
}

ModelCheck checkLoadedModel(ModelImage& image, const char* path) {
  if (image.size < kMagicSize || modelMagic(image) != kStudioMagic) {
    return refusal(kExitNotStudioModel, std::string(path) + " is not a studio model!\n");
  }
  // A file cut inside its version word is not old but damaged; the damage check says so.
  if (image.size >= kMagicAndVersionSize && modelVersion(image) < kMinJiggleVersion) {
    return refusal(kExitOldVersion, "Version " + std::to_string(modelVersion(image)) +
                                       " models do not have jigglebone data, exiting..\n");
  }
  ModelDamage damage;
  if (findModelDamage(image, damage)) return damaged(path, damage.what);
  const std::int32_t version = modelVersion(image);
  normaliseToCurrentVersion(image);
  // Normalisation rewrites descriptors, which a hostile file may lay over its bones or its
  // name; what was checked before must still hold after.
  if (version != kCurrentVersion && findModelDamage(image, damage)) {
    return damaged(path, damage.what);
  }
  std::string outputName = makeOutputName(modelName(image));
  if (!isUsableOutputName(outputName)) {
    return damaged(path, "its stored name gives an unusable output file name");
  }
  if (!findJiggleBone(image)) {
    return refusal(kExitNoJiggleBones, "No bones contain jiggle info, exiting..\n");
  }
  ModelCheck accepted;
  accepted.outputName = std::move(outputName);
  return accepted;
}
