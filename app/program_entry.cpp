#include "app/program_entry.h"

#include "app/console_buffer.h"
#include "app/interrupt_cleanup.h"

int runTool(int argc, const char* const* argv, ToolRun run, OnInterrupt onInterrupt) {
  if (onInterrupt == OnInterrupt::End) {
    removeTemporaryFileOnInterrupt();
  } else {
    stopOnInterrupt();
  }
  bufferStandardOutput();
  return finishStandardOutput(run(argc, argv));
}

#ifdef _WIN32

#include <windows.h>

#include <string>
#include <vector>

namespace {

std::string utf8Of(const wchar_t* text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
  utf8.resize(static_cast<std::size_t>(length - 1));
  return utf8;
}

// Standard output is written as UTF-8 bytes. A console shows them as text only under its
// UTF-8 code page; a file or pipe takes the bytes as they are.
bool stdoutIsConsole() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

}  // namespace

// The wide-character command line carries every path as typed, whatever the code page;
// the tools take it on as UTF-8 like everywhere else.
int runToolWide(int argc, wchar_t** argv, ToolRun run, OnInterrupt onInterrupt) {
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(utf8Of(argv[i]));
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  pointers.push_back(nullptr);

  // The console's code page belongs to whoever opened it: give it back as it was.
  const UINT consoleCodePage = stdoutIsConsole() ? GetConsoleOutputCP() : 0;
  if (consoleCodePage != 0) SetConsoleOutputCP(CP_UTF8);
  const int status = runTool(argc, pointers.data(), run, onInterrupt);
  if (consoleCodePage != 0) SetConsoleOutputCP(consoleCodePage);
  return status;
}

#endif
