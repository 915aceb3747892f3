#include "app/sweep_window.h"

#include <chrono>

#include "app/disk_files.h"
#include "definitions/output_name.h"
#include "app/interrupt_cleanup.h"
#include "platform/folders.h"
#include "run/console_lines.h"
#include "app/sweep_json.h"

namespace {

void work(SweepWindow& window) {
  DiskOutput output;
  output.temporaryPrefix = "sproing_sweep_";
  output.makeFolder = makeFoldersUtf8;
  const RunFiles files = diskFiles(output);
  for (;;) {
    SweepJob* job = nullptr;
    {
      std::unique_lock<std::mutex> held(window.lock);
      window.workToDo.wait(held, [&] { return window.stopping || window.walked || window.started < window.jobs.size(); });
      if (window.stopping || window.started == window.jobs.size()) return;
      job = window.jobs[window.started++].get();
    }
    DumpRequest request;
    request.modelPath = job->model.c_str();
    request.outputPath = job->output.c_str();
    request.keeps = DumpKeeps::Counts;
    request.skeletonPath = job->skeleton.empty() ? nullptr : job->skeleton.c_str();
    job->result = runDump(request, files);
    releaseDumpResult(job->result, files);
    {
      const std::lock_guard<std::mutex> held(window.lock);
      job->done = true;
    }
    window.jobDone.notify_all();
  }
}

void printJob(SweepReport& report, const SweepJob& job) {
  const DumpResult& result = job.result;
  ++report.tally.byOutcome[static_cast<std::size_t>(result.outcome)];
  if (result.outcome == RunOutcome::Written) report.tally.jiggleBones += result.jiggleBones;
  if (result.skeleton.end == SkeletonEnd::Written) ++report.tally.skeletons;
  if (skeletonNotWritten(result)) ++report.tally.skeletonsNotWritten;
  DumpRequest request;
  request.modelPath = job.model.c_str();
  request.outputPath = job.output.c_str();
  request.skeletonPath = job.skeleton.empty() ? nullptr : job.skeleton.c_str();
  if (report.arguments.json) return putSweepLine(report, sweepModelJson(request, result));
  if (report.arguments.quiet && !isSweepFailure(result.outcome) && !skeletonNotWritten(result)) return;
  renderSweepLine(request, result, report.console);
}

// Prints the jobs done at the front of the window, in the order found. Called with the lock.
void printDone(SweepWindow& window, SweepReport& report) {
  while (!window.jobs.empty() && window.jobs.front()->done) {
    printJob(report, *window.jobs.front());
    window.jobs.pop_front();
    --window.started;
  }
}

// Waits, printing what is done, until `ready` holds or an interrupt comes. Called with the
// lock; interrupts are looked for every few milliseconds, as a signal cannot wake a waiter.
template <typename Ready>
void waitPrinting(SweepWindow& window, SweepReport& report, std::unique_lock<std::mutex>& held, Ready ready) {
  for (;;) {
    printDone(window, report);
    if (ready() || sweepInterrupted()) return;
    window.jobDone.wait_for(held, std::chrono::milliseconds(20));
  }
}

}  // namespace

bool sweepInterrupted() { return interruptSignal() != 0; }

void startSweepWindow(SweepWindow& window, std::size_t workers) {
  window.capacity = 4 * workers;
  for (std::size_t i = 0; i < workers; ++i) window.workers.emplace_back(work, std::ref(window));
}

void addSweepJob(SweepWindow& window, SweepReport& report, std::string model, std::string output) {
  auto job = std::make_unique<SweepJob>();
  job->model = std::move(model);
  job->output = std::move(output);
  if (report.arguments.skeleton && !job->output.empty()) job->skeleton = skeletonNameFor(job->output);
  std::unique_lock<std::mutex> held(window.lock);
  waitPrinting(window, report, held, [&] { return window.jobs.size() < window.capacity; });
  if (sweepInterrupted()) return;
  window.jobs.push_back(std::move(job));
  held.unlock();
  window.workToDo.notify_one();
}

void finishSweepWindow(SweepWindow& window, SweepReport& report) {
  {
    std::unique_lock<std::mutex> held(window.lock);
    window.walked = true;
    window.workToDo.notify_all();
    waitPrinting(window, report, held, [&] { return window.jobs.empty(); });
    if (sweepInterrupted()) {
      window.stopping = true;
      window.workToDo.notify_all();
      window.jobDone.wait(held, [&] {
        for (std::size_t i = 0; i < window.started; ++i) {
          if (!window.jobs[i]->done) return false;
        }
        return true;
      });
      printDone(window, report);
    }
  }
  for (std::thread& worker : window.workers) worker.join();
}
