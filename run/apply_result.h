// What a run of sproing_apply gives every front end: its status and console lines, and the
// same facts as data, so that none of them reads the console back.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/model_image.h"

// A refusal or a warning about the edits: the line it is about (0: the whole text) and what
// is wrong, without the "<edits>:<line>: " the console puts before it.
struct EditNote {
  std::size_t line = 0;
  std::string what;
};

// A block left alone under --skip-missing-bones.
struct SkippedBone {
  std::size_t line = 0;
  std::string name;
  bool inModel = false;  // the model has the bone, but it carries no jiggle rule
};

struct ApplyResult {
  int status = 0;
  // The lines to print, each ended by "\n": the refusals, or the passed-over count, the
  // skipped bones, the warnings and the changes; finishApply adds the closing line.
  std::string console;
  std::vector<EditNote> refusals;  // status 10: the first ones by line
  std::size_t unlistedRefusals = 0;
  std::vector<EditNote> warnings;  // the first ones by line
  std::size_t unlistedWarnings = 0;
  std::vector<SkippedBone> skipped;
  std::vector<std::string> changedBones;  // in the order of the edits
  bool changed = false;
  std::size_t passedOver = 0;  // other "$commands" of a model source, passed over
  // Status 0: the model with the edits, to be written as the output, and its checked image
  // at the current version (the same bytes where the model is of it), whose bones show as
  // the output's do. Both owned by the result.
  ModelImage output;
  ModelImage reading;
};
