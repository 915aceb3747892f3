// Systems whose file names are byte strings take UTF-8 paths as they are.
#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "platform/utf8_file.h"

std::FILE* openRegularFileUtf8(const char* path) {
  // O_NONBLOCK: opening a named pipe would otherwise wait for a writer for ever.
  const int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor == -1) return nullptr;
  struct stat status {};
  const int flags = fcntl(descriptor, F_GETFL);
  if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || flags == -1 ||
      fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    close(descriptor);
    return nullptr;
  }
  std::FILE* file = fdopen(descriptor, "rb");
  if (file == nullptr) close(descriptor);
  return file;
}

std::FILE* createNewFileUtf8(const char* path, bool text) {
  return std::fopen(path, text ? "wx" : "wbx");
}

bool replaceFileUtf8(const char* from, const char* to) {
  // A new file gets the permissions of the process's mask; one replacing another takes the
  // permissions that were chosen for the old.
  struct stat replaced {};
  if (stat(to, &replaced) == 0 && S_ISREG(replaced.st_mode) && chmod(from, replaced.st_mode & 0777) != 0) {
    return false;
  }
  std::error_code error;
  std::filesystem::rename(from, to, error);
  return !error;
}

bool removeFileUtf8(const char* path) { return std::remove(path) == 0; }

bool isSameFileUtf8(const char* first, const char* second) {
  struct stat a {};
  struct stat b {};
  return stat(first, &a) == 0 && stat(second, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

#endif
