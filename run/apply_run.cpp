#include "run/apply_run.h"

#include <cstring>
#include <new>

#include "definitions/edits_encoding.h"
#include "definitions/near_words.h"
#include "model/model_bounds.h"
#include "run/model_checks.h"

namespace {

ApplyResult ended(RunOutcome outcome, RunFileRole about = RunFileRole::Model) {
  ApplyResult result;
  result.outcome = outcome;
  result.about = about;
  return result;
}

// A jiggle bone of the model named as a block names one, but in other capitals: found by a
// walk over the bones, made only for the few refusals listed.
EditToken boneInOtherCapitals(const ModelImage& image, const EditToken& name) {
  const std::int32_t bones = boneCount(image);
  for (std::int32_t i = 0; i < bones; ++i) {
    std::size_t length = 0;
    const char* stored = checkedBoneName(image, i, length);
    if (stored != nullptr && isJiggleBone(boneRecord(image, i)) &&
        sameIgnoringCapitals(stored, length, name.text, name.length)) {
      return EditToken{stored, length, 0};
    }
  }
  return EditToken{};
}

void suggestBones(ApplyResult& result) {
  EarliestNotes<EditFault>& faults = result.findings.faults;
  for (std::size_t i = 0; i < faults.count; ++i) {
    EditFault& fault = faults.listed[i];
    if (fault.kind == EditFaultKind::NoSuchBone) fault.suggestion = boneInOtherCapitals(result.reading, fault.word);
  }
}

// The model's checks, as the dump makes them, on `reading`: the model itself where it is
// of the current version (normalisation leaves it as it is), else a copy, which the checks
// normalise and from which every stored value is read, while the model's own bytes, which
// become the output, stay as read. The copy is given back with the result.
ModelCheck checkModelToApply(ModelImage& model, ModelImage& reading, const MemoryHook& memory) {
  const bool current = model.size >= 8 && modelMagic(model) == kStudioMagic &&
                       modelVersion(model) == kCurrentVersion;
  reading = model;
  if (!current && model.size > 0) {
    reading.bytes = static_cast<unsigned char*>(allocateWith(memory, model.size));
    if (reading.bytes == nullptr) {
      reading = ModelImage{};
      ModelCheck check;
      check.outcome = RunOutcome::OutOfMemory;
      return check;
    }
    std::memcpy(reading.bytes, model.bytes, model.size);
  }
  return checkLoadedModel(reading);
}

// The changed model, through the output's sink of the run's memory.
RunOutcome writeChangedModel(const ModelImage& model, const char* path, const RunFiles& files) {
  auto* sink = static_cast<TextSink*>(allocateWith(files.memory, sizeof(TextSink)));
  if (sink == nullptr) return RunOutcome::OutOfMemory;
  new (sink) TextSink;
  RunOutcome outcome = RunOutcome::CannotWrite;
  if (openRunOutput(files, path, false, *sink)) {
    sinkWrite(*sink, reinterpret_cast<const char*>(model.bytes), model.size);
    if (closeRunOutput(files, path, *sink, true)) outcome = RunOutcome::Written;
  }
  freeWith(files.memory, sink);
  return outcome;
}

RunOutcome outcomeOfLoad(FileLoad load) {
  return load == FileLoad::OutOfMemory ? RunOutcome::OutOfMemory : RunOutcome::CannotRead;
}

// Ends a run that goes no further, giving back what it holds.
ApplyResult& stop(ApplyResult& result, RunOutcome outcome, RunFileRole about, const RunFiles& files) {
  result.outcome = outcome;
  result.about = about;
  releaseApplyResult(result, files);
  return result;
}

}  // namespace

ApplyResult runApply(const ApplyRequest& request, const RunFiles& files) {
  if (!takesModelPath(request.modelPath)) return ended(RunOutcome::NotModelPath);
  // Decided before anything is read, let alone written: neither file is ever replaced.
  if (sameRunFile(files, request.modelPath, request.outputPath)) return ended(RunOutcome::OutputIsInput);
  if (sameRunFile(files, request.editsPath, request.outputPath)) {
    return ended(RunOutcome::OutputIsInput, RunFileRole::Edits);
  }
  ApplyResult result;
  const FileLoad model = loadRunFile(files, request.modelPath, 0, result.output);
  if (model != FileLoad::Loaded) return ended(outcomeOfLoad(model));
  const ModelCheck check = checkModelToApply(result.output, result.reading, files.memory);
  if (check.outcome != RunOutcome::Written) {
    result.version = check.version;
    result.damage = check.damage;
    return stop(result, check.outcome, RunFileRole::Model, files);
  }
  // The reader wants a NUL after the text.
  const FileLoad edits = loadRunFile(files, request.editsPath, 1, result.edits);
  if (edits != FileLoad::Loaded) return stop(result, outcomeOfLoad(edits), RunFileRole::Edits, files);
  // Text saved as UTF-16 is read as the same text in UTF-8.
  if (!readEditsAsUtf8(result.edits.bytes, result.edits.size, files.memory, result.editsText)) {
    return stop(result, RunOutcome::OutOfMemory, RunFileRole::Edits, files);
  }
  applyEditsText(result.output, result.reading, result.editsText.text, result.editsText.size,
                 request.skipMissingBones, files.memory, result.findings);
  if (result.findings.outOfMemory) return stop(result, RunOutcome::OutOfMemory, RunFileRole::Output, files);
  if (result.findings.faults.total > 0) {
    suggestBones(result);
    result.outcome = RunOutcome::EditsRefused;
    return result;
  }
  result.outcome = writeChangedModel(result.output, request.outputPath, files);
  if (result.outcome != RunOutcome::Written) result.about = RunFileRole::Output;
  return result;
}

void releaseApplyResult(ApplyResult& result, const RunFiles& files) {
  releaseFindings(result.findings, files.memory);
  releaseEditsText(result.editsText, files.memory);
  if (result.reading.bytes != result.output.bytes) freeWith(files.memory, result.reading.bytes);
  result.reading = ModelImage{};
  releaseRunFile(files, result.output);
  releaseRunFile(files, result.edits);
}
