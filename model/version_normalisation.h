// Brings an image of an older (or newer) layout version to the current one, in memory.
#pragma once

#include "model/model_image.h"

// The image must have passed findModelDamage: the descriptor table and, below version 47,
// retiredWord are rewritten without further checks. Version 48 is left byte for byte.
void normaliseToCurrentVersion(ModelImage& image);
