#include "run/console_lines.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "definitions/change_report.h"
#include "definitions/edit_messages.h"
#include "definitions/jiggle_text.h"

namespace {

void put(ByteSink& console, const char* text) { sinkWrite(console, text, std::strlen(text)); }

void put(ByteSink& console, const std::string& text) { sinkWrite(console, text.data(), text.size()); }

template <typename Number>
void putNumber(ByteSink& console, Number number) {
  char text[24];
  const char* end = std::to_chars(text, text + sizeof text, number).ptr;
  sinkWrite(console, text, static_cast<std::size_t>(end - text));
}

// "Not enough memory to " and what the run was doing, for the path it was doing it to.
void putMemoryWords(ByteSink& console, RunStep step) {
  put(console, step == RunStep::Writing ? "Not enough memory to write "
               : step == RunStep::Applying ? "Not enough memory to apply "
                                           : "Not enough memory to read ");
}

// The line of an ending about one file, or none where the outcome is not one of these.
bool putFileLine(ByteSink& console, RunOutcome outcome, RunStep step, const char* path) {
  switch (outcome) {
    case RunOutcome::CannotRead:
      put(console, "Cannot read ");
      break;
    case RunOutcome::CannotWrite:
      put(console, "Cannot write ");
      break;
    case RunOutcome::OutOfMemory:
      putMemoryWords(console, step);
      break;
    default: return false;
  }
  put(console, path);
  put(console, "\n");
  return true;
}

// The refusals the model's checks make, the same for both tools.
bool putModelRefusal(ByteSink& console, RunOutcome outcome, std::int32_t version, const ModelDamage& damage,
                     const char* path) {
  switch (outcome) {
    case RunOutcome::NotModelPath: put(console, "Specified file is not a model (*.mdl).\n"); return true;
    case RunOutcome::NotStudioModel:
      put(console, path);
      put(console, " is not a studio model!\n");
      return true;
    case RunOutcome::OldVersion:
      put(console, "Version ");
      putNumber(console, version);
      put(console, " models do not have jigglebone data, exiting..\n");
      return true;
    case RunOutcome::Damaged:
      put(console, path);
      put(console, " is damaged: ");
      renderDamage(damage, console);
      put(console, "\n");
      return true;
    case RunOutcome::NoJiggleBones: put(console, "No bones contain jiggle info, exiting..\n"); return true;
    default: return false;
  }
}

// "<edits>:<line>: " before a note, as a compiler says where; the whole text's have no line.
void putPlace(ByteSink& console, const char* editsPath, std::size_t line) {
  put(console, editsPath);
  if (line == 0) {
    put(console, " ");
    return;
  }
  put(console, ":");
  putNumber(console, line);
  put(console, ": ");
}

void putRefusals(ByteSink& console, const ApplyRequest& request, const EditsFindings& findings) {
  forEachRefusal(findings, [&](std::size_t line, const std::string& what) {
    putPlace(console, request.editsPath, line);
    put(console, what);
    put(console, "\n");
  });
  if (findings.faults.total > findings.faults.count) {
    put(console, "... and ");
    putNumber(console, findings.faults.total - findings.faults.count);
    put(console, " more\n");
  }
}

// What the edits did, in the order the tool tells it: passed over, skipped, warned, changed.
void putReport(ByteSink& console, const ApplyRequest& request, const EditsFindings& findings) {
  if (findings.passedOver > 0) {
    put(console, "Passed over ");
    renderCount(findings.passedOver, "other command", "other commands", console);
    put(console, "\n");
  }
  for (std::size_t i = 0; i < findings.skipped.count; ++i) {
    const SkippedBlock& block = findings.skipped.items[i];
    put(console, "Skipped ");
    put(console, shownName(block.name));
    put(console, ": ");
    put(console, skippedReason(block.inModel));
    put(console, "\n");
  }
  forEachWarning(findings, [&](std::size_t line, const std::string& what) {
    put(console, "Warning ");
    putPlace(console, request.editsPath, line);
    put(console, what);
    put(console, "\n");
  });
  if (findings.warnings.total > findings.warnings.count) {
    put(console, "... and ");
    renderCount(findings.warnings.total - findings.warnings.count, "more warning", "more warnings", console);
    put(console, "\n");
  }
  bool any = false;
  JiggleBone before;
  JiggleBone after;
  for (std::size_t i = 0; i < findings.changes.count; ++i) {
    const ChangedRecord& change = findings.changes.items[i];
    changedBones(change, before, after);
    any = renderBoneChanges(before, after, console) || any;
  }
  if (!any) put(console, "No jiggle bone changed\n");
}

}  // namespace

void renderCount(std::size_t count, const char* one, const char* many, ByteSink& console) {
  putNumber(console, count);
  put(console, " ");
  put(console, count == 1 ? one : many);
}

