// What a sweep prints and counts as it goes, shared by its walk, its output names and its
// window of jobs: the arguments, the console, the tally and the outputs named so far.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>

#include "app/sweep_arguments.h"
#include "base/byte_sink.h"
#include "run/sweep_tally.h"

struct SweepReport {
  const SweepArguments& arguments;
  ByteSink& console;
  SweepTally tally;
  std::unordered_set<std::uint64_t> outputs;  // a hash of each output path named so far
};

// A line of the console, with its line end.
void putSweepLine(SweepReport& report, const std::string& line);
