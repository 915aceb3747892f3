#include "app/sweep_driver.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "app/disk_files.h"
#include "app/interrupt_cleanup.h"
#include "app/sweep_arguments.h"
#include "app/sweep_json.h"
#include "definitions/near_words.h"
#include "definitions/output_name.h"
#include "platform/folders.h"
#include "run/console_lines.h"
#include "run/dump_run.h"
#include "run/exit_status.h"
#include "run/model_checks.h"

namespace {

// One model of the sweep, from the moment it is found to the moment its line is printed.
struct Job {
  std::string model;   // its path as given, joined with where it lies below the folder given
  std::string output;  // where its text goes
  DumpResult result;   // the facts; the image is given back as soon as the dump is over
  bool done = false;
};

// The jobs found and not yet printed, in the order found; the workers take them in that
// order. At most a few per worker: a tree of any size costs the same memory.
struct Sweep {
  std::mutex lock;
  std::condition_variable workToDo;
  std::condition_variable jobDone;
  std::deque<std::unique_ptr<Job>> window;
  std::size_t started = 0;  // of the window's jobs, those a worker has taken
  bool walked = false;      // no more jobs will come
  bool stopping = false;    // an interrupt: no more jobs are started
};

void work(Sweep& sweep) {
  DiskOutput output;
  output.temporaryPrefix = "sproing_sweep_";
  output.makeFolder = makeFoldersUtf8;
  const RunFiles files = diskFiles(output);
  for (;;) {
    Job* job = nullptr;
    {
      std::unique_lock<std::mutex> held(sweep.lock);
      sweep.workToDo.wait(held, [&] { return sweep.stopping || sweep.walked || sweep.started < sweep.window.size(); });
      if (sweep.stopping || sweep.started == sweep.window.size()) return;
      job = sweep.window[sweep.started++].get();
    }
    DumpRequest request;
    request.modelPath = job->model.c_str();
    request.outputPath = job->output.c_str();
    job->result = runDump(request, files);
    releaseDumpResult(job->result, files);
    {
      const std::lock_guard<std::mutex> held(sweep.lock);
      job->done = true;
    }
    sweep.jobDone.notify_all();
  }
}

// What the sweep prints and counts, and the outputs it has named.
struct Report {
  const SweepArguments& arguments;
  TextSink& console;
  SweepTally tally;
  std::unordered_set<std::uint64_t> outputs;  // a hash of each output path named so far
};

void putLine(Report& report, const std::string& line) {
  sinkWrite(report.console, line.data(), line.size());
  sinkLiteral(report.console, "\n");
}

void printJob(Report& report, const Job& job) {
  const DumpResult& result = job.result;
  ++report.tally.byOutcome[static_cast<std::size_t>(result.outcome)];
  if (result.outcome == RunOutcome::Written) report.tally.jiggleBones += result.jiggleBones;
  DumpRequest request;
  request.modelPath = job.model.c_str();
  request.outputPath = job.output.c_str();
  if (report.arguments.json) return putLine(report, sweepModelJson(request, result));
  if (report.arguments.quiet && !isSweepFailure(result.outcome)) return;
  renderSweepLine(request, result, report.console);
}

// Prints the jobs done at the front of the window, in the order found. Called with the lock.
void printDone(Sweep& sweep, Report& report) {
  while (!sweep.window.empty() && sweep.window.front()->done) {
    printJob(report, *sweep.window.front());
    sweep.window.pop_front();
    --sweep.started;
  }
}

bool interrupted() { return interruptSignal() != 0; }

// Waits, printing what is done, until `ready` holds or an interrupt comes. Called with the
// lock; interrupts are looked for every few milliseconds, as a signal cannot wake a waiter.
template <typename Ready>
void waitPrinting(Sweep& sweep, Report& report, std::unique_lock<std::mutex>& held, Ready ready) {
  for (;;) {
    printDone(sweep, report);
    if (ready() || interrupted()) return;
    sweep.jobDone.wait_for(held, std::chrono::milliseconds(20));
  }
}

std::uint64_t pathHash(const std::string& path) {
  std::uint64_t hash = 14695981039346656037u;
  for (const char c : path) {
    // Names differing in capitals only are one file where the system ignores capitals.
#ifdef _WIN32
    const char folded = lowerAscii(c == '/' ? '\\' : c);
#else
    const char folded = c;
#endif
    hash = (hash ^ static_cast<unsigned char>(folded)) * 1099511628211u;
  }
  return hash;
}

// OUTDIR/REL/name_jiggles.qci for a model at REL/name.mdl; a name another model of the sweep
// took already gets "~2", "~3"... before "_jiggles.qci". Empty when the name is too long to make.
std::string outputFor(Report& report, const std::string& relativeFolder, const std::string& fileName) {
  char name[512];
  if (!makeOutputName(fileName.c_str(), name, sizeof name)) return std::string();
  std::string folder = report.arguments.outputFolder;
  if (!relativeFolder.empty()) folder += (folder.empty() ? "" : std::string(1, kPathSeparator)) + relativeFolder;
  const std::string prefix = folder.empty() ? std::string() : folder + kPathSeparator;
  std::string output = prefix + name;
  const std::string stem(name, std::strlen(name) - (sizeof kOutputNameSuffix - 1));
  for (int copy = 2; !report.outputs.insert(pathHash(output)).second; ++copy) {
    output = prefix + stem + "~" + std::to_string(copy) + kOutputNameSuffix;
    if (copy == 2) ++report.tally.renamedOutputs;
  }
  return output;
}

void addJob(Sweep& sweep, Report& report, std::size_t capacity, std::string model, std::string output) {
  auto job = std::make_unique<Job>();
  job->model = std::move(model);
  job->output = std::move(output);
  std::unique_lock<std::mutex> held(sweep.lock);
  waitPrinting(sweep, report, held, [&] { return sweep.window.size() < capacity; });
  if (interrupted()) return;
  sweep.window.push_back(std::move(job));
  held.unlock();
  sweep.workToDo.notify_one();
}

std::string parentOf(const std::string& relative) {
  const std::size_t end = lastSeparatorOf(relative);
  return end == std::string::npos ? std::string() : relative.substr(0, end);
}

std::string lastPartOf(const std::string& path) {
  const std::size_t end = lastSeparatorOf(path);
  return end == std::string::npos ? path : path.substr(end + 1);
}

bool holdsModelSuffixInOtherCapitals(const std::string& name) {
  for (std::size_t i = 0; i + 4 <= name.size(); ++i) {
    if (sameIgnoringCapitals(name.data() + i, 4, ".mdl", 4)) return true;
  }
  return false;
}

// Every model of one folder or file given, in the order found.
void takePath(Sweep& sweep, Report& report, std::size_t capacity, const std::string& path) {
  if (pathKindUtf8(path) != PathKind::Folder) {
    // A model given by itself, read as sproing_dump reads it: by the name check on the path.
    return addJob(sweep, report, capacity, path, outputFor(report, std::string(), lastPartOf(path)));
  }
  const bool listed = walkFolderUtf8(path, [&](const FoundEntry& found) {
    if (interrupted()) return false;
    if (found.kind == EntryKind::Unlisted) {
      ++report.tally.unlistedFolders;
      if (report.arguments.json) {
        putLine(report, unlistedFolderJson(found.path));
      } else {
        renderUnlistedFolderLine(found.path.c_str(), report.console);
      }
      return true;
    }
    if (found.kind == EntryKind::Other || !takesModelPath(found.name.c_str())) {
      ++report.tally.otherFiles;
      if (found.kind == EntryKind::File && holdsModelSuffixInOtherCapitals(found.name)) {
        ++report.tally.otherCapitals;
        if (!report.arguments.json && !report.arguments.quiet) renderOtherCapitalsLine(found.path.c_str(), report.console);
      }
      return true;
    }
    addJob(sweep, report, capacity, found.path, outputFor(report, parentOf(found.relative), found.name));
    return true;
  });
  if (!listed) {
    ++report.tally.unlistedFolders;
    if (report.arguments.json) {
      putLine(report, unlistedFolderJson(path));
    } else {
      renderUnlistedFolderLine(path.c_str(), report.console);
    }
  }
}

std::size_t jobsToRun(const SweepArguments& arguments) {
  if (arguments.jobs != 0) return arguments.jobs;
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : cores > kMostJobs ? kMostJobs : cores;
}

// The sink is large: kept off the stack.
TextSink console;

}  // namespace

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
  console.stream = stdout;
  Report report{arguments, console, {}, {}};
  Sweep sweep;
  const std::size_t jobs = jobsToRun(arguments);
  std::vector<std::thread> workers;
  for (std::size_t i = 0; i < jobs; ++i) workers.emplace_back(work, std::ref(sweep));
  const std::size_t capacity = 4 * jobs;
  for (const std::string& path : arguments.paths) {
    if (interrupted()) break;
    takePath(sweep, report, capacity, path);
  }
  {
    std::unique_lock<std::mutex> held(sweep.lock);
    sweep.walked = true;
    sweep.workToDo.notify_all();
    waitPrinting(sweep, report, held, [&] { return sweep.window.empty(); });
    if (interrupted()) {
      // The jobs begun are finished, so that every file in place is whole; the rest are not begun.
      sweep.stopping = true;
      sweep.workToDo.notify_all();
      sweep.jobDone.wait(held, [&] {
        for (std::size_t i = 0; i < sweep.started; ++i) {
          if (!sweep.window[i]->done) return false;
        }
        return true;
      });
      printDone(sweep, report);
    }
  }
  for (std::thread& worker : workers) worker.join();
  report.tally.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  report.tally.interrupted = interrupted();
  if (arguments.json) {
    putLine(report, sweepSummaryJson(report.tally));
  } else {
    renderSweepSummary(report.tally, console);
  }
  sinkFlush(console);
  if (interrupted()) {
    std::fflush(stdout);
    endAsInterrupted(interruptSignal());
  }
  return sweepFailed(report.tally) ? kExitSomeNotWritten : kExitWritten;
}
