#include "web/web_entry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "definitions/angle_conversion.h"
#include "definitions/change_report.h"
#include "definitions/edit_messages.h"
#include "definitions/jiggle_keywords.h"
#include "definitions/number_format.h"
#include "base/path_parts.h"
#include "run/apply_run.h"
#include "run/console_lines.h"
#include "run/dump_run.h"
#include "run/memory_files.h"
#include "run/model_checks.h"
#include "run/run_outcome.h"
#include "skeleton/bone_kinds.h"
#include "web/bone_summary.h"
#include "web/skeleton_summary.h"
#include "web/module_export.h"


namespace {

constexpr int kTextCount = 15;
constexpr int kNumberCount = 5;

// The memory of the runs, and of the files the page hands over: the C library's.
constexpr MemoryHook kPageMemory{};

// The page runs one model at a time, so one set of texts is enough; each call replaces it
// and its memory is reused.
std::string texts[kTextCount];
int numbers[kNumberCount];
// The last call's files, whose outputs (the dump's text) the page reads until the next
// call, and the last apply's result, whose changed model it reads likewise.
MemoryFiles lastFiles;
ApplyResult lastApply;

// The render buffer is 64 KiB: kept off the stack, which a module may get as small as 64 KiB.
ByteSink lineSink;

void clearTexts() {
  for (std::string& text : texts) text.clear();
  for (int& number : numbers) number = 0;
  releaseApplyResult(lastApply, memoryFiles(lastFiles, kPageMemory));
  lastApply = ApplyResult{};
  releaseMemoryFiles(lastFiles, kPageMemory);
  lastFiles = MemoryFiles{};
}

int finish(RunOutcome outcome) {
  const int status = exitStatusOf(outcome);
  numbers[kSproingStatus] = status;
  texts[kSproingOutcome] = outcomeWord(outcome);
  return status;
}

void putNote(std::string& out, std::size_t line, const std::string& what) {
  out += std::to_string(line);
  out += '\x1f';
  out += what;
  out += '\x1e';
}

// The names of the bones whose text the apply changed, in the order of the edits.
void putChangedBones(const EditsFindings& findings, std::string& out) {
  JiggleBone before;
  JiggleBone after;
  for (std::size_t i = 0; i < findings.changes.count; ++i) {
    const ChangedRecord& change = findings.changes.items[i];
    changedBones(change, before, after);
    if (!renderBoneChanges(before, after, sinkToNothing(lineSink))) continue;
    out.append(change.name, change.nameLength);
    out += '\x1e';
  }
}

void putWord(std::string& out, const char* group, const char* name, const std::string& value) {
  out += group;
  out += '\x1f';
  out += name;
  out += '\x1f';
  out += value;
  out += '\x1e';
}

// In the order of SproingText and SproingNumber.
constexpr const char* kTextNames[kTextCount] = {"console", "definitions", "output-name", "bones", "model",
                                                "refusals", "warnings", "skipped", "changed-bones", "outcome", "file-name",
                                                "skeleton", "skeleton-message", "skeleton-file", "skeleton-name"};
constexpr const char* kNumberNames[kNumberCount] = {"status", "changed", "unlisted-refusals", "unlisted-warnings",
                                                    "passed-over"};

// How the page shows a model of this outcome: written, nothing to do (no jiggle bones:
// nothing is wrong with such a model), or refused. No look is an outcome's word.
const char* outcomeLook(RunOutcome outcome) {
  if (outcome == RunOutcome::Written) return "done";
  return outcome == RunOutcome::NoJiggleBones ? "quiet" : "refused";
}

// "<blocks> <unit> <role> <axis> <value count>" of keyword line k.
std::string keywordWords(const JiggleKeyword& keyword) {
  std::string blocks;
  for (std::size_t b = 0; b < kJiggleBlockCount; ++b) {
    if ((keyword.blocks & (1u << b)) == 0) continue;
    if (!blocks.empty()) blocks += ' ';
    blocks += kJiggleBlocks[b].keyword;
  }
  return blocks + '\x1f' + (keyword.unit == JiggleUnit::WholeDegrees ? "d" : "s") + '\x1f' +
         kJiggleRoleNames[static_cast<std::size_t>(keyword.role)] + '\x1f' +
         kJiggleAxisNames[static_cast<std::size_t>(keyword.axis)] + '\x1f' + std::to_string(keyword.valueCount);
}

std::string allWords() {
  std::string out;
  for (int i = 0; i < kTextCount; ++i) putWord(out, "text", kTextNames[i], std::to_string(i));
  for (int i = 0; i < kNumberCount; ++i) putWord(out, "number", kNumberNames[i], std::to_string(i));
  for (std::size_t i = 0; i < kRunOutcomeCount; ++i) {
    const RunOutcomeName& outcome = kRunOutcomeNames[i];
    putWord(out, "outcome", outcome.word, std::to_string(outcome.status) + '\x1f' + outcome.label + '\x1f' +
                                              outcomeLook(static_cast<RunOutcome>(i)));
  }
  putWord(out, "skipped", "no-bone", skippedReason(false));
  putWord(out, "skipped", "no-rule", skippedReason(true));
  putWord(out, "passed-over", "other-capitals", otherCapitalsWords());
  char factor[40];
  std::snprintf(factor, sizeof factor, "%.17g", kDegreesToRadians);
  putWord(out, "degrees", "to-radians", factor);
  std::snprintf(factor, sizeof factor, "%.17g", kRadToDeg);
  putWord(out, "degrees", "to-degrees", factor);
  for (const JiggleBlock& block : kJiggleBlocks) putWord(out, "block", block.keyword, block.kind);
  for (std::size_t r = 0; r < kJiggleRoleCount; ++r) {
    putWord(out, "role", kJiggleRoleNames[r], isAmount(static_cast<JiggleRole>(r)) ? "amount" : "");
  }
  for (const char* axis : kJiggleAxisNames) putWord(out, "axis", axis, "");
  for (const BoneKindLook& kind : kBoneKinds) {
    char colour[8];
    std::snprintf(colour, sizeof colour, "#%02x%02x%02x", kind.srgb[0], kind.srgb[1], kind.srgb[2]);
    putWord(out, "kind", kind.word, std::string(kind.label) + '\x1f' + colour);
  }
  for (const JiggleKeyword& keyword : kJiggleKeywords) putWord(out, "keyword", keyword.keyword, keywordWords(keyword));
  return out;
}

// The bytes of text `which`: those two texts that are outputs are read where the run left
// them, not copied.
FileBytes textBytes(int which) {
  if (which == kSproingModel) return modelChanged(lastApply) ? FileBytes{lastApply.output.bytes, lastApply.output.size} : FileBytes{};
  if (which == kSproingDefinitions || which == kSproingSkeletonFile) {
    const std::string& path = texts[which == kSproingDefinitions ? kSproingOutputName : kSproingSkeletonName];
    const bool written = numbers[kSproingStatus] == 0 &&
                         (which == kSproingDefinitions || texts[kSproingSkeletonMessage].empty());
    const KeptBytes* kept = written && !path.empty() ? keptOutput(lastFiles, path.c_str()) : nullptr;
    return kept != nullptr ? FileBytes{kept->bytes, kept->size} : FileBytes{};
  }
  if (which < 0 || which >= kTextCount) return FileBytes{};
  return FileBytes{reinterpret_cast<unsigned char*>(texts[which].data()), texts[which].size()};
}

// The skeleton file's name, as sproing_sweep names it after the model's file.
std::string skeletonFileName(const char* path) {
  char name[512];
  const std::string file(lastPathPart(path));
  return makeOutputName(file.c_str(), name, sizeof name) ? skeletonNameFor(name) : std::string(kSkeletonNameSuffix + 1);
}

// Why the skeleton was not drawn or made, without the sweep's "skeleton not written: ".
void putSkeletonMessage(const DumpResult& result) {
  if (result.skeleton.end == SkeletonEnd::CannotDraw) {
    texts[kSproingSkeletonMessage] = renderToString([&](ByteSink& sink) { renderSkeletonFault(result.skeleton.fault, sink); });
  } else if (result.skeleton.end == SkeletonEnd::OutOfMemory || result.skeleton.end == SkeletonEnd::CannotWrite) {
    texts[kSproingSkeletonMessage] = "not enough memory for the skeleton";
  }
}

// sproing_dump, with the skeleton's view kept, or its file made.
int dumpModel(unsigned char* bytes, std::size_t size, const char* path, bool skeletonFile) {
  clearTexts();
  lastFiles.inputs[0] = MemoryInput{path, bytes, nullptr, size};
  const RunFiles files = memoryFiles(lastFiles, kPageMemory);
  texts[kSproingFileName] = lastPathPart(path);
  DumpRequest request;
  request.modelPath = path;
  request.keeps = DumpKeeps::BoneRecords;
  if (skeletonFile) {
    texts[kSproingSkeletonName] = skeletonFileName(path);
    request.skeletonPath = texts[kSproingSkeletonName].c_str();
  } else {
    request.keepSkeleton = true;
  }
  DumpResult result = runDump(request, files);
  renderDumpLines(request, result, sinkToString(lineSink, texts[kSproingConsole]));
  sinkFlush(lineSink);
  if (result.outcome == RunOutcome::Written) {
    renderBoneSummary(result, texts[kSproingBones]);
    texts[kSproingOutputName] = result.outputName;
    if (request.keepSkeleton && result.skeleton.end == SkeletonEnd::Written &&
        !renderSkeletonSummary(result, kPageMemory, texts[kSproingSkeleton])) {
      result.skeleton.end = SkeletonEnd::OutOfMemory;
    }
    putSkeletonMessage(result);
  }
  releaseDumpResult(result, files);
  return finish(result.outcome);
}

}  // namespace

