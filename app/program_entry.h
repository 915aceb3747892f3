// What both command-line tools do around their run: an interrupt removes the temporary
// file, standard output is buffered and flushed at the end, and on Windows the
// wide-character command line arrives as UTF-8 and the console shows UTF-8.
#pragma once

// A tool's run: argv holds the program's name and its arguments as UTF-8; returns the
// exit status.
using ToolRun = int (*)(int argc, const char* const* argv);

// The status to end the process with.
int runTool(int argc, const char* const* argv, ToolRun run);

#ifdef _WIN32
int runToolWide(int argc, wchar_t** argv, ToolRun run);
#endif
