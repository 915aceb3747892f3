// The checks between loading a model and writing its definitions, in the order their
// refusals are reported, with the version normalisation in its place among them. Needs
// no command line: a page holding the image in memory calls it the same way.
#pragma once

#include <cstdint>

#include "definitions/output_name.h"
#include "model/model_bounds.h"
#include "model/model_image.h"
#include "run/run_outcome.h"

struct ModelCheck {
  RunOutcome outcome = RunOutcome::Written;  // Written: accepted
  std::int32_t version = 0;                  // OldVersion: the version read
  ModelDamage damage;                        // Damaged: what and where
  char outputName[kOutputNameRoom] = {};     // accepted: made once, from the stored name
};

// Checks the image and, if it is sound, normalises it in place: NotStudioModel,
// OldVersion, Damaged (the output name made from the stored name included), NoJiggleBones.
ModelCheck checkLoadedModel(ModelImage& image);

// The name check, before anything is opened: a path holding ".mdl", in those capitals.
bool takesModelPath(const char* path);
