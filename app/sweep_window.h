// The sweep's jobs on their threads: the models found wait in a window, in the order found,
// at most a few per worker, so that a tree of any size costs the same memory; workers take
// them in that order, and each is printed, in that order, as soon as it and those before it
// are done.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/sweep_report.h"
#include "run/dump_run.h"

// One model of the sweep, from the moment it is found to the moment its line is printed.
struct SweepJob {
  std::string model;   // its path as given, joined with where it lies below the folder given
  std::string output;  // where its text goes
  std::string skeleton;  // where its skeleton goes; empty: not asked for
  DumpResult result;   // the facts, released as soon as the dump is over
  bool done = false;
};

struct SweepWindow {
  std::mutex lock;
  std::condition_variable workToDo;
  std::condition_variable jobDone;
  std::deque<std::unique_ptr<SweepJob>> jobs;
  std::size_t started = 0;  // of the window's jobs, those a worker has taken
  std::size_t capacity = 0;
  bool walked = false;    // no more jobs will come
  bool stopping = false;  // an interrupt: no more jobs are started
  std::vector<std::thread> workers;
};

// Starts `workers` threads, the window holding a few jobs for each.
void startSweepWindow(SweepWindow& window, std::size_t workers);

// Adds a model, printing what is done while it waits for room; nothing after an interrupt.
void addSweepJob(SweepWindow& window, SweepReport& report, std::string model, std::string output);

// No more jobs: prints the rest as they are done. After an interrupt, finishes the jobs
// begun, so that every file in place is whole, and begins no more. Joins the workers.
void finishSweepWindow(SweepWindow& window, SweepReport& report);

bool sweepInterrupted();
