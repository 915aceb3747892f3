// An output file is written under a temporary name beside its target and moved over the
// target only once complete, so a failed run never leaves a partial file or harms an
// earlier one. Several threads may each write one at a time.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// How many temporary files may exist at once: one per thread that writes.
inline constexpr std::size_t kTemporaryFileSlots = 64;

struct OutputFile {
  std::FILE* stream = nullptr;
  std::string temporaryName;
  std::size_t slot = kTemporaryFileSlots;  // where its name is published while it exists
};

// Creates a new temporary file "<prefix><16 hex digits>.tmp" in the folder of `target`
// (the current folder for a name without one), for text or binary writing. False also when
// kTemporaryFileSlots files are open already, or temporary files are no longer made.
bool openOutputFile(OutputFile& output, const std::string& target, const char* prefix, bool text);

// Closes the file and renames it over `target`. On failure removes it and leaves any file
// of the target's name untouched.
bool commitOutputFile(OutputFile& output, const std::string& target);

// Closes and removes the temporary file.
void discardOutputFile(OutputFile& output);

// The name of the temporary file in `slot` (below kTemporaryFileSlots) while one may
// exist there, else nullptr. Safe to call from a signal handler, which removes the files
// when a run is interrupted.
const char* temporaryFileInProgress(std::size_t slot);

// From now on no temporary file is made, and one made since a call of this removes itself
// before its opening returns: called on an interrupt, before the files in progress are
// removed, so that none made meanwhile stays behind. Safe in a signal handler.
void stopMakingTemporaryFiles();
