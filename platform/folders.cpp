#include "platform/folders.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path pathOf(const std::string& utf8) {
#ifdef _WIN32
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
#else
  return fs::path(utf8);
#endif
}

std::string utf8Of(const fs::path& path) {
#ifdef _WIN32
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
#else
  return path.string();
#endif
}

std::string joined(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  return last == '/' || last == kPathSeparator ? folder + name : folder + kPathSeparator + name;
}

// A folder being listed: where it lies below the walk's start, and how far it has come.
struct Level {
  fs::directory_iterator at;
  std::string relative;
};

}  // namespace

PathKind pathKindUtf8(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::status(pathOf(path), error);
  if (error || status.type() == fs::file_type::not_found) return PathKind::Missing;
  if (status.type() == fs::file_type::regular) return PathKind::File;
  if (status.type() == fs::file_type::directory) return PathKind::Folder;
  return PathKind::Other;
}

bool walkFolderThrough(const std::string& folder, bool (*visit)(void* context, const FoundEntry& found), void* context) {
  std::error_code error;
  std::vector<Level> levels;
  levels.push_back({fs::directory_iterator(pathOf(folder), error), std::string()});
  if (error) return false;
  while (!levels.empty()) {
    Level& level = levels.back();
    if (level.at == fs::directory_iterator()) {
      levels.pop_back();
      continue;
    }
    const fs::directory_entry entry = *level.at;
    FoundEntry found;
    found.name = utf8Of(entry.path().filename());
    found.relative = joined(level.relative, found.name);
    found.path = joined(folder, found.relative);
    level.at.increment(error);
    if (error) level.at = fs::directory_iterator();  // the rest of this folder cannot be listed
    const fs::file_status own = entry.symlink_status(error);
    const bool link = !error && own.type() == fs::file_type::symlink;
    const fs::file_status status = entry.status(error);
    if (!link && !error && status.type() == fs::file_type::directory) {
      fs::directory_iterator inside(entry.path(), error);
      if (error) {
        found.kind = EntryKind::Unlisted;
        if (!visit(context, found)) return true;
        continue;
      }
      levels.push_back({std::move(inside), found.relative});
      continue;
    }
    found.kind = !error && status.type() == fs::file_type::regular ? EntryKind::File : EntryKind::Other;
    if (!visit(context, found)) return true;
  }
  return true;
}

bool makeFoldersUtf8(const std::string& folder) {
  std::error_code error;
  const fs::path path = pathOf(folder);
  fs::create_directories(path, error);
  return fs::is_directory(path, error);
}
