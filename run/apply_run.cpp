#include "run/apply_run.h"

#include <cstring>

#include "definitions/edits_encoding.h"
#include "definitions/near_words.h"
#include "model/jiggle_bone.h"
#include "model/model_bounds.h"
#include "run/model_checks.h"

namespace {

// A jiggle bone of the model named as a block names one, but in other capitals: found by a
// walk over the bones, made only for the few refusals listed.
TextSpan boneInOtherCapitals(const ModelImage& image, const TextSpan& name) {
  TextSpan found;
  forEachJiggleBone(image, [&](std::int32_t, const unsigned char* bone) {
    const char* stored = boneName(bone);
    const std::size_t length = std::strlen(stored);
    if (!sameIgnoringCapitals(stored, length, name.text, name.length)) return true;
    found = TextSpan{stored, length, 0};
    return false;
  });
  return found;
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
  const bool current =
      startsAsStudioModel(model.bytes, model.size) && holdsVersion(model) && modelVersion(model) == kCurrentVersion;
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

// Ends a run that goes no further, giving back what it holds.
ApplyResult& stop(ApplyResult& result, RunOutcome outcome, RunFileRole about, RunStep step, const RunFiles& files) {
  releaseApplyResult(result, files);
  return endRun(result, outcome, about, step);
}

}  // namespace

ApplyResult runApply(const ApplyRequest& request, const RunFiles& files) {
  ApplyResult result;
  if (!takesModelPath(request.modelPath)) return endRun(result, RunOutcome::NotModelPath);
  // Decided before anything is read, let alone written: neither file is ever replaced.
  if (sameRunFile(files, request.modelPath, request.outputPath)) return endRun(result, RunOutcome::OutputIsInput);
  if (sameRunFile(files, request.editsPath, request.outputPath)) {
    return endRun(result, RunOutcome::OutputIsInput, RunFileRole::Edits);
  }
  FileBytes model;
  const FileLoad modelLoad = loadRunFile(files, request.modelPath, 0, model);
  if (modelLoad != FileLoad::Loaded) return endRun(result, outcomeOf(modelLoad));
  result.output = ModelImage{model.bytes, model.size};
  const ModelCheck check = checkModelToApply(result.output, result.reading, files.memory);
  if (check.outcome != RunOutcome::Written) {
    result.version = check.version;
    result.damage = check.damage;
    return stop(result, check.outcome, RunFileRole::Model, RunStep::Reading, files);
  }
  // The reader wants a NUL after the text.
  const FileLoad editsLoad = loadRunFile(files, request.editsPath, 1, result.edits);
  if (editsLoad != FileLoad::Loaded) return stop(result, outcomeOf(editsLoad), RunFileRole::Edits, RunStep::Reading, files);
  // Text saved as UTF-16 is read as the same text in UTF-8.
  if (!readEditsAsUtf8(result.edits.bytes, result.edits.size, files.memory, result.editsText)) {
    return stop(result, RunOutcome::OutOfMemory, RunFileRole::Edits, RunStep::Reading, files);
  }
  applyEditsText(result.output, result.reading, result.editsText.text, result.editsText.size,
                 request.skipMissingBones, files.memory, result.findings);
  if (result.findings.outOfMemory) {
    return stop(result, RunOutcome::OutOfMemory, RunFileRole::Edits, RunStep::Applying, files);
  }
  if (result.findings.faults.total > 0) {
    suggestBones(result);
    return endRun(result, RunOutcome::EditsRefused);
  }
  const OutputEnd end = writeRunOutput(files, request.outputPath, false, [&](ByteSink& sink) {
    sinkWrite(sink, reinterpret_cast<const char*>(result.output.bytes), result.output.size);
    return true;
  });
  if (end != OutputEnd::InPlace) endRun(result, outcomeOf(end), RunFileRole::Output, RunStep::Writing);
  return result;
}

void releaseApplyResult(ApplyResult& result, const RunFiles& files) {
  releaseFindings(result.findings, files.memory);
  releaseEditsText(result.editsText, files.memory);
  if (result.reading.bytes != result.output.bytes) freeWith(files.memory, result.reading.bytes);
  result.reading = ModelImage{};
  FileBytes model{result.output.bytes, result.output.size};
  releaseRunFile(files, model);
  result.output = ModelImage{};
  releaseRunFile(files, result.edits);
}
