// The checks after a model is loaded, with their refusal messages, shared by every front.
#pragma once

#include <string>

#include "model/model_image.h"

struct ModelCheck {
  int status = 0;           // 0: accepted (normalised, has a jiggle bone); else 3, 4, 7 or 5
  std::string message;      // the refusal's console line, "\n" included; empty when accepted
  std::string outputName;   // made once, when accepted
};

// `path` is the model's path as given, for the messages.
ModelCheck checkLoadedModel(ModelImage& image, const char* path);
