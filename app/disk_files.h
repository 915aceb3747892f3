// The files of a command-line run: on disk, by the UTF-8 paths typed. An output is written
// under a temporary name beside it, and put in place only once complete.
#pragma once

#include "platform/output_file.h"
#include "run/run_files.h"

// What a run's files keep while it writes: one per thread that runs.
struct DiskOutput {
  const char* temporaryPrefix = "sproing_";  // of the temporary file beside an output
  // Makes an output's folder where it is missing, or null for none; false when it cannot.
  bool (*makeFolder)(const std::string& folder) = nullptr;
  OutputFile file;
};

// The files on disk, writing through `output`, which must outlive the run.
RunFiles diskFiles(DiskOutput& output);
