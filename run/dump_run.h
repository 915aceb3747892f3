// sproing_dump's whole run, for every front end: the checks in their order on a model
// reached through the run's files, the definitions written to the output through them, and
// the result as facts. The front end prints the console's lines made of them
// (console_lines.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "definitions/output_name.h"
#include "model/model_bounds.h"
#include "model/model_image.h"
#include "run/run_files.h"
#include "run/run_outcome.h"

struct DumpRequest {
  const char* modelPath = "";        // as typed: the file read, and its name in the messages
  const char* outputPath = nullptr;  // where the text goes; null: outputName, in the current folder
};

struct DumpResult {
  RunOutcome outcome = RunOutcome::Written;
  RunFileRole about = RunFileRole::Model;  // CannotRead, OutOfMemory: the model, or the output
  std::int32_t version = 0;                // OldVersion
  ModelDamage damage;                      // Damaged
  char outputName[kOutputNameRoom] = {};   // made from the stored name, once the model passed
  std::size_t jiggleBones = 0;             // once its text was made
  // The checked model, once it passed: the console's bone lines name its jiggle bones.
  // Given back by releaseDumpResult.
  ModelImage image;
};

// The statuses in the order they are checked: 2, 6, then 3, 4, 7, 5, then 6 (memory for the
// text) and 8. Written: the text is in place at the output.
DumpResult runDump(const DumpRequest& request, const RunFiles& files);
void releaseDumpResult(DumpResult& result, const RunFiles& files);

// Where the text went, or was to go.
inline const char* dumpOutputPath(const DumpRequest& request, const DumpResult& result) {
  return request.outputPath != nullptr ? request.outputPath : result.outputName;
}
