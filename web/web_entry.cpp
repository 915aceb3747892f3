#include "web/web_entry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "definitions/angle_conversion.h"
#include "definitions/change_report.h"
#include "definitions/edit_messages.h"
#include "run/apply_run.h"
#include "run/console_lines.h"
#include "run/dump_run.h"
#include "run/model_checks.h"
#include "run/run_outcome.h"
#include "web/bone_summary.h"
#include "web/module_export.h"


namespace {

constexpr int kTextCount = 10;
constexpr int kNumberCount = 5;

// The page runs one model at a time, so one set of texts is enough; each call replaces it
// and its memory is reused.
std::string texts[kTextCount];
int numbers[kNumberCount];
// The last apply's result, whose changed model the page reads until the next call.
ApplyResult lastApply;

// The render buffers are 64 KiB each: kept off the stack, which a module may get as small
// as 64 KiB.
TextSink lineSink;
TextSink discardSink;

// Resets a sink in place: assigning a fresh one would build it on the stack first.
TextSink& sinkInto(TextSink& sink, std::string* text) {
  sink.stream = nullptr;
  sink.memory = text;
  sink.failed = false;
  sink.used = 0;
  return sink;
}

// The buffers the page handed over, served to a run as its files by their paths; what the
// run does not take is released with them. A dump's text is kept in memory; an apply's
// changed model is read from its result, so its output is not copied again.
struct HandedFile {
  const char* path = nullptr;
  unsigned char* bytes = nullptr;
  std::size_t size = 0;
};
struct HandedFiles {
  HandedFile files[2];
  std::string* output = nullptr;  // null: the output is not kept
};

FileLoad loadHanded(void* context, const char* path, std::size_t extra, const MemoryHook&, ModelImage& image) {
  for (HandedFile& file : static_cast<HandedFiles*>(context)->files) {
    if (file.path != path) continue;
    // Null bytes for a file that has some: the browser would not read it.
    if (file.bytes == nullptr && file.size != 0) return FileLoad::CannotRead;
    if (extra > 0) {
      auto* grown = static_cast<unsigned char*>(std::realloc(file.bytes, file.size + extra));
      if (grown == nullptr) return FileLoad::OutOfMemory;
      std::memset(grown + file.size, 0, extra);
      file.bytes = grown;
    }
    image = ModelImage{file.bytes, file.size};
    file.bytes = nullptr;  // the run's now
    return FileLoad::Loaded;
  }
  return FileLoad::CannotRead;
}

void releaseHanded(void*, const MemoryHook&, ModelImage& image) {
  std::free(image.bytes);
  image = ModelImage{};
}

bool openHandedOutput(void* context, const char*, bool, TextSink& sink) {
  std::string* output = static_cast<HandedFiles*>(context)->output;
  if (output != nullptr) output->clear();
  sinkInto(sink, output);
  return true;
}

bool closeHandedOutput(void*, const char*, TextSink& sink, bool complete) { return sinkFlush(sink) && complete; }

RunFiles handedFiles(HandedFiles& handed) {
  RunFiles files;
  files.context = &handed;
  files.load = loadHanded;
  files.release = releaseHanded;
  files.openOutput = openHandedOutput;
  files.closeOutput = closeHandedOutput;
  return files;
}

// What releases a result's files once the buffers handed over are gone.
RunFiles releasingFiles() {
  RunFiles files;
  files.release = releaseHanded;
  return files;
}

void releaseUnused(HandedFiles& handed) {
  for (HandedFile& file : handed.files) std::free(file.bytes);
}

void clearTexts() {
  for (std::string& text : texts) text.clear();
  for (int& number : numbers) number = 0;
  releaseApplyResult(lastApply, releasingFiles());
  lastApply = ApplyResult{};
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

// The last part of a path inside a drop, where the page saves a changed model.
std::string fileNameOf(const char* path) {
  const std::string whole(path);
  return whole.substr(whole.find_last_of("/\\") + 1);
}

// The names of the bones whose text the apply changed, in the order of the edits.
void putChangedBones(const EditsFindings& findings, std::string& out) {
  JiggleBone before;
  JiggleBone after;
  for (std::size_t i = 0; i < findings.changes.count; ++i) {
    const ChangedRecord& change = findings.changes.items[i];
    changedBones(change, before, after);
    if (!renderBoneChanges(before, after, sinkInto(discardSink, nullptr))) continue;
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
                                                "refusals", "warnings", "skipped", "changed-bones", "outcome"};
constexpr const char* kNumberNames[kNumberCount] = {"status", "changed", "unlisted-refusals", "unlisted-warnings",
                                                    "passed-over"};

std::string allWords() {
  std::string out;
  for (int i = 0; i < kTextCount; ++i) putWord(out, "text", kTextNames[i], std::to_string(i));
  for (int i = 0; i < kNumberCount; ++i) putWord(out, "number", kNumberNames[i], std::to_string(i));
  for (const RunOutcomeName& outcome : kRunOutcomeNames) {
    putWord(out, "outcome", outcome.word, std::to_string(outcome.status) + '\x1f' + outcome.label);
  }
  putWord(out, "skipped", "no-bone", skippedReason(false));
  putWord(out, "skipped", "no-rule", skippedReason(true));
  char factor[40];
  std::snprintf(factor, sizeof factor, "%.17g", kDegreesToRadians);
  putWord(out, "degrees", "to-radians", factor);
  std::snprintf(factor, sizeof factor, "%.17g", kRadToDeg);
  putWord(out, "degrees", "to-degrees", factor);
  return out;
}

}  // namespace

extern "C" {

SPROING_EXPORT int sproingProcess(unsigned char* bytes, std::size_t size, const char* path) {
  clearTexts();
  HandedFiles handed{{HandedFile{path, bytes, size}, HandedFile{}}, &texts[kSproingDefinitions]};
  const RunFiles files = handedFiles(handed);
  DumpRequest request;
  request.modelPath = path;
  DumpResult result = runDump(request, files);
  releaseUnused(handed);
  renderDumpLines(request, result, sinkInto(lineSink, &texts[kSproingConsole]));
  sinkFlush(lineSink);
  if (result.outcome == RunOutcome::Written) {
    renderBoneSummary(result.image, texts[kSproingBones]);
    texts[kSproingOutputName] = result.outputName;
  } else {
    texts[kSproingDefinitions].clear();
  }
  releaseDumpResult(result, files);
  return finish(result.outcome);
}

SPROING_EXPORT int sproingApply(unsigned char* model, std::size_t modelSize, const char* modelPath,
                                unsigned char* edits, std::size_t editsSize, const char* editsPath,
                                int skipMissingBones) {
  clearTexts();
  const std::string outputName = fileNameOf(modelPath);
  HandedFiles handed{{HandedFile{modelPath, model, modelSize}, HandedFile{editsPath, edits, editsSize}}, nullptr};
  ApplyRequest request;
  request.modelPath = modelPath;
  request.editsPath = editsPath;
  request.outputPath = outputName.c_str();
  request.skipMissingBones = skipMissingBones != 0;
  const RunFiles files = handedFiles(handed);
  lastApply = runApply(request, files);
  releaseUnused(handed);
  renderApplyLines(request, lastApply, false, sinkInto(lineSink, &texts[kSproingConsole]));
  sinkFlush(lineSink);
  texts[kSproingOutputName] = outputName;
  const EditsFindings& findings = lastApply.findings;
  if (lastApply.outcome == RunOutcome::EditsRefused) {
    for (std::size_t i = 0; i < findings.faults.count; ++i) {
      putNote(texts[kSproingRefusals], findings.faults.listed[i].line, editFaultText(findings.faults.listed[i]));
    }
    numbers[kSproingUnlistedRefusals] = static_cast<int>(findings.faults.total - findings.faults.count);
  }
  if (lastApply.outcome == RunOutcome::Written) {
    for (std::size_t i = 0; i < findings.warnings.count; ++i) {
      putNote(texts[kSproingWarnings], findings.warnings.listed[i].line, editWarningText(findings.warnings.listed[i]));
    }
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
    renderBoneSummary(lastApply.reading, texts[kSproingBones]);
  }
  return finish(lastApply.outcome);
}

SPROING_EXPORT int sproingModelPath(const char* path) {
  return takesModelPath(path) ? 1 : 0;
}

SPROING_EXPORT const char* sproingText(int which) {
  if (which == kSproingModel) {
    return modelChanged(lastApply) ? reinterpret_cast<const char*>(lastApply.output.bytes) : "";
  }
  return which >= 0 && which < kTextCount ? texts[which].c_str() : "";
}

SPROING_EXPORT std::size_t sproingTextLength(int which) {
  if (which == kSproingModel) return modelChanged(lastApply) ? lastApply.output.size : 0;
  return which >= 0 && which < kTextCount ? texts[which].size() : 0;
}

SPROING_EXPORT const char* sproingWords() {
  static const std::string words = allWords();
  return words.c_str();
}

SPROING_EXPORT int sproingNumber(int which) {
  return which >= 0 && which < kNumberCount ? numbers[which] : 0;
}
}
