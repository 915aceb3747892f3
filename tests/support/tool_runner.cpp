#include "tests/support/tool_runner.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::string quoted(const std::string& text) {
  std::string out = "'";
  for (const char c : text) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  return out + "'";
}

}  // namespace

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string bytesOf(const std::vector<unsigned char>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

std::string makeScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "sproing_test_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  return pattern;
}

void removeFolder(const std::string& folder) {
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

std::vector<std::string> folderEntries(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string withoutCarriageReturns(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

ToolRun runTool(const std::vector<std::string>& arguments, const std::string& folder) {
  const std::string captured = makeScratchFolder();
  std::ostringstream command;
  // SPROING_TOOL_RUNNER in the environment (e.g. a memory checker) overrides the built-in one.
  const char* runner = std::getenv("SPROING_TOOL_RUNNER");
  command << "cd " << quoted(folder) << " && " << (runner != nullptr ? runner : SPROING_DUMP_RUNNER)
          << " " << quoted(SPROING_DUMP_EXE);
  for (const std::string& argument : arguments) command << ' ' << quoted(argument);
  command << " >" << quoted(captured + "/out") << " 2>" << quoted(captured + "/err")
          << " </dev/null";
  const int raw = std::system(command.str().c_str());
  ToolRun run;
  run.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.output = readFile(captured + "/out");
  run.errors = readFile(captured + "/err");
  removeFolder(captured);
  return run;
}
