#include "run/apply_run.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "definitions/change_report.h"
#include "definitions/closing_line.h"
#include "definitions/edit_messages.h"
#include "definitions/edits_encoding.h"
#include "definitions/near_words.h"
#include "model/jiggle_bone.h"
#include "model/model_bounds.h"
#include "run/apply_edits.h"
#include "run/exit_status.h"
#include "run/model_checks.h"

namespace {

std::string plural(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// "<edits>:<line>: " before a note, as a compiler says where.
std::string placed(const char* editsPath, std::size_t line) {
  return line == 0 ? std::string(editsPath) + " " : std::string(editsPath) + ":" + std::to_string(line) + ": ";
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

void refuse(ApplyResult& result, const EditsFindings& findings, const ModelImage& reading, const char* editsPath) {
  result.status = kExitEditsRefused;
  for (std::size_t i = 0; i < findings.faults.count; ++i) {
    EditFault fault = findings.faults.listed[i];
    if (fault.kind == EditFaultKind::NoSuchBone) fault.suggestion = boneInOtherCapitals(reading, fault.word);
    const EditNote refusal{fault.line, editFaultText(fault)};
    result.console += placed(editsPath, refusal.line) + refusal.what + "\n";
    result.refusals.push_back(refusal);
  }
  result.unlistedRefusals = findings.faults.total - findings.faults.count;
  if (result.unlistedRefusals > 0) result.console += "... and " + std::to_string(result.unlistedRefusals) + " more\n";
}

// The lines of a run that applied: what was passed over and skipped, the warnings, and a
// line per changed bone, in the order of the edits.
void report(ApplyResult& result, const EditsFindings& findings, const char* editsPath) {
  if (findings.passedOver > 0) {
    result.console += "Passed over " + plural(findings.passedOver, "other command", "other commands") + "\n";
  }
  for (std::size_t i = 0; i < findings.skipped.count; ++i) {
    const SkippedBlock& block = findings.skipped.items[i];
    const SkippedBone skipped{block.line, std::string(block.name.text, block.name.length), block.inModel};
    result.console += "Skipped " + shownName(block.name) +
                      (block.inModel ? ": no jiggle rule in this model\n" : ": no bone of this model\n");
    result.skipped.push_back(skipped);
  }
  for (std::size_t i = 0; i < findings.warnings.count; ++i) {
    const EditWarning& warning = findings.warnings.listed[i];
    const EditNote note{warning.line, editWarningText(warning)};
    result.console += "Warning " + placed(editsPath, note.line) + note.what + "\n";
    result.warnings.push_back(note);
  }
  result.unlistedWarnings = findings.warnings.total - findings.warnings.count;
  if (result.unlistedWarnings > 0) {
    result.console += "... and " + plural(result.unlistedWarnings, "more warning", "more warnings") + "\n";
  }
  result.passedOver = findings.passedOver;
  result.changed = findings.changes.count > 0;

  std::unique_ptr<TextSink> lines(new (std::nothrow) TextSink);
  bool any = false;
  if (lines != nullptr) {
    lines->memory = &result.console;
    JiggleBone before;
    JiggleBone after;
    for (std::size_t i = 0; i < findings.changes.count; ++i) {
      const ChangedRecord& change = findings.changes.items[i];
      decodeJiggleBone(result.reading, boneRecord(result.reading, change.bone), before);
      std::memcpy(before.words, change.before, sizeof before.words);
      after = before;
      decodeJiggleRecord(result.output.bytes + before.record, after.words);
      if (renderBoneChanges(before, after, *lines)) {
        any = true;
        result.changedBones.emplace_back(before.name, before.nameLength);
      }
    }
    sinkFlush(*lines);
  }
  if (!any) result.console += "No jiggle bone changed\n";
}

ApplyResult refused(ModelCheck check) {
  ApplyResult result;
  result.status = check.status;
  result.console = std::move(check.message);
  return result;
}

// The model's checks, as the dump makes them, on `reading`: the model itself where it is
// of the current version (normalisation leaves it as it is), else a copy, which the checks
// normalise and from which every stored value is read, while the model's own bytes, which
// become the output, stay as read. Statuses 3, 4, 7, 5, or 6 when the copy's memory cannot
// be had. The copy is released with releaseModelCopy, before the model.
ModelCheck checkModelToApply(ModelImage& model, const char* path, ModelImage& reading) {
  // Normalisation leaves an image of the current version as it is: the model itself is then
  // read, and no copy made.
  const bool current = model.size >= 8 && modelMagic(model) == kStudioMagic &&
                       modelVersion(model) == kCurrentVersion;
  reading = model;
  if (!current && model.size > 0) {
    reading.bytes = static_cast<unsigned char*>(std::malloc(model.size));
    if (reading.bytes == nullptr) return cannotRead(path);
    std::memcpy(reading.bytes, model.bytes, model.size);
  }
  return checkLoadedModel(reading, path);
}

void releaseModelCopy(const ModelImage& model, ModelImage& reading) {
  if (reading.bytes != model.bytes) std::free(reading.bytes);
  reading = ModelImage{};
}

}  // namespace

ApplyResult runApply(const ApplyRequest& request, const RunFiles& files) {
  ModelCheck check = checkModelPath(request.modelPath);
  if (check.status != kExitWritten) return refused(std::move(check));
  // Decided before anything is read, let alone written: neither file is ever replaced.
  if (sameRunFile(files, request.modelPath, request.outputPath)) {
    return refused(refusal(kExitOutputIsInput,
                           std::string(request.outputPath) + " is the model itself: name another output file\n"));
  }
  if (sameRunFile(files, request.editsPath, request.outputPath)) {
    return refused(refusal(kExitOutputIsInput,
                           std::string(request.outputPath) + " is the edits file itself: name another output file\n"));
  }
  ApplyResult result;
  if (!loadRunFile(files, request.modelPath, 0, result.output)) return refused(cannotRead(request.modelPath));
  check = checkModelToApply(result.output, request.modelPath, result.reading);
  ModelImage edits;
  // The reader wants a NUL after the text.
  if (check.status == kExitWritten && !loadRunFile(files, request.editsPath, 1, edits)) check = cannotRead(request.editsPath);
  if (check.status != kExitWritten) {
    releaseApplyResult(result, files);
    return refused(std::move(check));
  }
  EditsFindings findings;
  EditsText text;
  if (!readEditsAsUtf8(edits.bytes, edits.size, MemoryHook{}, text)) {
    findings.outOfMemory = true;
  } else {
    applyEditsText(result.output, result.reading, text.text, text.size, request.skipMissingBones, findings);
  }
  if (findings.outOfMemory) {
    result.status = kExitCannotRead;
    result.console = cannotRead(request.modelPath).message;
  } else if (findings.faults.total > 0) {
    refuse(result, findings, result.reading, request.editsPath);
  } else {
    report(result, findings, request.editsPath);
  }
  releaseFindings(findings);
  releaseEditsText(text, MemoryHook{});
  releaseRunFile(files, edits);
  if (result.status != kExitWritten) releaseApplyResult(result, files);
  return result;
}

void finishApply(ApplyResult& result, const ApplyRequest& request, bool written) {
  if (result.status != kExitWritten) return;
  if (written) {
    result.console += wroteLine(request.outputPath);
  } else {
    result.status = kExitCannotWrite;
    result.console = cannotWriteLine(request.outputPath);
  }
}

void releaseApplyResult(ApplyResult& result, const RunFiles& files) {
  releaseModelCopy(result.output, result.reading);
  releaseRunFile(files, result.output);
}
