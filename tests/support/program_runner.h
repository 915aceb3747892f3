// Runs the built tool as a user would, in a folder of the test's choosing, within a time
// limit: a run that outlives it is killed and fails the test that started it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/test_files.h"

struct ProgramRun {
  int status = -1;      // exit status; 128 + the signal's number if a signal ended it
  std::string output;   // everything it wrote on standard output
  std::string errors;   // and on standard error
};

struct ProgramRunOptions {
  std::string standardOutput;  // a file to send standard output to instead (e.g. /dev/full)
  bool closedPipe = false;     // or else a pipe whose reader has gone
  long fileSizeLimit = 0;      // bytes the tool may write to any one file (0: no limit);
                               // a write past it fails rather than raising a signal
  bool apply = false;          // run sproing_apply rather than sproing_dump
  bool sweep = false;          // or sproing_sweep
};

// A run started but not yet waited for.
struct ProgramProcess {
  pid_t pid = -1;
  std::string captured;  // folder holding what the tool wrote on its standard streams
  std::string command;
};

// Whether the tools under test are Windows builds (run under Wine).
bool toolsAreWindowsBuilds();

// Runs the tool with `arguments` in `folder`. Output is captured outside that folder.
ProgramRun runProgram(const std::vector<std::string>& arguments, const std::string& folder,
                const ProgramRunOptions& options = {});

// The two halves of runProgram, for a test that acts on the tool while it runs.
ProgramProcess startProgram(const std::vector<std::string>& arguments, const std::string& folder,
                      const ProgramRunOptions& options = {});
ProgramRun waitForProgram(ProgramProcess& process);

// A new empty folder under the system's temporary folder.
std::string makeScratchFolder();
void removeFolder(const std::string& folder);

// Names of the entries of a folder, sorted.
std::vector<std::string> folderEntries(const std::string& folder);
// Line ends as written on Linux: a tool running under Windows writes CR LF.
std::string withoutCarriageReturns(std::string text);
