// sproing_dump's run up to its writing, for every front end: the checks in their order on
// a model reached through the run's files. The front end then renders the definitions
// where they belong and closes with the line of the file written.
#pragma once

#include "model/model_image.h"
#include "run/model_checks.h"
#include "run/run_files.h"

// The statuses in the order they are checked: 2, 6, then 3, 4, 7, 5. Accepted: `image`
// holds the checked, normalised model and the check its output name; give the image back
// with finishDump on every path.
ModelCheck startDump(const char* path, const RunFiles& files, ModelImage& image);
void finishDump(const RunFiles& files, ModelImage& image);
