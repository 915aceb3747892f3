#include "web/web_entry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "definitions/closing_line.h"
#include "definitions/jiggle_text.h"
#include "run/apply_run.h"
#include "run/dump_run.h"
#include "run/exit_status.h"
#include "run/model_checks.h"
#include "run/run_outcome.h"
#include "definitions/angle_conversion.h"
#include "web/bone_summary.h"

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#define SPROING_EXPORT EMSCRIPTEN_KEEPALIVE
#else
#define SPROING_EXPORT
#endif

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
TextSink fileSink;
TextSink lineSink;

// Resets a sink in place: assigning a fresh one would build it on the stack first.
TextSink& sinkInto(TextSink& sink, std::string& text) {
  sink.stream = nullptr;
  sink.memory = &text;
  sink.failed = false;
  sink.used = 0;
  return sink;
}

// The buffers the page handed over, served to a run as its files by their paths; what the
// run does not take is released with them.
struct HandedFile {
  const char* path = nullptr;
  unsigned char* bytes = nullptr;
  std::size_t size = 0;
};
struct HandedFiles {
  HandedFile files[2];
};

bool loadHanded(void* context, const char* path, std::size_t extra, ModelImage& image) {
  for (HandedFile& file : static_cast<HandedFiles*>(context)->files) {
    if (file.path != path) continue;
    // Null bytes for a file that has some: the browser would not read it.
    if (file.bytes == nullptr && file.size != 0) return false;
    if (extra > 0) {
      auto* grown = static_cast<unsigned char*>(std::realloc(file.bytes, file.size + extra));
      if (grown == nullptr) return false;
      std::memset(grown + file.size, 0, extra);
      file.bytes = grown;
    }
    image = ModelImage{file.bytes, file.size};
    file.bytes = nullptr;  // the run's now
    return true;
  }
  return false;
}

void releaseHanded(void*, ModelImage& image) {
  std::free(image.bytes);
  image = ModelImage{};
}

RunFiles handedFiles(HandedFiles& handed) { return RunFiles{&handed, loadHanded, releaseHanded, nullptr}; }

void releaseUnused(HandedFiles& handed) {
  for (HandedFile& file : handed.files) std::free(file.bytes);
}

void clearTexts() {
  for (std::string& text : texts) text.clear();
  for (int& number : numbers) number = 0;
  releaseApplyResult(lastApply, RunFiles{nullptr, nullptr, releaseHanded, nullptr});
  lastApply = ApplyResult{};
}

const char* outcomeOf(int status) {
  switch (status) {
    case kExitWritten: return "written";
    case kExitNotModelPath: return "not-a-model";
    case kExitNotStudioModel: return "not-studio";
    case kExitOldVersion: return "old-version";
    case kExitNoJiggleBones: return "no-jiggle-bones";
    case kExitCannotRead: return "cannot-read";
    case kExitDamaged: return "damaged";
    case kExitEditsRefused: return "edits-refused";
    default: return "failed";
  }
}

int finish(int status) {
  numbers[kSproingStatus] = status;
  texts[kSproingOutcome] = outcomeOf(status);
  return status;
}

void putNotes(const std::vector<EditNote>& notes, std::string& out) {
  for (const EditNote& note : notes) {
    out += std::to_string(note.line);
    out += '\x1f';
    out += note.what;
    out += '\x1e';
  }
}

// The last part of a path inside a drop, where the page saves a changed model.
std::string fileNameOf(const char* path) {
  const std::string whole(path);
  return whole.substr(whole.find_last_of("/\\") + 1);
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
  putWord(out, "skipped", "no-bone", "no bone of this model");
  putWord(out, "skipped", "no-rule", "no jiggle rule in this model");
  char factor[40];
  std::snprintf(factor, sizeof factor, "%.17g", 1 / kRadToDeg);
  putWord(out, "degrees", "to-radians", factor);
  std::snprintf(factor, sizeof factor, "%.17g", kRadToDeg);
  putWord(out, "degrees", "to-degrees", factor);
  return out;
}

}  // namespace

extern "C" {

SPROING_EXPORT int sproingProcess(unsigned char* bytes, std::size_t size, const char* path) {
  clearTexts();
  HandedFiles handed{{HandedFile{path, bytes, size}, HandedFile{}}};
  const RunFiles files = handedFiles(handed);
  ModelImage image;
  ModelCheck check = startDump(path, files, image);
  releaseUnused(handed);
  if (check.status != kExitWritten) {
    texts[kSproingConsole] = std::move(check.message);
    finishDump(files, image);
    return finish(check.status);
  }
  TextSink& file = sinkInto(fileSink, texts[kSproingDefinitions]);
  TextSink& lines = sinkInto(lineSink, texts[kSproingConsole]);
  renderJiggleDefinitions(image, file, lines);
  renderWroteLine(lines, check.outputName);
  sinkFlush(file);
  sinkFlush(lines);
  renderBoneSummary(image, texts[kSproingBones]);
  texts[kSproingOutputName] = std::move(check.outputName);
  finishDump(files, image);
  return finish(kExitWritten);
}

SPROING_EXPORT int sproingApply(unsigned char* model, std::size_t modelSize, const char* modelPath,
                                unsigned char* edits, std::size_t editsSize, const char* editsPath,
                                int skipMissingBones) {
  clearTexts();
  const std::string outputName = fileNameOf(modelPath);
  HandedFiles handed{{HandedFile{modelPath, model, modelSize}, HandedFile{editsPath, edits, editsSize}}};
  ApplyRequest request;
  request.modelPath = modelPath;
  request.editsPath = editsPath;
  request.outputPath = outputName.c_str();
  request.skipMissingBones = skipMissingBones != 0;
  lastApply = runApply(request, handedFiles(handed));
  releaseUnused(handed);
  texts[kSproingConsole] = lastApply.console;
  texts[kSproingOutputName] = outputName;
  putNotes(lastApply.refusals, texts[kSproingRefusals]);
  putNotes(lastApply.warnings, texts[kSproingWarnings]);
  for (const SkippedBone& skipped : lastApply.skipped) {
    std::string& out = texts[kSproingSkipped];
    out += std::to_string(skipped.line) + '\x1f' + skipped.name + '\x1f' + (skipped.inModel ? "no-rule" : "no-bone");
    out += '\x1e';
  }
  for (const std::string& name : lastApply.changedBones) texts[kSproingChangedBones] += name + '\x1e';
  numbers[kSproingChanged] = lastApply.changed ? 1 : 0;
  numbers[kSproingUnlistedRefusals] = static_cast<int>(lastApply.unlistedRefusals);
  numbers[kSproingUnlistedWarnings] = static_cast<int>(lastApply.unlistedWarnings);
  numbers[kSproingPassedOver] = static_cast<int>(lastApply.passedOver);
  if (lastApply.status == kExitWritten) renderBoneSummary(lastApply.reading, texts[kSproingBones]);
  return finish(lastApply.status);
}

SPROING_EXPORT int sproingModelPath(const char* path) {
  return checkModelPath(path).status == kExitWritten ? 1 : 0;
}

SPROING_EXPORT const char* sproingText(int which) {
  if (which == kSproingModel) {
    return lastApply.changed ? reinterpret_cast<const char*>(lastApply.output.bytes) : "";
  }
  return which >= 0 && which < kTextCount ? texts[which].c_str() : "";
}

SPROING_EXPORT std::size_t sproingTextLength(int which) {
  if (which == kSproingModel) return lastApply.changed ? lastApply.output.size : 0;
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
