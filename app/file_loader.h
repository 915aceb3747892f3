// Reads a file whole into memory, in one buffer of the file's size: a model, or an edits
// file.
#pragma once

#include <cstddef>

#include "base/file_bytes.h"
#include "base/memory_hook.h"
#include "run/run_files.h"

// CannotRead if the file cannot be opened, sized or read in full, OutOfMemory if its
// buffer cannot be had; the file is then left empty. Only a regular file (or a link to one)
// is read. `extra` zero bytes follow the file's bytes, not counted in its size (the edits
// reader wants a NUL after the text). The buffer comes from `memory`, or where no hook is
// set from the system's large pages (file_buffer.h); a loaded file is released with
// releaseFileWhole through the same hook.
FileLoad loadFileWhole(const char* path, std::size_t extra, const MemoryHook& memory, FileBytes& file);
void releaseFileWhole(const MemoryHook& memory, FileBytes& file);
