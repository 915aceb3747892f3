// How a run of either tool ended, as a fact: one kind per ending, with its exit status, the
// one word by which the sweep's JSON lines and the page name it, and the words a list of
// outcomes shows (the sweep's lines and counts, the page's). The console's sentences for
// them are made in one place (console_lines.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "run/exit_status.h"

enum class RunOutcome : std::uint8_t {
  Written,
  NotModelPath,    // the path holds no ".mdl"
  NotStudioModel,  // no "IDST" at its start
  OldVersion,      // a layout before jiggle bones
  NoJiggleBones,
  CannotRead,      // a file that cannot be opened or read whole
  OutOfMemory,     // memory the run needs cannot be had
  Damaged,
  CannotWrite,     // the output
  EditsRefused,    // sproing_apply: the edits cannot be applied
  OutputIsInput,   // sproing_apply: the output would be the model or the edits file
};

// Which of the run's files an outcome is about.
enum class RunFileRole : std::uint8_t { Model, Edits, Output };

// What a run was doing when its memory ran out: reading a file (its role says which),
// applying the edits, or writing the output.
enum class RunStep : std::uint8_t { Reading, Applying, Writing };

struct RunOutcomeName {
  const char* word;
  const char* label;
  int status;
};

// In the order of RunOutcome.
inline constexpr RunOutcomeName kRunOutcomeNames[] = {
    {"written", "written", kExitWritten},
    {"not-a-model", "not a model", kExitNotModelPath},
    {"not-studio", "not a studio model", kExitNotStudioModel},
    {"old-version", "old version", kExitOldVersion},
    {"no-jiggle-bones", "no jiggle bones", kExitNoJiggleBones},
    {"cannot-read", "cannot read", kExitCannotRead},
    {"out-of-memory", "out of memory", kExitCannotRead},
    {"damaged", "damaged", kExitDamaged},
    {"cannot-write", "cannot write", kExitCannotWrite},
    {"edits-refused", "edits refused", kExitEditsRefused},
    {"output-is-input", "output is an input", kExitOutputIsInput},
};
inline constexpr std::size_t kRunOutcomeCount = sizeof kRunOutcomeNames / sizeof kRunOutcomeNames[0];
static_assert(kRunOutcomeCount == static_cast<std::size_t>(RunOutcome::OutputIsInput) + 1);

constexpr const char* outcomeWord(RunOutcome outcome) {
  return kRunOutcomeNames[static_cast<std::size_t>(outcome)].word;
}
constexpr const char* outcomeLabel(RunOutcome outcome) {
  return kRunOutcomeNames[static_cast<std::size_t>(outcome)].label;
}
// Whether a dump can end so: the rest are the apply's alone.
constexpr bool endsADump(RunOutcome outcome) {
  return outcome != RunOutcome::EditsRefused && outcome != RunOutcome::OutputIsInput;
}

constexpr int exitStatusOf(RunOutcome outcome) { return kRunOutcomeNames[static_cast<std::size_t>(outcome)].status; }

// Ends a run's result (DumpResult, ApplyResult) with `outcome`, about one of its files.
template <typename Result>
Result& endRun(Result& result, RunOutcome outcome, RunFileRole about = RunFileRole::Model,
               RunStep step = RunStep::Reading) {
  result.outcome = outcome;
  result.about = about;
  result.step = step;
  return result;
}

