// Writing edited jiggle definitions into a copy of a model, all in memory: the model's
// checks, the reading of the edits, the change of the parameter records and the console
// lines. It knows no file, console or page; each front end hands it bytes and a sink.
#pragma once

#include <cstddef>

#include "definitions/text_sink.h"
#include "model/model_image.h"
#include "run/model_checks.h"

// The model's checks, as the dump makes them, on `reading`: the model itself where it is
// of the current version (normalisation leaves it as it is), else a copy, which the checks
// normalise and from which every stored value is read, while the model's own bytes, which
// become the output, stay as read. Statuses 3, 4, 7, 5, or 6 when the copy's memory cannot
// be had. Release with releaseModelCopy on every path, before the model.
ModelCheck checkModelToApply(ModelImage& model, const char* path, ModelImage& reading);
void releaseModelCopy(const ModelImage& model, ModelImage& reading);

// Applies the edits text to `output` (the model's bytes) and `reading` (its checked copy).
// Status 0: `output` is the changed model, `reading` holds the same changes and `console`
// one line per changed bone in the order of the edits, or one saying that none changed. Status 10 (or 6 when memory
// cannot be had): the refusal's line, and both images must be discarded. `console` gets
// nothing on a refusal. Paths are as typed, for the messages.
ModelCheck applyEdits(ModelImage& output, ModelImage& reading, const char* edits,
                      std::size_t editsSize, const char* modelPath, const char* editsPath,
                      TextSink& console);
