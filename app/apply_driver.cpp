#include "app/apply_driver.h"

#include <cstdio>
#include <cstring>

#include "app/apply_help.h"
#include "app/disk_files.h"
#include "run/apply_run.h"
#include "run/console_lines.h"
#include "run/exit_status.h"

namespace {

constexpr char kSkipMissingBones[] = "--skip-missing-bones";

// The sink is large: kept off the stack.
ByteSink console;

// What the command line asks for besides a run: --help or --version, anywhere on it.
enum class Asked { Run, Help, Version };

Asked askedFor(int argc, const char* const* argv) {
  Asked asked = Asked::Run;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) return Asked::Help;
    if (std::strcmp(argv[i], "--version") == 0) asked = Asked::Version;
  }
  return asked;
}

// The option anywhere among the three paths.
bool readArguments(int argc, const char* const* argv, ApplyRequest& request) {
  const char* paths[3] = {};
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], kSkipMissingBones) == 0) {
      request.skipMissingBones = true;
    } else if (count++ < 3) {
      paths[count - 1] = argv[i];
    }
  }
  if (count != 3) return false;
  request.modelPath = paths[0];
  request.editsPath = paths[1];
  request.outputPath = paths[2];
  return true;
}

}  // namespace

// --help and --version answer at once; the console is printed once the run is over, the
// output in place, so that it never reports a change that did not happen.
int runSproingApply(int argc, const char* const* argv) {
  const Asked asked = askedFor(argc, argv);
  if (asked != Asked::Run) {
    std::fputs(asked == Asked::Help ? kApplyHelp : kApplyVersion, stdout);
    return kExitWritten;
  }
  ApplyRequest request;
  if (!readArguments(argc, argv, request)) {
    std::fputs(kApplyUsage, stdout);
    return kExitUsage;
  }
  DiskOutput output;
  output.temporaryPrefix = "sproing_apply_";
  const RunFiles files = diskFiles(output);
  ApplyResult result = runApply(request, files);
  renderApplyLines(request, result, sinkToStream(console, stdout));
  renderClosingLine(result.outcome, request.outputPath, console);
  sinkFlush(console);
  releaseApplyResult(result, files);
  return exitStatusOf(result.outcome);
}
