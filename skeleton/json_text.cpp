#include "skeleton/json_text.h"

#include <charconv>

#include "skeleton/float_text.h"

namespace {

// Windows-1252's characters for 0x80 to 0x9F. The five it leaves undefined stand for the
// control characters of the same number, as browsers' decoders give them.
constexpr std::uint16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool inRange(unsigned char byte, unsigned low, unsigned high) { return byte >= low && byte <= high; }

// Well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool isUtf8(const unsigned char* bytes, std::size_t length) {
  std::size_t i = 0;
  while (i < length) {
    const unsigned char lead = bytes[i];
    std::size_t more = 0;
    unsigned low = 0x80, high = 0xBF;  // the range of the first continuation byte
    if (lead < 0x80) {
      ++i;
      continue;
    }
    if (inRange(lead, 0xC2, 0xDF)) {
      more = 1;
    } else if (inRange(lead, 0xE0, 0xEF)) {
      more = 2;
      low = lead == 0xE0 ? 0xA0 : 0x80;
      high = lead == 0xED ? 0x9F : 0xBF;
    } else if (inRange(lead, 0xF0, 0xF4)) {
      more = 3;
      low = lead == 0xF0 ? 0x90 : 0x80;
      high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
      return false;
    }
    if (more > length - i - 1 || !inRange(bytes[i + 1], low, high)) return false;
    for (std::size_t k = 2; k <= more; ++k) {
      if (!inRange(bytes[i + k], 0x80, 0xBF)) return false;
    }
    i += more + 1;
  }
  return true;
}

void appendEscaped(ByteBuffer& json, unsigned char byte) {
  if (byte == '"' || byte == '\\') {
    const char escaped[2] = {'\\', static_cast<char>(byte)};
    appendBytes(json, escaped, 2);
  } else if (byte < 0x20) {
    const char escaped[6] = {'\\', 'u', '0', '0', "0123456789abcdef"[byte >> 4], "0123456789abcdef"[byte & 15]};
    appendBytes(json, escaped, 6);
  } else {
    appendByte(json, static_cast<char>(byte));
  }
}

void appendCodePoint(ByteBuffer& json, unsigned code) {
  if (code < 0x80) return appendEscaped(json, static_cast<unsigned char>(code));
  if (code < 0x800) {
    const char utf8[2] = {static_cast<char>(0xC0 | code >> 6), static_cast<char>(0x80 | (code & 0x3F))};
    return appendBytes(json, utf8, 2);
  }
  const char utf8[3] = {static_cast<char>(0xE0 | code >> 12), static_cast<char>(0x80 | (code >> 6 & 0x3F)),
                        static_cast<char>(0x80 | (code & 0x3F))};
  appendBytes(json, utf8, 3);
}

}  // namespace

void appendJsonFloat(ByteBuffer& json, float value) {
  char text[kFloatTextSize];
  appendBytes(json, text, formatShortestFloat(value, text));
}

void appendJsonInteger(ByteBuffer& json, std::int64_t value) {
  char text[24];
  appendBytes(json, text, static_cast<std::size_t>(std::to_chars(text, text + sizeof text, value).ptr - text));
}

void appendJsonName(ByteBuffer& json, const char* name, std::size_t length) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(name);
  appendByte(json, '"');
  if (isUtf8(bytes, length)) {
    const std::size_t start = length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF ? 3 : 0;
    for (std::size_t i = start; i < length; ++i) appendEscaped(json, bytes[i]);
  } else {
    for (std::size_t i = 0; i < length; ++i) {
      const unsigned char byte = bytes[i];
      appendCodePoint(json, inRange(byte, 0x80, 0x9F) ? kWindows1252High[byte - 0x80] : byte);
    }
  }
  appendByte(json, '"');
}
