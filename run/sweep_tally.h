// What a sweep over folders of models found, counted: facts, whose words are the console's
// (console_lines.h) and the JSON lines' (app/sweep_json.h).
#pragma once

#include <cstddef>

#include "run/run_outcome.h"

struct SweepTally {
  std::size_t byOutcome[kRunOutcomeCount] = {};  // the models, by how each dump ended
  std::size_t jiggleBones = 0;                   // in the models written
  std::size_t otherFiles = 0;                    // passed over: not models by their names
  std::size_t otherCapitals = 0;                 // of those, names holding ".mdl" in other capitals
  std::size_t unlistedFolders = 0;               // folders that could not be listed
  std::size_t renamedOutputs = 0;                // named otherwise, their names taken by other models
  bool skeletonsAsked = false;                   // --skeleton
  std::size_t skeletons = 0;                     // written beside their texts
  std::size_t skeletonsNotWritten = 0;           // asked for beside a text written, and not written
  double seconds = 0;
  bool interrupted = false;
};

inline std::size_t sweptModels(const SweepTally& tally) {
  std::size_t models = 0;
  for (const std::size_t count : tally.byOutcome) models += count;
  return models;
}

// Whether a model's dump ended in a way the sweep reports as a failure: anything but a
// text written, or nothing to write (no jiggle bones, or a layout before them).
constexpr bool isSweepFailure(RunOutcome outcome) {
  return outcome != RunOutcome::Written && outcome != RunOutcome::NoJiggleBones && outcome != RunOutcome::OldVersion;
}

inline bool sweepFailed(const SweepTally& tally) {
  if (tally.unlistedFolders > 0 || tally.skeletonsNotWritten > 0) return true;
  for (std::size_t i = 0; i < kRunOutcomeCount; ++i) {
    if (tally.byOutcome[i] > 0 && isSweepFailure(static_cast<RunOutcome>(i))) return true;
  }
  return false;
}
