// An output file is written under a temporary name beside its target and moved over the
// target only once complete, so a failed run never leaves a partial file or harms an
// earlier one.
#pragma once

#include <cstdio>
#include <string>

struct OutputFile {
  std::FILE* stream = nullptr;
  std::string temporaryName;
};

// Creates a new temporary file "<prefix><16 hex digits>.tmp" in the folder of `target`
// (the current folder for a name without one), for text or binary writing.
bool openOutputFile(OutputFile& output, const std::string& target, const char* prefix, bool text);

// Closes the file and renames it over `target`. On failure removes it and leaves any file
// of the target's name untouched.
bool commitOutputFile(OutputFile& output, const std::string& target);

// Closes and removes the temporary file.
void discardOutputFile(OutputFile& output);

// The name of the temporary file while one may exist, else nullptr. Safe to call from a
// signal handler, which removes the file when a run is interrupted.
const char* temporaryFileInProgress();
