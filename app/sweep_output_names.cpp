#include "app/sweep_output_names.h"

#include <cstring>

#include "base/fnv_hash.h"
#include "definitions/near_words.h"
#include "definitions/output_name.h"
#include "platform/folders.h"

namespace {

std::uint64_t pathHash(const std::string& path) {
  std::uint64_t hash = kFnvStart;
  for (const char c : path) {
    // Names differing in capitals only are one file where the system ignores capitals.
#ifdef _WIN32
    hash = fnvStep(hash, static_cast<unsigned char>(lowerAscii(c == '/' ? '\\' : c)));
#else
    hash = fnvStep(hash, static_cast<unsigned char>(c));
#endif
  }
  return hash;
}

}  // namespace

std::string sweepOutputFor(SweepReport& report, const std::string& relativeFolder, const std::string& fileName) {
  char name[512];
  if (!makeOutputName(fileName.c_str(), name, sizeof name)) return std::string();
  std::string folder = report.arguments.outputFolder;
  if (!relativeFolder.empty()) folder += (folder.empty() ? "" : std::string(1, kPathSeparator)) + relativeFolder;
  const std::string prefix = folder.empty() ? std::string() : folder + kPathSeparator;
  std::string output = prefix + name;
  const std::string stem(name, std::strlen(name) - (sizeof kOutputNameSuffix - 1));
  for (int copy = 2; !report.outputs.insert(pathHash(output)).second; ++copy) {
    output = prefix + stem + "~" + std::to_string(copy) + kOutputNameSuffix;
    if (copy == 2) ++report.tally.renamedOutputs;
  }
  return output;
}
