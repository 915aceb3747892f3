#include "app/sweep_driver.h"

#include <chrono>
#include <cstdio>

#include "app/interrupt_cleanup.h"
#include "app/sweep_json.h"
#include "app/sweep_walk.h"
#include "app/sweep_window.h"
#include "run/console_lines.h"
#include "run/exit_status.h"

namespace {

std::size_t jobsToRun(const SweepArguments& arguments) {
  if (arguments.jobs != 0) return arguments.jobs;
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : cores > kMostJobs ? kMostJobs : cores;
}

// The sink is large: kept off the stack.
ByteSink console;

}  // namespace

void putSweepLine(SweepReport& report, const std::string& line) {
  sinkWrite(report.console, line.data(), line.size());
  sinkLiteral(report.console, "\n");
}

int runSproingSweep(int argc, const char* const* argv) {
  SweepArguments arguments;
  std::string problem;
  switch (readSweepArguments(argc, argv, arguments, problem)) {
    case SweepCall::Help:
      std::fputs(kSweepUsage, stdout);
      std::fputs(kSweepHelp, stdout);
      return kExitWritten;
    case SweepCall::Version: std::fputs("sproing_sweep " SPROING_VERSION "\n", stdout); return kExitWritten;
    case SweepCall::Wrong:
      std::fprintf(stdout, "sproing_sweep: %s\n", problem.c_str());
      std::fputs(kSweepUsage, stdout);
      return kExitUsage;
    case SweepCall::Sweep: break;
  }
  const auto start = std::chrono::steady_clock::now();
  SweepReport report{arguments, sinkToStream(console, stdout), {}, {}};
  report.tally.skeletonsAsked = arguments.skeleton;
  SweepWindow window;
  startSweepWindow(window, jobsToRun(arguments));
  for (const std::string& path : arguments.paths) {
    if (sweepInterrupted()) break;
    sweepPath(window, report, path);
  }
  finishSweepWindow(window, report);
  report.tally.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  report.tally.interrupted = sweepInterrupted();
  if (arguments.json) {
    putSweepLine(report, sweepSummaryJson(report.tally));
  } else {
    renderSweepSummary(report.tally, console);
  }
  sinkFlush(console);
  if (report.tally.interrupted) {
    std::fflush(stdout);
    endAsInterrupted(interruptSignal());
  }
  return sweepFailed(report.tally) ? kSweepSomeNotWritten : kExitWritten;
}
