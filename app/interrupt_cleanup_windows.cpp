#ifdef _WIN32

#include <windows.h>

#include <csignal>

#include "run/exit_status.h"
#include "app/interrupt_cleanup.h"
#include "platform/output_file.h"

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
  // As long as the longest path Windows takes; static, as a thread's stack is small.
  static wchar_t wideName[32768];
  const char* name = temporaryFileInProgress();
  if (name != nullptr) {
    // The name is UTF-8, or, where a stored model name was not, the ANSI code page's.
    const int length = sizeof wideName / sizeof wideName[0];
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, wideName, length) > 0 ||
        MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, length) > 0) {
      DeleteFileW(wideName);
    }
  }
  TerminateProcess(GetCurrentProcess(), statusFor(event));
  return TRUE;
}

}  // namespace

void removeTemporaryFileOnInterrupt() { SetConsoleCtrlHandler(removeTemporaryFileAndEnd, TRUE); }

#endif
