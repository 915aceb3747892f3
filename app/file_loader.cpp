#include "app/file_loader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/file_buffer.h"
#include "platform/utf8_file.h"

namespace {

// The size of an open file, by seeking to its end; -1 if it cannot be told.
long fileSize(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long size = std::ftell(file);
  if (std::fseek(file, 0, SEEK_SET) != 0) return -1;
  return size;
}

}  // namespace

namespace {

unsigned char* allocateWhole(const MemoryHook& memory, std::size_t size) {
  if (memory.reallocate == nullptr) return allocateFileBuffer(size);
  return static_cast<unsigned char*>(allocateWith(memory, size));
}

}  // namespace

FileLoad loadFileWhole(const char* path, std::size_t extra, const MemoryHook& memory, FileBytes& image) {
  image = FileBytes{};
  // Only a regular file, or a link to one, is read: a named pipe may wait for a writer for
  // ever, and a device may never end.
  std::FILE* file = openRegularFileUtf8(path);
  if (file == nullptr) return FileLoad::CannotRead;
  // Some files the system calls regular cannot be read at all (/proc/self/mem) and tell a
  // size that means nothing: try one byte before trusting the size.
  const bool readable = std::fgetc(file) != EOF || std::ferror(file) == 0;
  const long size = readable ? fileSize(file) : -1;
  FileLoad loaded = size >= 0 ? FileLoad::Loaded : FileLoad::CannotRead;
  if (loaded == FileLoad::Loaded && (size > 0 || extra > 0)) {
    const auto bytes = static_cast<std::size_t>(size);
    image.bytes = bytes > static_cast<std::size_t>(-1) - extra ? nullptr : allocateWhole(memory, bytes + extra);
    if (image.bytes == nullptr) {
      loaded = FileLoad::OutOfMemory;
    } else if (std::fread(image.bytes, 1, bytes, file) != bytes) {
      loaded = FileLoad::CannotRead;
    } else if (extra > 0) {
      std::memset(image.bytes + bytes, 0, extra);
    }
    image.size = bytes;
  }
  std::fclose(file);
  if (loaded != FileLoad::Loaded) releaseFileWhole(memory, image);
  return loaded;
}

void releaseFileWhole(const MemoryHook& memory, FileBytes& file) {
  if (memory.reallocate == nullptr) {
    releaseFileBuffer(file.bytes);
  } else {
    freeWith(memory, file.bytes);
  }
  file = FileBytes{};
}
