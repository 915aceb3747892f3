// The name of the definitions file, derived from the model's stored name.
#pragma once

#include <cstddef>

// What ends every output name.
inline constexpr char kOutputNameSuffix[] = "_jiggles.qci";

// Room for any output name made from a model's stored name (its field holds 64 bytes).
inline constexpr std::size_t kOutputNameRoom = 96;

// The base name after the last '\' or '/', less its last four characters (the extension),
// plus "_jiggles.qci", into `name` with its NUL. A base name shorter than four characters
// is kept whole. False, with `name` empty, when it does not fit `room` bytes.
bool makeOutputName(const char* modelName, char* name, std::size_t room);

// False for a name that cannot safely name a file in the current folder: one holding a
// control character, or ':' (a drive or a stream on Windows).
bool isUsableOutputName(const char* outputName);
