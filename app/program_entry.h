// What both command-line tools do around their run: an interrupt removes the temporary
// file, standard output is buffered and flushed at the end, and on Windows the
// wide-character command line arrives as UTF-8 and the console shows UTF-8.
#pragma once

// A tool's run: argv holds the program's name and its arguments as UTF-8; returns the
// exit status.
using ToolRun = int (*)(int argc, const char* const* argv);

// What an interrupt does: end the run at once, its temporary file removed; or, for a run of
// many files, let it finish those it is writing and stop (interrupt_cleanup.h).
enum class OnInterrupt { End, Stop };

// The status to end the process with.
int runTool(int argc, const char* const* argv, ToolRun run, OnInterrupt onInterrupt = OnInterrupt::End);

#ifdef _WIN32
int runToolWide(int argc, wchar_t** argv, ToolRun run, OnInterrupt onInterrupt = OnInterrupt::End);
#endif
