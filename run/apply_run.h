// sproing_apply's whole run over files reached through RunFiles, for every front end: the
// checks in their order, the edits applied, the output written, and the result as facts.
// The front end parses its own command line and prints the console's lines made of them.
#pragma once

#include "run/apply_result.h"
#include "run/run_files.h"

struct ApplyRequest {
  const char* modelPath = "";   // as typed, for the messages
  const char* editsPath = "";
  const char* outputPath = "";
  bool skipMissingBones = false;
};

// The statuses in the order they are checked: 2; 11 (the model, then the edits file, named
// as the output); 6 (the model); 3, 4, 7, 5; 6 (the edits); 10; then 6 (memory) and 8.
// Written: the changed model is in place at the output.
ApplyResult runApply(const ApplyRequest& request, const RunFiles& files);

// Gives back what the result holds, through the files and memory it came from.
void releaseApplyResult(ApplyResult& result, const RunFiles& files);
