// The least any tool must do for the work sproing_dump does, for the benchmark to compare
// against: read the whole model file into one buffer, then write as many bytes as the
// definitions text has into a new file in the current folder. The bytes come from a small
// buffer written again and again (the first 64 KiB of the expected text), so the floor
// neither renders nor reads the text it writes: that work is the tool's alone.
//
//   bench_floor MODEL.mdl SAMPLE.qci BYTES OUTPUT.qci
//
// SAMPLE.qci supplies the buffer's bytes (only its first 64 KiB are read); BYTES is the
// length of the text to write, the expected output's size. BYTES 0 stands for a model the
// tool refuses: the floor then reads the model and writes nothing (SAMPLE is not read).
#include <cstdio>
#include <cstdlib>

#include "platform/file_buffer.h"

namespace {

constexpr std::size_t kChunk = 64 * 1024;

// The whole file in one allocation, as the tool loads a model (in the same memory); nullptr
// on any failure.
unsigned char* readWhole(const char* path, std::size_t& size) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return nullptr;
  unsigned char* bytes = nullptr;
  if (std::fseek(file, 0, SEEK_END) == 0) {
    const long length = std::ftell(file);
    if (length > 0 && std::fseek(file, 0, SEEK_SET) == 0) {
      size = static_cast<std::size_t>(length);
      bytes = allocateFileBuffer(size);
      if (bytes != nullptr && std::fread(bytes, 1, size, file) != size) {
        releaseFileBuffer(bytes);
        bytes = nullptr;
      }
    }
  }
  std::fclose(file);
  return bytes;
}

// Up to kChunk leading bytes of a file; 0 on failure.
std::size_t readStart(const char* path, char (&chunk)[kChunk]) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return 0;
  const std::size_t length = std::fread(chunk, 1, sizeof chunk, file);
  std::fclose(file);
  return length;
}

char chunk[kChunk];

}  // namespace

int main(int argc, char** argv) {
  char* end = nullptr;
  const unsigned long long total = argc == 5 ? std::strtoull(argv[3], &end, 10) : 0;
  if (argc != 5 || end == argv[3] || *end != '\0') {
    std::fputs("usage: bench_floor MODEL.mdl SAMPLE.qci BYTES OUTPUT.qci\n", stderr);
    return 2;
  }
  std::size_t modelSize = 0;
  unsigned char* model = readWhole(argv[1], modelSize);
  if (model == nullptr) return 1;
  if (total == 0) {
    releaseFileBuffer(model);
    return 0;
  }
  const std::size_t chunkSize = readStart(argv[2], chunk);
  if (chunkSize == 0) {
    releaseFileBuffer(model);
    return 1;
  }
  std::FILE* output = std::fopen(argv[4], "w");
  bool written = output != nullptr;
  if (written) {
    // Unbuffered, as the tool's output is: each block goes straight to the file.
    std::setvbuf(output, nullptr, _IONBF, 0);
    for (unsigned long long left = total; written && left > 0;) {
      const std::size_t part = left < chunkSize ? static_cast<std::size_t>(left) : chunkSize;
      written = std::fwrite(chunk, 1, part, output) == part;
      left -= part;
    }
    written = std::fclose(output) == 0 && written;
  }
  // Keep the model's bytes observably used, as the tool's reading of them is.
  const int status = written && model[0] != 0 ? 0 : 1;
  releaseFileBuffer(model);
  return status;
}
