#include "definitions/output_file.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <random>

#include "platform/utf8_file.h"

namespace {

constexpr int kNameAttempts = 64;

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
    errno = 0;
    std::FILE* stream = createNewTextFileUtf8(name.c_str());
    if (stream != nullptr) {
      // The text arrives in large blocks already; a second buffer would only split them.
      std::setvbuf(stream, nullptr, _IONBF, 0);
      output.stream = stream;
      output.temporaryName = std::move(name);
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

bool commitOutputFile(OutputFile& output, const std::string& targetName) {
  const bool written = std::fflush(output.stream) == 0 && std::ferror(output.stream) == 0;
  const bool closed = std::fclose(output.stream) == 0;
  output.stream = nullptr;
  if (written && closed) {
    if (replaceFileUtf8(output.temporaryName.c_str(), targetName.c_str())) return true;
  }
  removeFileUtf8(output.temporaryName.c_str());
  return false;
}

void discardOutputFile(OutputFile& output) {
  if (output.stream != nullptr) std::fclose(output.stream);
  output.stream = nullptr;
  removeFileUtf8(output.temporaryName.c_str());
}
