#include "platform/output_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <random>

#include "platform/folders.h"
#include "platform/utf8_file.h"

namespace {

constexpr int kNameAttempts = 64;

// The temporary files' names, where a signal handler (or, on Windows, a console control
// handler's thread) can read them without allocating: each published before its file is
// created, withdrawn once it is renamed or removed. The text a name points to does not
// change while published. Lock-free atomics are safe in a signal handler.
std::atomic<const char*> pendingNames[kTemporaryFileSlots] = {};
std::atomic<bool> stopped{false};
static_assert(std::atomic<const char*>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

// A free slot for a name, claimed with it; kTemporaryFileSlots when none is free.
std::size_t publish(const char* name) {
  for (std::size_t slot = 0; slot < kTemporaryFileSlots; ++slot) {
    const char* empty = nullptr;
    if (pendingNames[slot].compare_exchange_strong(empty, name)) return slot;
  }
  return kTemporaryFileSlots;
}

void withdraw(OutputFile& output) {
  if (output.slot < kTemporaryFileSlots) pendingNames[output.slot] = nullptr;
  output.slot = kTemporaryFileSlots;
}

// Where a target's folder ends: on Windows also a drive's colon ("C:name").
#ifdef _WIN32
constexpr std::string_view kSeparators = "/\\:";
#else
constexpr std::string_view kSeparators = kSystemSeparators;
#endif

std::string temporaryNameFor(const std::string& target, const char* prefix, std::uint64_t token) {
  static const char kHex[] = "0123456789abcdef";
  const std::size_t folderEnd = lastSeparator(target, kSeparators);
  std::string name = folderEnd == std::string::npos ? std::string() : target.substr(0, folderEnd + 1);
  name += prefix;
  for (int shift = 60; shift >= 0; shift -= 4) name += kHex[(token >> shift) & 0xF];
  name += ".tmp";
  return name;
}

// A seed that differs between runs: the clock, and where this run's stack and heap lie.
// Not a random device: asking the processor for one costs more than a small model's whole
// run on a virtual machine, and the "x" open below keeps even a repeated name safe.
std::uint64_t nameSeed() {
  int onTheStack = 0;
  const std::string onTheHeap(32, ' ');
  const auto clock = static_cast<std::uint64_t>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count());
  return clock ^ (static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&onTheStack)) << 16) ^
         static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(onTheHeap.data()));
}

}  // namespace

bool openOutputFile(OutputFile& output, const std::string& target, const char* prefix, bool text) {
  std::mt19937_64 generator(nameSeed());
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    // A fresh name per attempt: several runs may share the folder.
    output.temporaryName = temporaryNameFor(target, prefix, generator());
    // Published first: an interrupt that comes just after the file is made must find it.
    output.slot = publish(output.temporaryName.c_str());
    if (output.slot == kTemporaryFileSlots || stopped) {
      withdraw(output);
      return false;
    }
    errno = 0;
    std::FILE* stream = createNewFileUtf8(output.temporaryName.c_str(), text);
    const int error = errno;
    if (stream != nullptr && stopped) {
      // An interrupt came while it was made, and may have missed it.
      output.stream = stream;
      discardOutputFile(output);
      return false;
    }
    if (stream != nullptr) {
      // The text arrives in large blocks already; a second buffer would only split them.
      std::setvbuf(stream, nullptr, _IONBF, 0);
      output.stream = stream;
      return true;
    }
    withdraw(output);
    if (error != EEXIST) return false;
  }
  return false;
}

bool commitOutputFile(OutputFile& output, const std::string& target) {
  const bool written = std::fflush(output.stream) == 0 && std::ferror(output.stream) == 0;
  const bool closed = std::fclose(output.stream) == 0;
  output.stream = nullptr;
  if (written && closed && replaceFileUtf8(output.temporaryName.c_str(), target.c_str())) {
    withdraw(output);
    return true;
  }
  removeFileUtf8(output.temporaryName.c_str());
  withdraw(output);
  return false;
}

void discardOutputFile(OutputFile& output) {
  if (output.stream != nullptr) std::fclose(output.stream);
  output.stream = nullptr;
  removeFileUtf8(output.temporaryName.c_str());
  withdraw(output);
}

const char* temporaryFileInProgress(std::size_t slot) {
  return slot < kTemporaryFileSlots ? pendingNames[slot].load() : nullptr;
}

void stopMakingTemporaryFiles() { stopped = true; }
