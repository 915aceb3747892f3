// Folders by UTF-8 paths: what a path names, every file of a tree, and folders made for
// outputs. Paths stay UTF-8 text; only here are they handed to the system's folder calls.
#pragma once

#include <string>

#include "base/path_parts.h"

// The separator the system writes between a folder and what it holds.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The separators this system parts paths by: Windows takes '/' too.
inline constexpr std::string_view kSystemSeparators = kPathSeparator == '/' ? "/" : "/\\";

// Where the last separator of `path` stands, or npos.
inline std::size_t lastSeparatorOf(const std::string& path) { return lastSeparator(path, kSystemSeparators); }

enum class PathKind { Missing, File, Folder, Other };

// What `path` names, links followed.
PathKind pathKindUtf8(const std::string& path);

// What a walk finds: a file (or a link to one), anything else that is not a folder to go
// into (a link to a folder, a pipe, a device), or a folder that could not be listed.
enum class EntryKind { File, Other, Unlisted };

struct FoundEntry {
  EntryKind kind = EntryKind::File;
  std::string path;      // the folder's path as given, joined with `relative`
  std::string relative;  // below the folder, parted by kPathSeparator
  std::string name;      // the last part
};

// Every entry of the tree under `folder`, folder by folder, without recursion and without
// following links to folders. `visit` returns false to stop the walk. False when `folder`
// itself cannot be listed.
template <typename Visit>
bool walkFolderUtf8(const std::string& folder, Visit visit);

// Makes `folder` and the folders above it that are missing; true when it is a folder.
bool makeFoldersUtf8(const std::string& folder);

// The implementation behind walkFolderUtf8, through a plain callback.
bool walkFolderThrough(const std::string& folder, bool (*visit)(void* context, const FoundEntry& found), void* context);

template <typename Visit>
bool walkFolderUtf8(const std::string& folder, Visit visit) {
  return walkFolderThrough(
      folder, [](void* context, const FoundEntry& found) { return (*static_cast<Visit*>(context))(found); }, &visit);
}
