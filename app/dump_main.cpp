#include "app/dump_driver.h"
#include "app/program_entry.h"

#ifdef _WIN32
// Wide-character entry point, so that non-ASCII paths arrive as typed.
int wmain(int argc, wchar_t** argv) { return runToolWide(argc, argv, runSproingDump); }
#else
int main(int argc, char** argv) { return runTool(argc, argv, runSproingDump); }
#endif
