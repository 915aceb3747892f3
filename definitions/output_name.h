// The name of the definitions file, derived from the model's stored name.
#pragma once

#include <cstddef>
#include <string>

// What ends every output name, and the name of the skeleton's file beside it.
inline constexpr char kOutputNameSuffix[] = "_jiggles.qci";
inline constexpr char kSkeletonNameSuffix[] = "_skeleton.glb";

// Room for any output name made from a model's stored name (its field holds 64 bytes).
inline constexpr std::size_t kOutputNameRoom = 96;

// The base name after the last '\' or '/', less its last four characters (the extension),
// plus "_jiggles.qci", into `name` with its NUL. A base name shorter than four characters
// is kept whole. False, with `name` empty, when it does not fit `room` bytes.
bool makeOutputName(const char* modelName, char* name, std::size_t room);

// The skeleton's file beside an output named as makeOutputName names them: its ending
// "_jiggles.qci" becomes "_skeleton.glb".
std::string skeletonNameFor(const std::string& outputPath);

// False for a name that cannot safely name a file in the current folder: one holding a
// control character, or ':' (a drive or a stream on Windows).
bool isUsableOutputName(const char* outputName);
