#include "app/program_entry.h"
#include "app/sweep_driver.h"

#ifdef _WIN32
// Wide-character entry point, so that non-ASCII paths arrive as typed.
int wmain(int argc, wchar_t** argv) { return runToolWide(argc, argv, runSproingSweep, OnInterrupt::Stop); }
#else
int main(int argc, char** argv) { return runTool(argc, argv, runSproingSweep, OnInterrupt::Stop); }
#endif
