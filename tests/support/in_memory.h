// The tools' runs in memory, for tests and test-side tools: the text of a model, and an
// edits text applied to one, without files or processes, their memory limited on request.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "base/memory_hook.h"
#include "model/model_image.h"

// Memory that fails on purpose: the allocation numbered `failAt` (from 1; 0 for none), so
// that each place a run asks for memory is made to fail in turn. Counts what is asked for
// and what is still held, so that a test sees a leak.
struct FailingMemory {
  std::size_t failAt = 0;
  std::size_t asked = 0;
  std::size_t held = 0;
};
MemoryHook failingMemoryHook(FailingMemory& memory);

struct RenderedText {
  std::string file;     // the .qci text
  std::string console;  // the bone lines (without the closing line)
  bool operator==(const RenderedText&) const = default;
};

// The text of an image that has passed the checks.
RenderedText renderedText(const ModelImage& image);

// sproing_dump's run on a copy of the bytes, named "m.mdl", the text kept in memory: its
// status, text and whole console.
struct DumpedModel {
  int status = -1;
  RenderedText text;
  std::string console;
};
DumpedModel dumpInMemory(std::vector<unsigned char> bytes, FailingMemory* memory = nullptr);

// A refusal or a warning about the edits: its line (0: the whole text) and its words,
// without the "<edits>:<line>: " the console puts before them.
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
                           bool skipMissingBones = false, FailingMemory* memory = nullptr);
