#include "app/disk_files.h"

#include "app/file_loader.h"
#include "platform/folders.h"
#include "platform/utf8_file.h"

namespace {

FileLoad load(void*, const char* path, std::size_t extra, const MemoryHook& memory, FileBytes& file) {
  return loadFileWhole(path, extra, memory, file);
}

void release(void*, const MemoryHook& memory, FileBytes& file) { releaseFileWhole(memory, file); }

bool sameFile(void*, const char* first, const char* second) { return isSameFileUtf8(first, second); }

bool openOutput(void* context, const char* path, bool text, ByteSink& sink) {
  auto& output = *static_cast<DiskOutput*>(context);
  if (output.makeFolder != nullptr) {
    const std::string target(path);
    const std::size_t folderEnd = lastSeparatorOf(target);
    if (folderEnd != std::string::npos && folderEnd > 0 && !output.makeFolder(target.substr(0, folderEnd))) return false;
  }
  if (!openOutputFile(output.file, path, output.temporaryPrefix, text)) return false;
  sinkToStream(sink, output.file.stream);
  return true;
}

OutputEnd closeOutput(void* context, const char* path, ByteSink& sink, bool complete) {
  auto& output = *static_cast<DiskOutput*>(context);
  if (sinkFlush(sink) && complete) return commitOutputFile(output.file, path) ? OutputEnd::InPlace : OutputEnd::CannotWrite;
  discardOutputFile(output.file);
  return OutputEnd::CannotWrite;
}

}  // namespace

RunFiles diskFiles(DiskOutput& output) {
  return RunFiles{.context = &output, .load = load, .release = release, .sameFile = sameFile,
                  .openOutput = openOutput, .closeOutput = closeOutput, .memory = {}};
}
