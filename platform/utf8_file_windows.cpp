// Windows opens files by wide-character names: the narrow C library functions would read
// a path in the ANSI code page and could not reach most non-ASCII names.
#ifdef _WIN32

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <string>

#include "platform/utf8_file.h"

namespace {

// Text that is not valid UTF-8 (a model's stored name may be in some old 8-bit encoding)
// is read in the ANSI code page, as a narrow fopen would have read it.
bool widen(const char* text, std::wstring& wide) {
  const UINT codePages[] = {CP_UTF8, CP_ACP};
  for (const UINT codePage : codePages) {
    const DWORD flags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
    const int length = MultiByteToWideChar(codePage, flags, text, -1, nullptr, 0);
    if (length <= 0) continue;
    wide.assign(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(codePage, flags, text, -1, wide.data(), length) == length) {
      wide.resize(static_cast<std::size_t>(length - 1));
      return true;
    }
  }
  errno = EINVAL;
  return false;
}

}  // namespace

bool isRegularFileUtf8(const char* path) {
  std::wstring widePath;
  if (!widen(path, widePath)) return false;
  std::error_code error;
  return std::filesystem::is_regular_file(std::filesystem::path(widePath), error);
}

std::FILE* openFileUtf8(const char* path, const char* mode) {
  std::wstring widePath, wideMode;
  if (!widen(path, widePath) || !widen(mode, wideMode)) return nullptr;
  return _wfopen(widePath.c_str(), wideMode.c_str());
}

std::FILE* createNewTextFileUtf8(const char* path) {
  std::wstring widePath;
  if (!widen(path, widePath)) return nullptr;
  // The C runtime's fopen does not know "x"; _O_EXCL gives the same guarantee.
  const int descriptor = _wopen(widePath.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT,
                                _S_IREAD | _S_IWRITE);
  if (descriptor == -1) return nullptr;
  std::FILE* stream = _fdopen(descriptor, "wt");
  if (stream == nullptr) {
    _close(descriptor);
    _wremove(widePath.c_str());
  }
  return stream;
}

bool replaceFileUtf8(const char* from, const char* to) {
  std::wstring wideFrom, wideTo;
  if (!widen(from, wideFrom) || !widen(to, wideTo)) return false;
  return MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool removeFileUtf8(const char* path) {
  std::wstring widePath;
  return widen(path, widePath) && _wremove(widePath.c_str()) == 0;
}

#endif
