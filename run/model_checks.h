// The checks between loading a model and writing its definitions, in the order their
// refusals are reported, with the version normalisation in its place among them. Needs
// no command line: a page holding the image in memory calls it the same way.
#pragma once

#include <string>

#include "model/model_image.h"

struct ModelCheck {
  int status = 0;          // 0: accepted; else the refusal's exit status
  std::string message;     // the refusal's console line, "\n" included; empty when accepted
  std::string outputName;  // made once, when accepted; passed on to the writer
};

// Checks the image and, if it is sound, normalises it in place. `path` is the model's
// path as typed, for the messages.
ModelCheck checkLoadedModel(ModelImage& image, const char* path);

// The checks around loading, shared by every front end so that their lines are the same:
// a path without ".mdl" is refused before anything is opened (status 2), and a model
// that cannot be read whole gets status 6.
ModelCheck checkModelPath(const char* path);
ModelCheck cannotRead(const char* path);

// A refusal with its status and console line ("\n" included).
ModelCheck refusal(int status, std::string message);
