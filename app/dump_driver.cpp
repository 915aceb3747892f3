#include "app/dump_driver.h"

#include <cstdio>

#include "app/disk_files.h"
#include "run/console_lines.h"
#include "run/dump_run.h"
#include "run/exit_status.h"

namespace {

// The sink is large: kept off the stack.
ByteSink console;

}  // namespace

int runSproingDump(int argc, const char* const* argv) {
  if (argc != 2) {
    std::fputs("Usage: sproing_dump.exe modelfile.mdl\n", stdout);
    return kExitUsage;
  }
  DiskOutput output;
  output.temporaryPrefix = "sproing_dump_";
  const RunFiles files = diskFiles(output);
  DumpRequest request;
  request.modelPath = argv[1];
  DumpResult result = runDump(request, files);
  renderDumpLines(request, result, sinkToStream(console, stdout));
  sinkFlush(console);
  releaseDumpResult(result, files);
  return exitStatusOf(result.outcome);
}
