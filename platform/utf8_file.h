// Files named by UTF-8 paths. Paths stay UTF-8 text everywhere in the tool; only here,
// where a file is opened, created, renamed or removed, are they handed to the system.
#pragma once

#include <cstdio>

// Opens a regular file (or a link to one) for binary reading. Anything else, a folder, a
// named pipe or a device, is refused after opening it without waiting, by what was opened
// rather than by the path, so the path cannot be swapped in between.
std::FILE* openRegularFileUtf8(const char* path);

// Creates a new file and opens it for writing, as text (line ends as the system writes
// them) or as bytes; never opens one that is already there. nullptr if it cannot be made,
// with errno set to EEXIST if the name is taken. The file can be removed while it is open
// (an interrupted run removes it from a handler).
std::FILE* createNewFileUtf8(const char* path, bool text);

// Renames `from` to `to`, replacing a file already at `to` (but never a folder). A file
// replaced passes on its permissions: the new one at `to` keeps the old one's.
bool replaceFileUtf8(const char* from, const char* to);

bool removeFileUtf8(const char* path);

// Whether two paths name the same existing file, by whatever path, link or spelling: the
// system's identity of each file, not its name, is compared. False when either is missing.
bool isSameFileUtf8(const char* first, const char* second);
