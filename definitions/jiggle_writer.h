// Writes the jiggle definitions of a model: the ".qci" file named after the model's stored
// name, in the current folder, with one console line per bone and a closing line.
#pragma once

#include "definitions/angle_conversion.h"
#include "definitions/jiggle_text.h"
#include "definitions/output_name.h"
#include "model/model_image.h"

// The image must have passed findModelDamage and its output name isUsableOutputName.
// Prints "Wrote <name>" and returns true once the file is complete; on any failure prints
// "Cannot write <name>", leaves no file behind and returns false.
bool writeJiggleDefinitions(const ModelImage& image);
