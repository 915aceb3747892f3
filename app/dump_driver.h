// sproing_dump's run, from the command line to the exit status.
#pragma once

// argv holds the program's name and its arguments, as UTF-8. Returns the exit status.
int runSproingDump(int argc, const char* const* argv);
