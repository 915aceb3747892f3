// Systems whose file names are byte strings take UTF-8 paths as they are.
#ifndef _WIN32

#include <filesystem>
#include <system_error>

#include "platform/utf8_file.h"

bool isRegularFileUtf8(const char* path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

std::FILE* openFileUtf8(const char* path, const char* mode) { return std::fopen(path, mode); }

std::FILE* createNewTextFileUtf8(const char* path) { return std::fopen(path, "wx"); }

bool replaceFileUtf8(const char* from, const char* to) {
  std::error_code error;
  std::filesystem::rename(from, to, error);
  return !error;
}

bool removeFileUtf8(const char* path) { return std::remove(path) == 0; }

#endif
