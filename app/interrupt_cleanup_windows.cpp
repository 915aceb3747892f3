#ifdef _WIN32

#include <windows.h>

#include <atomic>
#include <csignal>
#include <cstdlib>

#include "run/exit_status.h"
#include "app/interrupt_cleanup.h"
#include "platform/output_file.h"

namespace {

std::atomic<int> firstInterrupt{0};

// Statuses as a POSIX shell would report the nearest signal.
int signalFor(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT: return SIGINT;
    case CTRL_BREAK_EVENT: return SIGBREAK;
    case CTRL_CLOSE_EVENT: return 1;  // the console went away, as SIGHUP
    default: return SIGTERM;          // log-off, shut-down
  }
}

// Runs on a thread of its own while others may be writing: each file is shared for
// deletion, so it goes at once; the process then ends without the C runtime, whose locks
// another thread may hold.
BOOL WINAPI removeTemporaryFilesAndEnd(DWORD event) {
  // As long as the longest path Windows takes; static, as a thread's stack is small.
  static wchar_t wideName[32768];
  stopMakingTemporaryFiles();
  for (std::size_t slot = 0; slot < kTemporaryFileSlots; ++slot) {
    const char* name = temporaryFileInProgress(slot);
    if (name == nullptr) continue;
    // The name is UTF-8, or, where a stored model name was not, the ANSI code page's.
    const int length = sizeof wideName / sizeof wideName[0];
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, wideName, length) > 0 ||
        MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, length) > 0) {
      DeleteFileW(wideName);
    }
  }
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(kExitSignalBase + signalFor(event)));
  return TRUE;
}

// The first Ctrl+C or Ctrl+Break of a run of many files is noted; the next ends the
// process, as does a closed console or a log-off, which give no time to finish.
BOOL WINAPI noteInterrupt(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return removeTemporaryFilesAndEnd(event);
  int none = 0;
  if (!firstInterrupt.compare_exchange_strong(none, signalFor(event))) return removeTemporaryFilesAndEnd(event);
  return TRUE;
}

}  // namespace

void removeTemporaryFileOnInterrupt() { SetConsoleCtrlHandler(removeTemporaryFilesAndEnd, TRUE); }

void stopOnInterrupt() { SetConsoleCtrlHandler(noteInterrupt, TRUE); }

int interruptSignal() { return firstInterrupt; }

void endAsInterrupted(int signal) { std::_Exit(kExitSignalBase + signal); }

#endif
