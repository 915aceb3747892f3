// The pieces of the .glb's JSON that carry the model's own data: numbers and bone names.
#pragma once

#include <cstddef>
#include <cstdint>

#include "skeleton/byte_buffer.h"

// The shortest text that reads back to the same float; the value must be finite.
void appendJsonFloat(ByteBuffer& json, float value);

void appendJsonInteger(ByteBuffer& json, std::int64_t value);

// A bone's stored name as a JSON string: its bytes where they are UTF-8 (less a leading
// byte order mark), else each byte read as Windows-1252 as browsers read it; quotes,
// backslashes and control characters escaped.
void appendJsonName(ByteBuffer& json, const char* bytes, std::size_t length);
