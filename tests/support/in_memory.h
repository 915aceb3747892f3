// The tools' runs in memory, for tests and test-side tools: the text of a model, and an
// edits text applied to one, without files or processes.
#pragma once

#include <string>
#include <vector>

#include "model/model_image.h"

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

// sproing_apply's run on a copy of the model, with the model named "m.mdl" and the edits
// "e.qci" in messages: the status, the console (change lines or the refusal) and the bytes
// the copy ends with.
struct AppliedModel {
  int status = -1;
  std::string console;
  std::vector<unsigned char> bytes;
};
AppliedModel applyInMemory(std::vector<unsigned char> model, const std::string& edits);
