#ifndef _WIN32

#include <signal.h>
#include <unistd.h>

#include "app/interrupt_cleanup.h"
#include "platform/output_file.h"

namespace {

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

// Only async-signal-safe calls: one unlink of a name prepared before writing began, then
// the signal again, now with its default action, so the process ends as interrupted.
void removeTemporaryFileAndEnd(int signal) {
  const char* name = temporaryFileInProgress();
  if (name != nullptr) unlink(name);
  raise(signal);
}

}  // namespace

void removeTemporaryFileOnInterrupt() {
  struct sigaction action {};
  action.sa_handler = removeTemporaryFileAndEnd;
  action.sa_flags = static_cast<int>(SA_RESETHAND);
  sigemptyset(&action.sa_mask);
  for (const int signal : kInterrupts) sigaddset(&action.sa_mask, signal);
  for (const int signal : kInterrupts) {
    struct sigaction previous {};
    // A signal ignored by whoever started the tool (nohup, a background job) stays ignored.
    if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
  // A console pipe closed by its reader then fails the write instead of killing the run
  // halfway: the file is still finished, and the lost console is reported.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, nullptr);
}

#endif
