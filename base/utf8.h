// UTF-8, read and written: where a sequence is one, and a code point as one. Names and
// paths arrive as bytes of no stated encoding; text that leaves (JSON, glTF) must be UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>

// The length of the UTF-8 sequence at `at` in bytes[0, size), or 0 where the bytes there
// are no such sequence: overlong forms, UTF-16 surrogates and code points past U+10FFFF
// are no UTF-8.
inline std::size_t utf8SequenceLength(const unsigned char* bytes, std::size_t size, std::size_t at) {
  const unsigned char lead = bytes[at];
  const std::size_t length = lead < 0x80                  ? 1
                             : lead >= 0xC2 && lead < 0xE0 ? 2
                             : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xF0 && lead < 0xF5 ? 4
                                                           : 0;
  if (length == 0 || length > size - at) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((bytes[at + i] & 0xC0) != 0x80) return 0;
  }
  const unsigned char second = length > 1 ? bytes[at + 1] : 0;
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) || (lead == 0xF0 && second < 0x90) ||
      (lead == 0xF4 && second >= 0x90)) {
    return 0;
  }
  return length;
}

// Whether all of bytes[0, size) is UTF-8.
inline bool isUtf8(const unsigned char* bytes, std::size_t size) {
  for (std::size_t at = 0; at < size;) {
    const std::size_t length = utf8SequenceLength(bytes, size, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

// How an ASCII byte stands inside a JSON string: itself, or escaped (quotes, backslashes
// and control characters). Returns the length written.
inline std::size_t jsonEscaped(unsigned char byte, char (&out)[6]) {
  if (byte == '"' || byte == '\\') {
    out[0] = '\\';
    out[1] = static_cast<char>(byte);
    return 2;
  }
  if (byte >= 0x20) {
    out[0] = static_cast<char>(byte);
    return 1;
  }
  const char* hex = "0123456789abcdef";
  const char escaped[6] = {'\\', 'u', '0', '0', hex[byte >> 4], hex[byte & 15]};
  for (std::size_t i = 0; i < 6; ++i) out[i] = escaped[i];
  return 6;
}

// Writes code point `c` (below U+110000) as UTF-8 into `out`, which has room for 4 bytes.
// Returns the length written.
inline std::size_t putUtf8(std::uint32_t c, char* out) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (c >> 18));
  out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}
