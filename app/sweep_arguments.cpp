#include "app/sweep_arguments.h"

#include <charconv>
#include <cstring>

const char kSweepUsage[] = "Usage: sproing_sweep [-o OUTDIR] [--jobs N] [--json] [--quiet] [--skeleton] PATH...\n";

const char kSweepHelp[] =
    "Dumps the jiggle bones of every model under the folders and files given, as sproing_dump\n"
    "does one model: each model's .qci, byte for byte sproing_dump's, is named after its file\n"
    "(models/pyro.mdl gives pyro_jiggles.qci) and written in OUTDIR under the folders the model\n"
    "lies in below the folder given. Folders are walked whole; links to folders are not\n"
    "followed; a file is read as a model when its name holds \".mdl\". The models are only read.\n"
    "\n"
    "  -o OUTDIR   where the .qci files go (default: the current folder); made as needed\n"
    "  --jobs N    models dumped at once, 1 to 64 (default: one per core)\n"
    "  --json      a JSON object per line for each model, then one for the summary\n"
    "  --quiet     only the models that failed, and the summary\n"
    "  --skeleton  also each model's skeleton beside its .qci, as <name>_skeleton.glb (glTF)\n"
    "  --help, --version\n"
    "\n"
    "Exit status: 0 when every model was written or had nothing to write (no jiggle bones, an\n"
    "old version); 2 when a model could not be read, was not a studio model, was damaged or\n"
    "could not be written, or its skeleton asked for could not be (the others are still done); 1 for wrong arguments; 9 when standard\n"
    "output was lost; 128 + the signal after an interrupt, which finishes the files being\n"
    "written and leaves no partial file (a second one ends the sweep at once).\n";

SweepCall readSweepArguments(int argc, const char* const* argv, SweepArguments& arguments, std::string& problem) {
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    const bool option = options && argument[0] == '-' && argument[1] != '\0';
    if (!option) {
      arguments.paths.emplace_back(argument);
    } else if (std::strcmp(argument, "--") == 0) {
      options = false;
    } else if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
      return SweepCall::Help;
    } else if (std::strcmp(argument, "--version") == 0) {
      return SweepCall::Version;
    } else if (std::strcmp(argument, "--json") == 0) {
      arguments.json = true;
    } else if (std::strcmp(argument, "--quiet") == 0 || std::strcmp(argument, "-q") == 0) {
      arguments.quiet = true;
    } else if (std::strcmp(argument, "--skeleton") == 0) {
      arguments.skeleton = true;
    } else if (std::strcmp(argument, "-o") == 0 || std::strcmp(argument, "--jobs") == 0) {
      if (i + 1 == argc || argv[i + 1][0] == '\0') {
        problem = std::string(argument) + " needs a value";
        return SweepCall::Wrong;
      }
      const char* value = argv[++i];
      if (argument[1] == 'o') {
        arguments.outputFolder = value;
        continue;
      }
      std::size_t jobs = 0;
      const char* end = value + std::strlen(value);
      const auto parsed = std::from_chars(value, end, jobs);
      if (parsed.ec != std::errc() || parsed.ptr != end || jobs < 1 || jobs > kMostJobs) {
        problem = "--jobs takes a number from 1 to " + std::to_string(kMostJobs) + ", not " + value;
        return SweepCall::Wrong;
      }
      arguments.jobs = jobs;
    } else {
      problem = std::string(argument) + " is not an option of sproing_sweep";
      return SweepCall::Wrong;
    }
  }
  if (arguments.paths.empty()) {
    problem = "no folder or model given";
    return SweepCall::Wrong;
  }
  return SweepCall::Sweep;
}
