#include "run/dump_run.h"

#include <cstring>
#include <new>

#include "definitions/jiggle_text.h"
#include "run/model_checks.h"

namespace {

DumpResult ended(RunOutcome outcome, RunFileRole about = RunFileRole::Model) {
  DumpResult result;
  result.outcome = outcome;
  result.about = about;
  return result;
}

// The text, through a sink of the run's memory: the output gets it whole, or not at all.
// Counts the bones written.
RunOutcome writeDefinitions(const ModelImage& image, const char* path, const RunFiles& files,
                            std::size_t& bones) {
  auto* sink = static_cast<TextSink*>(allocateWith(files.memory, sizeof(TextSink)));
  if (sink == nullptr) return RunOutcome::OutOfMemory;
  new (sink) TextSink;
  RunOutcome outcome = RunOutcome::CannotWrite;
  if (openRunOutput(files, path, true, *sink)) {
    bones = renderJiggleDefinitions(image, *sink);
    if (closeRunOutput(files, path, *sink, true)) outcome = RunOutcome::Written;
  }
  freeWith(files.memory, sink);
  return outcome;
}

}  // namespace

DumpResult runDump(const DumpRequest& request, const RunFiles& files) {
  if (!takesModelPath(request.modelPath)) return ended(RunOutcome::NotModelPath);
  DumpResult result;
  switch (loadRunFile(files, request.modelPath, 0, result.image)) {
    case FileLoad::Loaded: break;
    case FileLoad::CannotRead: return ended(RunOutcome::CannotRead);
    case FileLoad::OutOfMemory: return ended(RunOutcome::OutOfMemory);
  }
  const ModelCheck check = checkLoadedModel(result.image);
  result.outcome = check.outcome;
  result.version = check.version;
  result.damage = check.damage;
  if (check.outcome != RunOutcome::Written) {
    releaseRunFile(files, result.image);
    return result;
  }
  std::memcpy(result.outputName, check.outputName, sizeof result.outputName);
  result.outcome = writeDefinitions(result.image, dumpOutputPath(request, result), files, result.jiggleBones);
  if (result.outcome != RunOutcome::Written) result.about = RunFileRole::Output;
  return result;
}

void releaseDumpResult(DumpResult& result, const RunFiles& files) { releaseRunFile(files, result.image); }
