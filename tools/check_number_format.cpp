// Compares formatGeneral with the C library's "%g" on every one of the 2^32 float bit
// patterns, or on a range of them. The whole range takes some tens of minutes and is run
// by hand; CI runs a 1/256 slice chosen from the commit (.ci/numbers.sh). Meant for a C
// library whose "%g" is the reference (glibc: two exponent digits, "nan" and "inf").
// Prints each differing bit pattern (the first few) and exits with 1 if any differs.
//
//   check_number_format [THREADS [FIRST END]]    FIRST, END: bit patterns in hex, END excluded
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
  if (argc >= 2) threads = static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10));
  std::uint64_t first = 0;
  std::uint64_t end = std::uint64_t{1} << 32;
  if (argc == 4) {
    first = std::strtoull(argv[2], nullptr, 16);
    end = std::strtoull(argv[3], nullptr, 16);
  }
  if ((argc != 1 && argc != 2 && argc != 4) || threads == 0 || threads > 256 || first >= end ||
      end > (std::uint64_t{1} << 32)) {
    std::fputs("usage: check_number_format [THREADS [FIRST END]]\n", stderr);
    return 2;
  }
  // Small slices handed out in turn keep the threads busy to the end.
  constexpr std::uint64_t kSlice = std::uint64_t{1} << 20;
  const std::uint64_t patterns = end - first;
  std::atomic<std::uint64_t> nextSlice{first};
  std::vector<std::thread> workers;
  for (unsigned t = 0; t < threads; ++t) {
    workers.emplace_back([&nextSlice, first, end, patterns] {
      for (;;) {
        const std::uint64_t start = nextSlice.fetch_add(kSlice);
        if (start >= end) return;
        const std::uint64_t stop = end - start < kSlice ? end : start + kSlice;
        checkRange(start, stop);
        const std::uint64_t done = stop - first;
        if (done * 16 / patterns != (done - (stop - start)) * 16 / patterns) {
          std::fprintf(stderr, "about %llu/16 done\n",
                       static_cast<unsigned long long>(done * 16 / patterns));
        }
      }
    });
  }
  for (std::thread& worker : workers) worker.join();
  std::printf("%llu of %llu bit patterns differ\n",
              static_cast<unsigned long long>(mismatches.load()),
              static_cast<unsigned long long>(patterns));
  return mismatches.load() == 0 ? 0 : 1;
}