const char* skippedReason(bool inModel) { return inModel ? "no jiggle rule in this model" : "no bone of this model"; }

void renderDamage(const ModelDamage& damage, ByteSink& console) {
  const auto bone = [&](const char* what) {
    put(console, "bone ");
    putNumber(console, damage.bone);
    put(console, what);
  };
  static_assert(kMaxBoneNameLength == 4096, "the words below name the limit");
  switch (damage.kind) {
    case ModelDamageKind::None: break;
    case ModelDamageKind::HeaderOutside: put(console, "the header lies outside the file"); break;
    case ModelDamageKind::RetiredWordOutside: put(console, "the header's retired word lies outside the file"); break;
    case ModelDamageKind::ModelNameUnended: put(console, "the model name runs past the end of its field"); break;
    case ModelDamageKind::BoneTableOutside: put(console, "the bone table lies outside the file"); break;
    case ModelDamageKind::DescriptorTableOutside:
      put(console, "the animation descriptor table lies outside the file");
      break;
    case ModelDamageKind::JiggleRecordOutside: bone("'s jiggle parameters lie outside the file"); break;
    case ModelDamageKind::BoneNameOutside: bone("'s name lies outside the file"); break;
    case ModelDamageKind::BoneNameRunsPastEnd: bone("'s name runs past the end of the file"); break;
    case ModelDamageKind::BoneNameTooLong: bone("'s name is longer than 4096 characters"); break;
    case ModelDamageKind::UnusableOutputName:
      put(console, "its stored name gives an unusable output file name");
      break;
  }
}

void renderDumpRefusal(const DumpRequest& request, const DumpResult& result, ByteSink& console) {
  if (putModelRefusal(console, result.outcome, result.version, result.damage, request.modelPath)) return;
  const bool aboutOutput = result.about == RunFileRole::Output;
  putFileLine(console, result.outcome, result.step, aboutOutput ? dumpOutputPath(request, result) : request.modelPath);
}

void renderClosingLine(RunOutcome outcome, const char* output, ByteSink& console) {
  if (outcome != RunOutcome::Written) return;
  put(console, "Wrote ");
  put(console, output);
  put(console, "\n");
}

void renderDumpLines(const DumpRequest& request, const DumpResult& result, ByteSink& console) {
  if (result.outcome != RunOutcome::Written) return renderDumpRefusal(request, result, console);
  forEachDumpedBone(result, [&](std::size_t, const char* name, std::size_t length, std::uint32_t flags) {
    renderJiggleBoneLine(name, length, flags, console);
  });
  renderClosingLine(result.outcome, dumpOutputPath(request, result), console);
}

void renderCannotRead(const char* path, ByteSink& console) {
  putFileLine(console, RunOutcome::CannotRead, RunStep::Reading, path);
}

void renderApplyLines(const ApplyRequest& request, const ApplyResult& result, ByteSink& console) {
  if (putModelRefusal(console, result.outcome, result.version, result.damage, request.modelPath)) return;
  switch (result.outcome) {
    case RunOutcome::OutputIsInput:
      put(console, request.outputPath);
      put(console, result.about == RunFileRole::Edits ? " is the edits file itself: name another output file\n"
                                                       : " is the model itself: name another output file\n");
      return;
    case RunOutcome::EditsRefused: return putRefusals(console, request, result.findings);
    case RunOutcome::Written: return putReport(console, request, result.findings);
    default: break;
  }
  const char* path = result.about == RunFileRole::Model   ? request.modelPath
                     : result.about == RunFileRole::Edits ? request.editsPath
                                                          : request.outputPath;
  putFileLine(console, result.outcome, result.step, path);
}

void renderSweepLine(const DumpRequest& request, const DumpResult& result, ByteSink& console) {
  put(console, request.modelPath);
  put(console, ": ");
  switch (result.outcome) {
    case RunOutcome::Written:
      renderCount(result.jiggleBones, "jiggle bone", "jiggle bones", console);
      put(console, " written to ");
      put(console, dumpOutputPath(request, result));
      if (result.skeleton.end == SkeletonEnd::Written && request.skeletonPath != nullptr) {
        put(console, ", its skeleton to ");
        put(console, request.skeletonPath);
      } else if (skeletonNotWritten(result)) {
        put(console, "; ");
        renderSkeletonNotWritten(request, result, console);
      }
      break;
    case RunOutcome::OldVersion:
      put(console, "old version (");
      putNumber(console, result.version);
      put(console, "), no jiggle bones");
      break;
    case RunOutcome::Damaged:
      put(console, "damaged: ");
      renderDamage(result.damage, console);
      break;
    case RunOutcome::CannotWrite:
      put(console, "cannot write ");
      put(console, dumpOutputPath(request, result));
      break;
    case RunOutcome::NotModelPath:
      put(console, "not a model (*.mdl)");
      break;
    case RunOutcome::OutOfMemory:
      put(console, result.step == RunStep::Writing ? "not enough memory to write " : "not enough memory to read it");
      if (result.step == RunStep::Writing) put(console, dumpOutputPath(request, result));
      break;
    default: put(console, outcomeLabel(result.outcome)); break;
  }
  put(console, "\n");
}

