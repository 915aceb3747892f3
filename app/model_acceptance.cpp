#include "app/model_acceptance.h"

#include <cstdio>

#include "definitions/output_name.h"
#include "model/version_normalisation.h"

namespace {

constexpr std::size_t kMagicAndVersionSize = 8;

ModelAssessment damaged(const char* what) {
  ModelAssessment assessment;
  assessment.verdict = ModelVerdict::Damaged;
  std::snprintf(assessment.damage.what, sizeof assessment.damage.what, "%s", what);
  return assessment;
}

}  // namespace

ModelAssessment assessModelImage(ModelImage& image) {
  ModelAssessment assessment;
  if (image.size < 4 || modelMagic(image) != kStudioMagic) {
    assessment.verdict = ModelVerdict::NotStudioModel;
    return assessment;
  }
  if (image.size < kMagicAndVersionSize) return damaged("the header lies outside the file");
  assessment.version = modelVersion(image);
  if (assessment.version < kMinJiggleVersion) {
    assessment.verdict = ModelVerdict::OldVersion;
    return assessment;
  }
  if (findModelDamage(image, assessment.damage)) {
    assessment.verdict = ModelVerdict::Damaged;
    return assessment;
  }
  normaliseToCurrentVersion(image);
  // Normalisation rewrites descriptors, which a hostile file may lay over its bones or its
  // name; what was checked before must still hold after.
  if (assessment.version != kCurrentVersion && findModelDamage(image, assessment.damage)) {
    assessment.verdict = ModelVerdict::Damaged;
    return assessment;
  }
  if (!isUsableOutputName(makeOutputName(modelName(image)))) {
    return damaged("its stored name gives an unusable output file name");
  }
  if (!findJiggleBone(image)) assessment.verdict = ModelVerdict::NoJiggleBones;
  return assessment;
}

bool findJiggleBone(const ModelImage& image) {
  const std::int32_t bones = boneCount(image);
  for (std::int32_t i = 0; i < bones; ++i) {
    if (isJiggleBone(boneRecord(image, i))) return true;
  }
  return false;
}
