#include "definitions/output_name.h"

#include <cstring>

std::string makeOutputName(const char* modelName) {
  const char* base = modelName;
  for (const char* c = modelName; *c != '\0'; ++c) {
    if (*c == '\\' || *c == '/') base = c + 1;
  }
  std::size_t length = std::strlen(base);
  if (length >= 4) length -= 4;
  std::string name(base, length);
  name += "_jiggles.qci";
  return name;
}

bool isUsableOutputName(const std::string& outputName) {
  for (const char c : outputName) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == ':') return false;
  }
  return true;
}
