// sproing_sweep's command line: sproing_sweep [-o OUTDIR] [--jobs N] [--json] [--quiet]
// PATH... dumps every model of the folders and files given, each into a .qci named after
// its file, in OUTDIR under the folders it lies in.
#pragma once

// argv holds the program's name and its arguments, as UTF-8. Returns the exit status.
int runSproingSweep(int argc, const char* const* argv);
