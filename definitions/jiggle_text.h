// The text of the definitions: one "$jigglebone" block per jiggle bone, in table order,
// and one summary line per bone for the console.
#pragma once

#include "definitions/text_sink.h"
#include "model/model_image.h"

// The image must have passed findModelDamage. Blocks go to `file`, summary lines to
// `console`; neither sink is flushed here.
void renderJiggleDefinitions(const ModelImage& image, TextSink& file, TextSink& console);
