// Compares formatGeneral with the C library's "%g" on every one of the 2^32 float bit
// patterns. Takes some minutes, so it is run by hand, never by CI; meant for a C library
// whose "%g" is the reference (glibc: two exponent digits, "nan" and "inf").
//
//   check_number_format [THREADS]
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <bit>
#include <mutex>
#include <thread>
#include <vector>

#include "definitions/number_format.h"

namespace {

constexpr int kReportedMismatches = 20;

std::atomic<std::uint64_t> mismatches{0};
std::mutex reportLock;

void checkRange(std::uint64_t first, std::uint64_t end) {
  char ours[kNumberTextSize];
  char theirs[kNumberTextSize];
  for (std::uint64_t bits = first; bits < end; ++bits) {
    const float value = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
    const std::size_t length = formatGeneral(value, ours);
    const int expected = std::snprintf(theirs, sizeof theirs, "%g", static_cast<double>(value));
    if (expected < 0 || static_cast<std::size_t>(expected) != length ||
        std::memcmp(ours, theirs, length) != 0) {
      if (mismatches.fetch_add(1) < kReportedMismatches) {
        const std::lock_guard<std::mutex> hold(reportLock);
        std::printf("0x%08x: formatGeneral \"%.*s\", %%g \"%s\"\n",
                    static_cast<unsigned>(bits), static_cast<int>(length), ours, theirs);
        std::fflush(stdout);
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  unsigned threads = std::thread::hardware_concurrency();
  if (argc == 2) threads = static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10));
  if (argc > 2 || threads == 0 || threads > 256) {
    std::fputs("usage: check_number_format [THREADS]\n", stderr);
    return 2;
  }
  constexpr std::uint64_t kPatterns = std::uint64_t{1} << 32;
  // Small interleaved slices keep the threads busy to the end.
  constexpr std::uint64_t kSlice = std::uint64_t{1} << 20;
  std::atomic<std::uint64_t> nextSlice{0};
  std::vector<std::thread> workers;
  for (unsigned t = 0; t < threads; ++t) {
    workers.emplace_back([&nextSlice] {
      for (;;) {
        const std::uint64_t first = nextSlice.fetch_add(kSlice);
        if (first >= kPatterns) return;
        checkRange(first, first + kSlice);
        if ((first + kSlice) % (kPatterns / 16) == 0) {
          std::fprintf(stderr, "%llu/16 of the patterns handed out\n",
                       static_cast<unsigned long long>((first + kSlice) / (kPatterns / 16)));
        }
      }
    });
  }
  for (std::thread& worker : workers) worker.join();
  std::printf("%llu of %llu bit patterns differ\n",
              static_cast<unsigned long long>(mismatches.load()),
              static_cast<unsigned long long>(kPatterns));
  return mismatches.load() == 0 ? 0 : 1;
}
