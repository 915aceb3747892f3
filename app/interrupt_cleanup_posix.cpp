#ifndef _WIN32

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

#include "app/interrupt_cleanup.h"
#include "platform/output_file.h"

namespace {

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<int> firstInterrupt{0};
static_assert(std::atomic<int>::is_always_lock_free);

// Only async-signal-safe calls: no more temporary files, an unlink of each name prepared
// before its writing began, then the signal again, now with its default action, so the
// process ends as interrupted.
void removeTemporaryFilesAndEnd(int signal) {
  stopMakingTemporaryFiles();
  for (std::size_t slot = 0; slot < kTemporaryFileSlots; ++slot) {
    const char* name = temporaryFileInProgress(slot);
    if (name != nullptr) unlink(name);
  }
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(signal, &fallback, nullptr);
  raise(signal);
}

// The first interrupt of a run of many files is noted; the next ends the process.
void noteInterrupt(int signal) {
  int none = 0;
  if (!firstInterrupt.compare_exchange_strong(none, signal)) removeTemporaryFilesAndEnd(signal);
}

void handleInterrupts(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
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

}  // namespace

void removeTemporaryFileOnInterrupt() { handleInterrupts(removeTemporaryFilesAndEnd); }

void stopOnInterrupt() { handleInterrupts(noteInterrupt); }

int interruptSignal() { return firstInterrupt; }

void endAsInterrupted(int signal) {
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(signal, &fallback, nullptr);
  sigset_t unblocked;
  sigemptyset(&unblocked);
  sigaddset(&unblocked, signal);
  sigprocmask(SIG_UNBLOCK, &unblocked, nullptr);
  raise(signal);
  std::_Exit(128 + signal);  // a signal that does not end the process by default
}

#endif
