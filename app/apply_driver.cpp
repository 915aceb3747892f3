#include "app/apply_driver.h"

#include <cstdio>
#include <string>

#include "app/file_loader.h"
#include "definitions/closing_line.h"
#include "definitions/text_sink.h"
#include "platform/output_file.h"
#include "platform/utf8_file.h"
#include "run/apply_run.h"
#include "run/exit_status.h"
#include "run/model_checks.h"

namespace {

// The changed model, through a temporary file beside it, then its closing line.
bool writeChangedModel(const ModelImage& model, const std::string& target, TextSink& console) {
  OutputFile output;
  bool written = openOutputFile(output, target, "sproing_apply_", false);
  if (written) {
    written = std::fwrite(model.bytes, 1, model.size, output.stream) == model.size
                  ? commitOutputFile(output, target)
                  : (discardOutputFile(output), false);
  }
  if (written) {
    renderWroteLine(console, target);
  } else {
    renderCannotWriteLine(console, target);
  }
  return written;
}

struct Held {
  ModelImage model;
  ModelImage reading;
  ModelImage edits;
};

void release(Held& held) {
  releaseModelCopy(held.model, held.reading);
  releaseModelImage(held.model);
  releaseModelImage(held.edits);
}

}  // namespace

// The statuses in the order they are checked: 1, 2, 11, 6 (the model), 3, 4, 7, 5, 6 (the
// edits), 10, then 8 (or 0) from the writing.
int runSproingApply(int argc, const char* const* argv) {
  if (argc != 4) {
    std::fputs("Usage: sproing_apply.exe modelfile.mdl edits.qci output.mdl\n", stdout);
    return kExitUsage;
  }
  const char* modelPath = argv[1];
  const char* editsPath = argv[2];
  const char* outputPath = argv[3];
  Held held;
  ModelCheck check = checkModelPath(modelPath);
  // Decided before anything is opened for writing: the model itself is never changed.
  if (check.status == kExitWritten && isSameFileUtf8(modelPath, outputPath)) {
    check = refusal(kExitOutputIsModel, std::string(outputPath) +
                                            " is the model itself: name another output file\n");
  }
  if (check.status == kExitWritten && !loadModelImage(modelPath, held.model)) check = cannotRead(modelPath);
  if (check.status == kExitWritten) check = checkModelToApply(held.model, modelPath, held.reading);
  if (check.status == kExitWritten && !loadEditsText(editsPath, held.edits)) check = cannotRead(editsPath);
  TextSink console;
  console.stream = stdout;
  if (check.status == kExitWritten) {
    check = applyEdits(held.model, held.reading, reinterpret_cast<const char*>(held.edits.bytes),
                       held.edits.size, modelPath, editsPath, console);
  }
  int status = check.status;
  if (status != kExitWritten) {
    sinkWrite(console, check.message.data(), check.message.size());
  } else if (!writeChangedModel(held.model, outputPath, console)) {
    status = kExitCannotWrite;
  }
  sinkFlush(console);
  release(held);
  return status;
}
