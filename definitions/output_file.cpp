#include "definitions/output_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <random>

#include "platform/utf8_file.h"

namespace {

constexpr int kNameAttempts = 64;

// The temporary file's name, kept where a signal handler (or, on Windows, a console
// control handler's thread) can read it without allocating: written only while
// unpublished, published before the file is created, withdrawn once it is renamed or
// removed. A lock-free atomic is safe in a signal handler.
char pendingName[64];
std::atomic<bool> pendingPublished{false};
static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(sizeof "sproing_dump_0123456789abcdef.tmp" <= sizeof pendingName);

void publishPendingName(const std::string& name) {
  pendingPublished = false;
  std::memcpy(pendingName, name.c_str(), name.size() + 1);
  pendingPublished = true;
}

void withdrawPendingName() { pendingPublished = false; }

std::string temporaryNameFor(std::uint64_t token) {
  static const char kHex[] = "0123456789abcdef";
  std::string name = "sproing_dump_";
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

bool openOutputFile(OutputFile& output) {
  std::mt19937_64 generator(nameSeed());
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    // A fresh name per attempt: several runs may share the current folder.
    std::string name = temporaryNameFor(generator());
    // Published first: an interrupt that comes just after the file is made must find it.
    publishPendingName(name);
    errno = 0;
    std::FILE* stream = createNewTextFileUtf8(name.c_str());
    if (stream != nullptr) {
      // The text arrives in large blocks already; a second buffer would only split them.
      std::setvbuf(stream, nullptr, _IONBF, 0);
      output.stream = stream;
      output.temporaryName = std::move(name);
      return true;
    }
    withdrawPendingName();
    if (errno != EEXIST) return false;
  }
  return false;
}

bool commitOutputFile(OutputFile& output, const std::string& targetName) {
  const bool written = std::fflush(output.stream) == 0 && std::ferror(output.stream) == 0;
  const bool closed = std::fclose(output.stream) == 0;
  output.stream = nullptr;
  if (written && closed) {
    if (replaceFileUtf8(output.temporaryName.c_str(), targetName.c_str())) {
      withdrawPendingName();
      return true;
    }
  }
  removeFileUtf8(output.temporaryName.c_str());
  withdrawPendingName();
  return false;
}

void discardOutputFile(OutputFile& output) {
  if (output.stream != nullptr) std::fclose(output.stream);
  output.stream = nullptr;
  removeFileUtf8(output.temporaryName.c_str());
  withdrawPendingName();
}

const char* temporaryFileInProgress() { return pendingPublished ? pendingName : nullptr; }
