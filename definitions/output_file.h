// The definitions file is written under a temporary name in the current folder and moved
// over its target only once complete, so a failed run never leaves a partial file or
// harms an earlier one.
#pragma once

#include <cstdio>
#include <string>

struct OutputFile {
  std::FILE* stream = nullptr;
  std::string temporaryName;
};

// Creates a new temporary file in the current folder, opened for text writing.
bool openOutputFile(OutputFile& output);

// Closes the file and renames it over `targetName`. On failure removes it and leaves any
// file of the target's name untouched.
bool commitOutputFile(OutputFile& output, const std::string& targetName);

// Closes and removes the temporary file.
void discardOutputFile(OutputFile& output);

// The name of the temporary file while one may exist, else nullptr. Safe to call from a
// signal handler, which removes the file when a run is interrupted.
const char* temporaryFileInProgress();
