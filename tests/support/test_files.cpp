#include "tests/support/test_files.h"

#include <fstream>
#include <iterator>

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFixture(const std::string& name) { return readFile(SPROING_SOURCE_DIR "/tests/fixtures/" + name); }

std::string bytesOf(const std::vector<unsigned char>& bytes) { return std::string(bytes.begin(), bytes.end()); }
