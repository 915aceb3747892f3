// What a run of sproing_apply gives every front end: facts, never sentences. The console's
// lines are made of them in one place (console_lines.h); the page reads them as they are.
#pragma once

#include <cstdint>

#include "base/file_bytes.h"
#include "definitions/edits_encoding.h"
#include "model/model_bounds.h"
#include "model/model_image.h"
#include "run/apply_edits.h"
#include "run/run_outcome.h"

struct ApplyResult {
  RunOutcome outcome = RunOutcome::Written;
  // CannotRead, CannotWrite: the file being read (the model or the edits), or the output;
  // OutputIsInput: which input the output is.
  RunFileRole about = RunFileRole::Model;
  RunStep step = RunStep::Reading;  // OutOfMemory: reading a file, applying or writing
  std::int32_t version = 0;         // OldVersion
  ModelDamage damage;        // Damaged
  // EditsRefused: the faults, the first few by line, a bone named in other capitals found
  // for those that name none of the model's. Written: the warnings, the blocks skipped, the
  // records changed and the commands passed over. Their tokens point into `editsText` and
  // `reading`.
  EditsFindings findings;
  // Written: the model with the edits, as written to the output, and its checked image at
  // the current version (the same bytes where the model is of it). All three owned by the
  // result until releaseApplyResult.
  ModelImage output;
  ModelImage reading;
  FileBytes edits;
  EditsText editsText;  // the edits as UTF-8: their own bytes, or a conversion of UTF-16
};

// Whether the output written differs from the model: a record changed.
inline bool modelChanged(const ApplyResult& result) {
  return result.outcome == RunOutcome::Written && result.findings.changes.count > 0;
}
