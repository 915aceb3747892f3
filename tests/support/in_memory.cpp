#include "tests/support/in_memory.h"

#include "definitions/jiggle_text.h"
#include "run/apply_run.h"
#include "run/model_checks.h"

RenderedText renderedText(const ModelImage& image) {
  RenderedText text;
  TextSink file, console;
  file.memory = &text.file;
  console.memory = &text.console;
  renderJiggleDefinitions(image, file, console);
  sinkFlush(file);
  sinkFlush(console);
  return text;
}

DumpedModel dumpInMemory(std::vector<unsigned char> bytes) {
  DumpedModel out;
  ModelImage image{bytes.empty() ? nullptr : bytes.data(), bytes.size()};
  out.status = checkLoadedModel(image, "m.mdl").status;
  if (out.status == 0) out.text = renderedText(image);
  return out;
}

AppliedModel applyInMemory(std::vector<unsigned char> model, const std::string& edits) {
  AppliedModel out;
  out.bytes = std::move(model);
  ModelImage image{out.bytes.empty() ? nullptr : out.bytes.data(), out.bytes.size()};
  ModelImage reading;
  ModelCheck check = checkModelToApply(image, "m.mdl", reading);
  TextSink console;
  console.memory = &out.console;
  // The edits' own string ends with the NUL the reader wants after the text.
  if (check.status == 0) {
    check = applyEdits(image, reading, edits.c_str(), edits.size(), "m.mdl", "e.qci", console);
  }
  sinkFlush(console);
  out.status = check.status;
  out.console += check.message;
  releaseModelCopy(image, reading);
  return out;
}
