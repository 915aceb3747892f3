// sproing_sweep's arguments, read and checked before anything is opened.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

inline constexpr std::size_t kMostJobs = 64;

// The sweep's own status beside those of sproing_dump's (1, 9, 128 + n): a model could not
// be read, or was refused or not written.
inline constexpr int kSweepSomeNotWritten = 2;

struct SweepArguments {
  std::string outputFolder;  // empty: the current folder
  std::size_t jobs = 0;      // 0: one per core, at most kMostJobs
  bool json = false;
  bool quiet = false;
  bool skeleton = false;  // each model's skeleton too, beside its text
  std::vector<std::string> paths;
};

enum class SweepCall { Sweep, Help, Version, Wrong };

// Reads the arguments; for Wrong, `problem` says what is wrong with them.
SweepCall readSweepArguments(int argc, const char* const* argv, SweepArguments& arguments, std::string& problem);

extern const char kSweepUsage[];
extern const char kSweepHelp[];
