// The bytes of an edits file as the reader takes them: UTF-8. Text saved as UTF-16 (as
// PowerShell's redirection and some editors write it), with its byte order mark, is read as
// the same text in UTF-8, so that a pasted tuning is not answered with its raw bytes.
#pragma once

#include <cstddef>

#include "base/memory_hook.h"

struct EditsText {
  const char* text = nullptr;  // followed by a NUL byte
  std::size_t size = 0;
  char* converted = nullptr;  // the buffer of a conversion, from the hook; null: `text` is the file's
};

// `bytes` (`size` of them, followed by a NUL byte) as UTF-8: the bytes themselves, or, after
// a UTF-16 byte order mark of either order, their conversion into a buffer from `hook`, the
// mark left out. An unpaired surrogate or a last odd byte becomes U+FFFD. False when the
// memory cannot be had; nothing is then held.
bool readEditsAsUtf8(const unsigned char* bytes, std::size_t size, const MemoryHook& hook, EditsText& out);

void releaseEditsText(EditsText& text, const MemoryHook& hook);
