#ifdef _WIN32

#include <windows.h>

#include <csignal>

#include "app/exit_status.h"
#include "app/interrupt_cleanup.h"
#include "definitions/output_file.h"

namespace {

// Statuses as a POSIX shell would report the nearest signal.
UINT statusFor(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT: return kExitSignalBase + SIGINT;
    case CTRL_BREAK_EVENT: return kExitSignalBase + SIGBREAK;
    case CTRL_CLOSE_EVENT: return kExitSignalBase + 1;  // the console went away, as SIGHUP
    default: return kExitSignalBase + SIGTERM;            // log-off, shut-down
  }
}

// Runs on a thread of its own while the main thread may be writing: the file is shared
// for deletion, so it goes at once; the process then ends without the C runtime, whose
// locks the main thread may hold.
BOOL WINAPI removeTemporaryFileAndEnd(DWORD event) {
  const char* name = temporaryFileInProgress();
  if (name != nullptr) {
    wchar_t wideName[64];  // temporary names are short and ASCII
    std::size_t i = 0;
    for (; name[i] != '\0' && i + 1 < sizeof wideName / sizeof wideName[0]; ++i) {
      wideName[i] = static_cast<wchar_t>(name[i]);
    }
    wideName[i] = L'\0';
    DeleteFileW(wideName);
  }
  TerminateProcess(GetCurrentProcess(), statusFor(event));
  return TRUE;
}

}  // namespace

void removeTemporaryFileOnInterrupt() { SetConsoleCtrlHandler(removeTemporaryFileAndEnd, TRUE); }

#endif
