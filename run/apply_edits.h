// An edits text applied to a checked model in memory: each statement read, each bone's
// record rewritten, and every fault, warning, skipped block and change noted. The words of
// the notes are the run's (apply_run.h) to make.
#pragma once

#include <cstddef>
#include <cstdint>

#include "definitions/edit_faults.h"
#include "model/jiggle_bone.h"
#include "base/memory_hook.h"
#include "model/model_image.h"
#include "run/earliest_notes.h"
#include "base/growing_list.h"

// A bone whose record the edits changed, as it was and as it is.
struct ChangedRecord {
  std::int32_t bone;
  std::size_t line;  // of its block
  const char* name;  // in the model's checked image
  std::size_t nameLength;
  std::uint32_t before[kJiggleWords];
  std::uint32_t after[kJiggleWords];
};

// A change's bone as it was and as it is, for the words and the checks that compare them.
void changedBones(const ChangedRecord& change, JiggleBone& before, JiggleBone& after);

struct SkippedBlock {
  std::size_t line;
  TextSpan name;
  bool inModel;  // a bone without a jiggle rule, rather than none of that name
};

struct EditsFindings {
  EarliestNotes<EditFault> faults;
  EarliestNotes<EditWarning> warnings;
  GrowingList<SkippedBlock> skipped;
  GrowingList<ChangedRecord> changes;  // in the order of the edits
  std::size_t passedOver = 0;
  bool outOfMemory = false;
};

// Applies `edits` (followed by a NUL byte) to `output`, the model's own bytes, and
// `reading`, its checked copy (the same image at the current version). With faults, or out
// of memory, both images are to be discarded. `skipMissingBones`: a block naming no bone of
// the model, or one without a jiggle rule, is skipped rather than refused. Every allocation
// goes through `memory`; the findings are released through it.
void applyEditsText(ModelImage& output, ModelImage& reading, const char* edits, std::size_t size,
                    bool skipMissingBones, const MemoryHook& memory, EditsFindings& findings);
void releaseFindings(EditsFindings& findings, const MemoryHook& memory);
