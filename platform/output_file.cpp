#include "platform/output_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <random>

#include "platform/utf8_file.h"

namespace {

constexpr int kNameAttempts = 64;

// The temporary file's name, where a signal handler (or, on Windows, a console control
// handler's thread) can read it without allocating: published before the file is created,
// withdrawn once it is renamed or removed. The text it points to does not change while
// published. A lock-free atomic is safe in a signal handler.
std::atomic<const char*> pendingName{nullptr};
static_assert(std::atomic<const char*>::is_always_lock_free);

#ifdef _WIN32
constexpr const char* kSeparators = "/\\:";
#else
constexpr const char* kSeparators = "/";
#endif

std::string temporaryNameFor(const std::string& target, const char* prefix, std::uint64_t token) {
  static const char kHex[] = "0123456789abcdef";
  const std::size_t folderEnd = target.find_last_of(kSeparators);
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
    pendingName = output.temporaryName.c_str();
    errno = 0;
    std::FILE* stream = createNewFileUtf8(output.temporaryName.c_str(), text);
    if (stream != nullptr) {
      // The text arrives in large blocks already; a second buffer would only split them.
      std::setvbuf(stream, nullptr, _IONBF, 0);
      output.stream = stream;
      return true;
    }
    pendingName = nullptr;
    if (errno != EEXIST) return false;
  }
  return false;
}

bool commitOutputFile(OutputFile& output, const std::string& target) {
  const bool written = std::fflush(output.stream) == 0 && std::ferror(output.stream) == 0;
  const bool closed = std::fclose(output.stream) == 0;
  output.stream = nullptr;
  if (written && closed && replaceFileUtf8(output.temporaryName.c_str(), target.c_str())) {
    pendingName = nullptr;
    return true;
  }
  removeFileUtf8(output.temporaryName.c_str());
  pendingName = nullptr;
  return false;
}

void discardOutputFile(OutputFile& output) {
  if (output.stream != nullptr) std::fclose(output.stream);
  output.stream = nullptr;
  removeFileUtf8(output.temporaryName.c_str());
  pendingName = nullptr;
}

const char* temporaryFileInProgress() { return pendingName; }
