#include "web/web_entry.h"

#include <cstdlib>
#include <string>

#include "definitions/closing_line.h"
#include "definitions/jiggle_text.h"
#include "run/apply_run.h"
#include "run/exit_status.h"
#include "run/model_checks.h"
#include "web/bone_summary.h"

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#define SPROING_EXPORT EMSCRIPTEN_KEEPALIVE
#else
#define SPROING_EXPORT
#endif

namespace {

// The page runs one model at a time, so one set of texts is enough; each call replaces it
// and its memory is reused.
std::string texts[4];
// The changed model of the last apply, kept until the next call.
ModelImage changedModel;

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

void clearTexts() {
  for (std::string& text : texts) text.clear();
  std::free(changedModel.bytes);
  changedModel = ModelImage{};
}

// The last part of a path inside a drop, where the page saves a changed model.
std::string fileNameOf(const char* path) {
  const std::string whole(path);
  return whole.substr(whole.find_last_of("/\\") + 1);
}

}  // namespace

extern "C" {

SPROING_EXPORT int sproingProcess(unsigned char* bytes, std::size_t size, const char* path) {
  clearTexts();
  std::string& console = texts[kSproingConsole];
  ModelImage image;
  image.bytes = bytes;
  image.size = bytes != nullptr ? size : 0;
  // The same order as the command line: the name, then reading, then the model itself.
  ModelCheck check = checkModelPath(path);
  if (check.status == kExitWritten && bytes == nullptr && size != 0) check = cannotRead(path);
  if (check.status == kExitWritten) check = checkLoadedModel(image, path);
  if (check.status != kExitWritten) {
    std::free(bytes);
    console = std::move(check.message);
    return check.status;
  }
  TextSink& file = sinkInto(fileSink, texts[kSproingDefinitions]);
  TextSink& lines = sinkInto(lineSink, console);
  renderJiggleDefinitions(image, file, lines);
  renderWroteLine(lines, check.outputName);
  sinkFlush(file);
  sinkFlush(lines);
  renderBoneSummary(image, texts[kSproingBones]);
  texts[kSproingOutputName] = std::move(check.outputName);
  std::free(bytes);
  return kExitWritten;
}

SPROING_EXPORT int sproingApply(unsigned char* model, std::size_t modelSize, const char* modelPath,
                                unsigned char* edits, std::size_t editsSize, const char* editsPath) {
  clearTexts();
  std::string& console = texts[kSproingConsole];
  ModelImage image{model, model != nullptr ? modelSize : 0};
  ModelImage reading;
  // The command line's order: the name, reading the model, the model, reading the edits.
  ModelCheck check = checkModelPath(modelPath);
  if (check.status == kExitWritten && model == nullptr && modelSize != 0) check = cannotRead(modelPath);
  if (check.status == kExitWritten) check = checkModelToApply(image, modelPath, reading);
  // The reader wants a NUL after the text; the page's buffer has no room for one.
  if (edits != nullptr) {
    auto* terminated = static_cast<unsigned char*>(std::realloc(edits, editsSize + 1));
    if (terminated == nullptr) std::free(edits);
    edits = terminated;
    if (edits != nullptr) edits[editsSize] = 0;
  }
  if (check.status == kExitWritten && edits == nullptr) check = cannotRead(editsPath);
  TextSink& lines = sinkInto(lineSink, console);
  if (check.status == kExitWritten) {
    check = applyEdits(image, reading, reinterpret_cast<const char*>(edits), editsSize, modelPath,
                       editsPath, lines);
  }
  if (check.status == kExitWritten) {
    renderWroteLine(lines, fileNameOf(modelPath));
    renderBoneSummary(reading, texts[kSproingBones]);
  }
  sinkFlush(lines);
  console += check.message;
  releaseModelCopy(image, reading);
  std::free(edits);
  if (check.status == kExitWritten) {
    changedModel = image;
  } else {
    std::free(model);
  }
  return check.status;
}

SPROING_EXPORT const char* sproingText(int which) {
  if (which == kSproingModel) {
    return changedModel.bytes != nullptr ? reinterpret_cast<const char*>(changedModel.bytes) : "";
  }
  return which >= 0 && which < 4 ? texts[which].c_str() : "";
}

SPROING_EXPORT std::size_t sproingTextLength(int which) {
  if (which == kSproingModel) return changedModel.size;
  return which >= 0 && which < 4 ? texts[which].size() : 0;
}
}
