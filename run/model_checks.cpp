#include "run/model_checks.h"

#include <cstddef>
#include <cstring>

#include "model/jiggle_bone.h"
#include "model/version_normalisation.h"

namespace {

ModelCheck ended(RunOutcome outcome) {
  ModelCheck check;
  check.outcome = outcome;
  return check;
}

ModelCheck damaged(const ModelDamage& damage) {
  ModelCheck check = ended(RunOutcome::Damaged);
  check.damage = damage;
  return check;
}

// Whether any bone is a jiggle bone; stops at the first. The image must be sound.
bool findJiggleBone(const ModelImage& image) {
  return !forEachJiggleBone(image, [](std::int32_t, const unsigned char*) { return false; });
}

}  // namespace

bool takesModelPath(const char* path) { return std::strstr(path, ".mdl") != nullptr; }

ModelCheck checkLoadedModel(ModelImage& image) {
  if (!startsAsStudioModel(image.bytes, image.size)) return ended(RunOutcome::NotStudioModel);
  // A file cut inside its version word is not old but damaged; the damage check says so.
  if (holdsVersion(image) && modelVersion(image) < kMinJiggleVersion) {
    ModelCheck check = ended(RunOutcome::OldVersion);
    check.version = modelVersion(image);
    return check;
  }
  ModelDamage damage;
  if (findModelDamage(image, damage)) return damaged(damage);
  const std::int32_t version = modelVersion(image);
  normaliseToCurrentVersion(image);
  // Normalisation rewrites descriptors, which a hostile file may lay over its bones or its
  // name; what was checked before must still hold after.
  if (version != kCurrentVersion && findModelDamage(image, damage)) return damaged(damage);
  ModelCheck accepted;
  if (!makeOutputName(modelName(image), accepted.outputName, sizeof accepted.outputName) ||
      !isUsableOutputName(accepted.outputName)) {
    return damaged(ModelDamage{ModelDamageKind::UnusableOutputName, -1});
  }
  if (!findJiggleBone(image)) return ended(RunOutcome::NoJiggleBones);
  return accepted;
}
