// The name of the definitions file, derived from the model's stored name.
#pragma once

#include <string>

// The base name after the last '\' or '/', less its last four characters (the extension),
// plus "_jiggles.qci". A base name shorter than four characters is kept whole.
std::string makeOutputName(const char* modelName);

// False for a name that cannot safely name a file in the current folder: one holding a
// control character, or ':' (a drive or a stream on Windows).
bool isUsableOutputName(const std::string& outputName);
