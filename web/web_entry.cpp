#include "web/web_entry.h"

#include <cstdlib>
#include <string>

#include "run/exit_status.h"
#include "run/model_checks.h"
#include "definitions/closing_line.h"
#include "definitions/jiggle_text.h"
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

SPROING_EXPORT const char* sproingText(int which) {
  return which >= 0 && which < 4 ? texts[which].c_str() : "";
}

SPROING_EXPORT std::size_t sproingTextLength(int which) {
  return which >= 0 && which < 4 ? texts[which].size() : 0;
}
}
