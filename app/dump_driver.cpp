#include "app/dump_driver.h"

#include <cstdio>
#include <string>

#include "app/disk_files.h"
#include "definitions/closing_line.h"
#include "definitions/jiggle_text.h"
#include "definitions/text_sink.h"
#include "platform/output_file.h"
#include "run/dump_run.h"
#include "run/exit_status.h"

namespace {

// The ".qci" file in the current folder, with a console line per bone and a closing line.
// Prints "Wrote <name>" and returns true once the file is complete; on any failure prints
// "Cannot write <name>", leaves no file behind and returns false.
bool writeJiggleDefinitions(const ModelImage& image, const std::string& outputName) {
  TextSink console;
  console.stream = stdout;
  OutputFile output;
  bool written = openOutputFile(output, outputName, "sproing_dump_", true);
  if (written) {
    TextSink file;
    file.stream = output.stream;
    renderJiggleDefinitions(image, file, console);
    written = sinkFlush(file) ? commitOutputFile(output, outputName)
                              : (discardOutputFile(output), false);
  }
  if (written) {
    renderWroteLine(console, outputName);
  } else {
    renderCannotWriteLine(console, outputName);
  }
  sinkFlush(console);
  return written;
}

}  // namespace

// The statuses in the order they are checked: 1 here, then the run's (2, 6, 3, 4, 7, 5),
// then 8 (or 0) from the writer.
int runSproingDump(int argc, const char* const* argv) {
  if (argc != 2) {
    std::fputs("Usage: sproing_dump.exe modelfile.mdl\n", stdout);
    return kExitUsage;
  }
  const RunFiles& files = diskFiles();
  ModelImage image;
  const ModelCheck check = startDump(argv[1], files, image);
  int status = check.status;
  if (status != kExitWritten) {
    std::fwrite(check.message.data(), 1, check.message.size(), stdout);
  } else if (!writeJiggleDefinitions(image, check.outputName)) {
    status = kExitCannotWrite;
  }
  finishDump(files, image);  // once, on every path; an image never loaded is empty
  return status;
}
