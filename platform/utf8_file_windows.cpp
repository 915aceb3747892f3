// Windows opens files by wide-character names: the narrow C library functions would read
// a path in the ANSI code page and could not reach most non-ASCII names.
#ifdef _WIN32

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>
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

// A stream over a handle the C runtime takes over: closing the stream closes the handle.
std::FILE* streamOf(HANDLE handle, int flags, const char* mode) {
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
  if (descriptor == -1) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* stream = _fdopen(descriptor, mode);
  if (stream == nullptr) _close(descriptor);
  return stream;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

std::FILE* openRegularFileUtf8(const char* path) {
  std::wstring widePath;
  if (!widen(path, widePath)) return nullptr;
  // A folder does not open without backup semantics; a pipe with no free instance fails
  // at once rather than waiting; whatever opens is judged by its type.
  const HANDLE handle = CreateFileW(widePath.c_str(), GENERIC_READ, kShareAll, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    return nullptr;
  }
  return streamOf(handle, _O_RDONLY | _O_BINARY, "rb");
}

std::FILE* createNewFileUtf8(const char* path, bool text) {
  std::wstring widePath;
  if (!widen(path, widePath)) return nullptr;
  // Shared for deletion, so that an interrupted run can remove the file while it is open.
  const HANDLE handle = CreateFileW(widePath.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    errno = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? EEXIST : EACCES;
    return nullptr;
  }
  std::FILE* stream = text ? streamOf(handle, _O_WRONLY | _O_TEXT, "wt")
                           : streamOf(handle, _O_WRONLY | _O_BINARY, "wb");
  if (stream == nullptr) DeleteFileW(widePath.c_str());
  return stream;
}

bool replaceFileUtf8(const char* from, const char* to) {
  std::wstring wideFrom, wideTo;
  if (!widen(from, wideFrom) || !widen(to, wideTo)) return false;
  const DWORD attributes = GetFileAttributesW(wideTo.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  // Replacing a file keeps its attributes and access rights; a target not yet there is
  // simply moved to.
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      ReplaceFileW(wideTo.c_str(), wideFrom.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0) {
    return true;
  }
  return MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool removeFileUtf8(const char* path) {
  std::wstring widePath;
  return widen(path, widePath) && _wremove(widePath.c_str()) == 0;
}

namespace {

// The volume and file index that name a file whatever the path: opened without access,
// which needs no permission, and with backup semantics, which opens a folder too.
bool fileIdentity(const char* path, BY_HANDLE_FILE_INFORMATION& identity) {
  std::wstring widePath;
  if (!widen(path, widePath)) return false;
  const HANDLE handle = CreateFileW(widePath.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool known = GetFileInformationByHandle(handle, &identity) != 0;
  CloseHandle(handle);
  return known;
}

}  // namespace

bool isSameFileUtf8(const char* first, const char* second) {
  BY_HANDLE_FILE_INFORMATION a{};
  BY_HANDLE_FILE_INFORMATION b{};
  return fileIdentity(first, a) && fileIdentity(second, b) &&
         a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

#endif
