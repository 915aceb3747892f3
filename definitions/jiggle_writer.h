// Writes the jiggle definitions of a model: the ".qci" file in the current folder, with
// one console line per bone and a closing line.
#pragma once

#include <string>

#include "model/model_image.h"

// The image must have passed findModelDamage, and outputName (made from its stored name)
// isUsableOutputName. Prints "Wrote <name>" and returns true once the file is complete;
// on any failure prints "Cannot write <name>", leaves no file behind and returns false.
bool writeJiggleDefinitions(const ModelImage& image, const std::string& outputName);