void renderSkeletonFault(const SkeletonFault& fault, ByteSink& console) {
  const auto bone = [&](const char* what) {
    put(console, "bone ");
    putNumber(console, fault.bone);
    put(console, what);
  };
  switch (fault.kind) {
    case SkeletonFaultKind::None: break;
    case SkeletonFaultKind::BoneOutside:
      if (fault.bone < 0) {
        put(console, "the bone table lies outside the file");
      } else {
        bone(" lies outside the file");
      }
      break;
    case SkeletonFaultKind::ParentOutOfOrder:
      bone("'s parent (");
      putNumber(console, fault.parent);
      put(console, ") does not come before it");
      break;
    case SkeletonFaultKind::NotFinite: bone("'s place holds a value that is not a finite number"); break;
    case SkeletonFaultKind::ZeroRotation: bone("'s rotation has no length"); break;
    case SkeletonFaultKind::OutOfReach: bone(" lies too far out to be placed"); break;
  }
}

bool skeletonNotWritten(const DumpResult& result) {
  const SkeletonEnd end = result.skeleton.end;
  return end == SkeletonEnd::CannotDraw || end == SkeletonEnd::CannotWrite || end == SkeletonEnd::OutOfMemory;
}

void renderSkeletonNotWritten(const DumpRequest& request, const DumpResult& result, ByteSink& console) {
  put(console, "skeleton not written: ");
  const char* path = request.skeletonPath != nullptr ? request.skeletonPath : "";
  switch (result.skeleton.end) {
    case SkeletonEnd::CannotDraw: renderSkeletonFault(result.skeleton.fault, console); break;
    case SkeletonEnd::CannotWrite:
      put(console, "cannot write ");
      put(console, path);
      break;
    case SkeletonEnd::OutOfMemory:
      put(console, "not enough memory to write ");
      put(console, path);
      break;
    default: break;
  }
}

void renderUnlistedFolderLine(const char* folder, ByteSink& console) {
  put(console, folder);
  put(console, ": cannot read this folder\n");
}

const char* otherCapitalsWords() {
  return "only a lower-case .mdl is taken, as by sproing_dump; rename it with .mdl in lower case";
}

void renderOtherCapitalsLine(const char* path, ByteSink& console) {
  put(console, path);
  put(console, ": passed over: ");
  put(console, otherCapitalsWords());
  put(console, "\n");
}

void renderSweepSummary(const SweepTally& tally, ByteSink& console) {
  put(console, tally.interrupted ? "Interrupted after " : "Swept ");
  renderCount(sweptModels(tally), "model", "models", console);
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, " in %.2f s", tally.seconds);
  put(console, seconds);
  const char* parting = ": ";
  for (std::size_t i = 0; i < kRunOutcomeCount; ++i) {
    if (tally.byOutcome[i] == 0) continue;
    put(console, parting);
    putNumber(console, tally.byOutcome[i]);
    put(console, " ");
    put(console, outcomeLabel(static_cast<RunOutcome>(i)));
    if (static_cast<RunOutcome>(i) == RunOutcome::Written) {
      put(console, " (");
      renderCount(tally.jiggleBones, "jiggle bone", "jiggle bones", console);
      put(console, ")");
    }
    parting = ", ";
  }
  // "; <count> <what> <after>", each clause of what else the sweep did.
  const auto clause = [&](std::size_t count, const char* one, const char* many, const char* after) {
    put(console, "; ");
    renderCount(count, one, many, console);
    put(console, after);
  };
  if (tally.unlistedFolders > 0) clause(tally.unlistedFolders, "folder", "folders", " could not be read");
  if (tally.otherFiles > 0) {
    clause(tally.otherFiles, "other file", "other files", " passed over");
    if (tally.otherCapitals > 0) {
      put(console, " (");
      putNumber(console, tally.otherCapitals);
      put(console, " named .MDL or in other capitals)");
    }
  }
  if (tally.skeletonsAsked) {
    clause(tally.skeletons, "skeleton", "skeletons", " written");
    if (tally.skeletonsNotWritten > 0) {
      put(console, ", ");
      putNumber(console, tally.skeletonsNotWritten);
      put(console, " not written");
    }
  }
  if (tally.renamedOutputs > 0) clause(tally.renamedOutputs, "output", "outputs", " renamed, their names taken by other models");
  put(console, "\n");
}
