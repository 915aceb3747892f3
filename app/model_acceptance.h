// The checks between loading a model and writing its definitions, in the order the
// driver reports them, with the version normalisation in its place among them.
#pragma once

#include <cstdint>

#include "model/model_bounds.h"
#include "model/model_image.h"

enum class ModelVerdict {
  Accepted,        // normalised, and holds at least one jiggle bone
  NotStudioModel,  // no "IDST" at the start
  OldVersion,      // version below kMinJiggleVersion
  Damaged,         // something it points to lies outside the file, or its name is unusable
  NoJiggleBones,
};

struct ModelAssessment {
  ModelVerdict verdict = ModelVerdict::Accepted;
  std::int32_t version = 0;  // as stored, for the version refusal
  ModelDamage damage;        // for the damage refusal
};

// Checks the image and, if it is sound, normalises it in place.
ModelAssessment assessModelImage(ModelImage& image);

// Whether any bone is a jiggle bone; stops at the first. The image must be sound.
bool findJiggleBone(const ModelImage& image);
