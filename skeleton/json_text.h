// The pieces of the .glb's JSON that carry the model's own data: numbers and bone names.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/kept_bytes.h"

// The shortest text that reads back to the same float; the value must be finite.
void appendJsonFloat(KeptBytes& json, float value);

void appendJsonInteger(KeptBytes& json, std::int64_t value);

// A bone's stored name as a JSON string: its bytes where they are UTF-8 (less a leading
// byte order mark), else each byte read as Windows-1252 as browsers read it; quotes,
// backslashes and control characters escaped.
void appendJsonName(KeptBytes& json, const char* bytes, std::size_t length);