extern "C" {

SPROING_EXPORT unsigned char* sproingAllocate(std::size_t size) {
  return static_cast<unsigned char*>(allocateWith(kPageMemory, size));
}

SPROING_EXPORT void sproingRelease(unsigned char* bytes) { freeWith(kPageMemory, bytes); }

SPROING_EXPORT int sproingDump(unsigned char* bytes, std::size_t size, const char* path) {
  return dumpModel(bytes, size, path, false);
}

SPROING_EXPORT int sproingSkeletonFile(unsigned char* bytes, std::size_t size, const char* path) {
  return dumpModel(bytes, size, path, true);
}

SPROING_EXPORT int sproingApply(unsigned char* model, std::size_t modelSize, const char* modelPath,
                                unsigned char* edits, std::size_t editsSize, const char* editsPath,
                                int skipMissingBones) {
  clearTexts();
  texts[kSproingFileName] = lastPathPart(modelPath);
  texts[kSproingOutputName] = texts[kSproingFileName];
  lastFiles.inputs[0] = MemoryInput{modelPath, model, nullptr, modelSize};
  lastFiles.inputs[1] = MemoryInput{editsPath, edits, nullptr, editsSize};
  // The changed model is read from the result: the output is not kept a second time.
  lastFiles.keepOutputs = false;
  ApplyRequest request;
  request.modelPath = modelPath;
  request.editsPath = editsPath;
  request.outputPath = texts[kSproingOutputName].c_str();
  request.skipMissingBones = skipMissingBones != 0;
  const RunFiles files = memoryFiles(lastFiles, kPageMemory);
  lastApply = runApply(request, files);
  renderApplyLines(request, lastApply, sinkToString(lineSink, texts[kSproingConsole]));
  sinkFlush(lineSink);
  const EditsFindings& findings = lastApply.findings;
  if (lastApply.outcome == RunOutcome::EditsRefused) {
    forEachRefusal(findings, [](std::size_t line, const std::string& what) { putNote(texts[kSproingRefusals], line, what); });
    numbers[kSproingUnlistedRefusals] = static_cast<int>(findings.faults.total - findings.faults.count);
  }
  if (lastApply.outcome == RunOutcome::Written) {
    forEachWarning(findings, [](std::size_t line, const std::string& what) { putNote(texts[kSproingWarnings], line, what); });
    numbers[kSproingUnlistedWarnings] = static_cast<int>(findings.warnings.total - findings.warnings.count);
    for (std::size_t i = 0; i < findings.skipped.count; ++i) {
      const SkippedBlock& skipped = findings.skipped.items[i];
      std::string& out = texts[kSproingSkipped];
      out += std::to_string(skipped.line) + '\x1f' + std::string(skipped.name.text, skipped.name.length) + '\x1f' +
             (skipped.inModel ? "no-rule" : "no-bone");
      out += '\x1e';
    }
    putChangedBones(findings, texts[kSproingChangedBones]);
    numbers[kSproingChanged] = modelChanged(lastApply) ? 1 : 0;
    numbers[kSproingPassedOver] = static_cast<int>(findings.passedOver);
    renderImageBoneSummary(lastApply.reading, texts[kSproingBones]);
  }
  return finish(lastApply.outcome);
}

SPROING_EXPORT int sproingModelPath(const char* path) {
  return takesModelPath(path) ? 1 : 0;
}

SPROING_EXPORT const char* sproingText(int which) {
  const FileBytes bytes = textBytes(which);
  return bytes.bytes != nullptr ? reinterpret_cast<const char*>(bytes.bytes) : "";
}

SPROING_EXPORT std::size_t sproingTextLength(int which) { return textBytes(which).size; }

SPROING_EXPORT const char* sproingWords() {
  static const std::string words = allWords();
  return words.c_str();
}

SPROING_EXPORT const char* sproingFormatValue(double value) {
  static char text[kNumberTextSize];
  text[formatGeneral(static_cast<float>(value), text)] = '\0';
  return text;
}

SPROING_EXPORT int sproingNumber(int which) {
  return which >= 0 && which < kNumberCount ? numbers[which] : 0;
}
}
