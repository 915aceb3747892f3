#include "app/disk_files.h"

#include "app/file_loader.h"
#include "platform/utf8_file.h"

namespace {

bool load(void*, const char* path, std::size_t extra, ModelImage& image) {
  return loadFileWhole(path, extra, image);
}

void release(void*, ModelImage& image) { releaseFileImage(image); }

bool sameFile(void*, const char* first, const char* second) { return isSameFileUtf8(first, second); }

const RunFiles kDiskFiles{nullptr, load, release, sameFile};

}  // namespace

const RunFiles& diskFiles() { return kDiskFiles; }
