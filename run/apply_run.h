// sproing_apply's whole run over bytes in memory, for every front end: the checks in their
// order, the edits applied, and the result as data and as console lines. The front end
// parses its own command line, writes the output where it belongs, and prints.
#pragma once

#include "model/model_image.h"
#include "run/apply_result.h"
#include "run/run_files.h"

struct ApplyRequest {
  const char* modelPath = "";   // as typed, for the messages
  const char* editsPath = "";
  const char* outputPath = "";
  bool skipMissingBones = false;
};

// The statuses in the order they are checked: 2; 11 (the model, then the edits file, named
// as the output); 6 (the model); 3, 4, 7, 5; 6 (the edits); 10. Status 0: result.output is
// the changed model, to be written to the output path and then passed to finishApply.
ApplyResult runApply(const ApplyRequest& request, const RunFiles& files);

// After the front end wrote the output (or failed to): the closing line, "Wrote <output>";
// or, when the output could not be written, status 8 and "Cannot write <output>" as the
// only line, since nothing the other lines report has happened.
void finishApply(ApplyResult& result, const ApplyRequest& request, bool written);

// Gives the output's bytes back through the files they came from.
void releaseApplyResult(ApplyResult& result, const RunFiles& files);
