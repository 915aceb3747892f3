// The tools' runs in memory, for tests and test-side tools: the text of a model, and an
// edits text applied to one, without files or processes.
#pragma once

#include <string>
#include <vector>

#include "model/model_image.h"
#include "run/apply_result.h"

struct RenderedText {
  std::string file;     // the .qci text
  std::string console;  // the bone lines (without the closing line)
  bool operator==(const RenderedText&) const = default;
};

// The text of an image that has passed the checks.
RenderedText renderedText(const ModelImage& image);

// The checks on a copy of the bytes, then, when they pass, the text.
struct DumpedModel {
  int status = -1;
  RenderedText text;
};
DumpedModel dumpInMemory(std::vector<unsigned char> bytes);

// sproing_apply's run on a copy of the model, with the model named "m.mdl", the edits
// "e.qci" and the output "out.mdl": the status, the console (the refusals, or the lines
// before the closing one), the result's data and the bytes the copy ends with.
struct AppliedModel {
  int status = -1;
  std::string console;
  std::vector<unsigned char> bytes;
  std::vector<EditNote> refusals;
  std::vector<EditNote> warnings;
  std::vector<SkippedBone> skipped;
  bool changed = false;
};
AppliedModel applyInMemory(std::vector<unsigned char> model, const std::string& edits,
                           bool skipMissingBones = false);
