#include "app/apply_driver.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/apply_help.h"
#include "app/disk_files.h"
#include "platform/output_file.h"
#include "run/apply_run.h"
#include "run/exit_status.h"

namespace {

constexpr char kSkipMissingBones[] = "--skip-missing-bones";

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

// The changed model, through a temporary file beside it that replaces the output only once
// complete.
bool writeChangedModel(const ModelImage& model, const std::string& target) {
  OutputFile output;
  if (!openOutputFile(output, target, "sproing_apply_", false)) return false;
  if (std::fwrite(model.bytes, 1, model.size, output.stream) != model.size) {
    discardOutputFile(output);
    return false;
  }
  return commitOutputFile(output, target);
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

// The statuses in the order they are checked: 0 for --help or --version, 1 here, then the
// run's (2, 11, 6, 3, 4, 7, 5, 6, 10), then 8 (or 0) from the writing. The console is
// printed once the output is in place, so that it never reports a change that did not
// happen.
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
  const RunFiles& files = diskFiles();
  ApplyResult result = runApply(request, files);
  if (result.status == kExitWritten) finishApply(result, request, writeChangedModel(result.output, request.outputPath));
  std::fwrite(result.console.data(), 1, result.console.size(), stdout);
  releaseApplyResult(result, files);
  return result.status;
}
