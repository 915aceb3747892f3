// The exit statuses of both tools, one per kind of refusal or failure; the page shows the
// same numbers.
#pragma once

enum ExitStatus : int {
  kExitWritten = 0,
  kExitUsage = 1,
  kExitNotModelPath = 2,
  kExitNotStudioModel = 3,
  kExitOldVersion = 4,
  kExitNoJiggleBones = 5,
  kExitCannotRead = 6,
  kExitDamaged = 7,
  kExitCannotWrite = 8,
  kExitCannotWriteConsole = 9,  // the run succeeded, but its console text was lost
  kExitEditsRefused = 10,       // sproing_apply: the edits file cannot be applied
  kExitOutputIsInput = 11,      // sproing_apply: the output would be the model or the edits file
};

// An interrupted run ends with this plus the signal's number, as a shell reports it.
constexpr int kExitSignalBase = 128;
