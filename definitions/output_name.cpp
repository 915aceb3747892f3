#include "definitions/output_name.h"

#include <cstring>

#include "base/path_parts.h"

bool makeOutputName(const char* modelName, char* name, std::size_t room) {
  const std::string_view base = lastPathPart(modelName);
  std::size_t length = base.size();
  if (length >= 4) length -= 4;
  if (room == 0) return false;
  name[0] = '\0';
  if (length > room - 1 || room - 1 - length < sizeof kOutputNameSuffix - 1) return false;
  std::memcpy(name, base.data(), length);
  std::memcpy(name + length, kOutputNameSuffix, sizeof kOutputNameSuffix);
  return true;
}

bool isUsableOutputName(const char* outputName) {
  for (const char* c = outputName; *c != '\0'; ++c) {
    const auto byte = static_cast<unsigned char>(*c);
    if (byte < 0x20 || byte == 0x7F || *c == ':') return false;
  }
  return true;
}

std::string skeletonNameFor(const std::string& outputPath) {
  const std::size_t suffix = sizeof kOutputNameSuffix - 1;
  const std::size_t stem = outputPath.size() >= suffix ? outputPath.size() - suffix : 0;
  return outputPath.substr(0, stem) + kSkeletonNameSuffix;
}
