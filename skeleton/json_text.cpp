#include "skeleton/json_text.h"

#include <charconv>

#include "base/utf8.h"
#include "skeleton/float_text.h"

namespace {

// Windows-1252's characters for 0x80 to 0x9F. The five it leaves undefined stand for the
// control characters of the same number, as browsers' decoders give them.
constexpr std::uint16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendEscaped(KeptBytes& json, unsigned char byte) {
  char escaped[6];
  appendBytes(json, escaped, jsonEscaped(byte, escaped));
}

}  // namespace

void appendJsonFloat(KeptBytes& json, float value) {
  char text[kFloatTextSize];
  appendBytes(json, text, formatShortestFloat(value, text));
}

void appendJsonInteger(KeptBytes& json, std::int64_t value) {
  char text[24];
  appendBytes(json, text, static_cast<std::size_t>(std::to_chars(text, text + sizeof text, value).ptr - text));
}

void appendJsonName(KeptBytes& json, const char* name, std::size_t length) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(name);
  appendByte(json, '"');
  if (isUtf8(bytes, length)) {
    const std::size_t start = length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF ? 3 : 0;
    // Runs of bytes that need no escape, as most names are whole, go on at once.
    std::size_t run = start;
    for (std::size_t i = start; i < length; ++i) {
      if (bytes[i] >= 0x20 && bytes[i] != '"' && bytes[i] != '\\') continue;
      appendBytes(json, bytes + run, i - run);
      appendEscaped(json, bytes[i]);
      run = i + 1;
    }
    appendBytes(json, bytes + run, length - run);
  } else {
    for (std::size_t i = 0; i < length; ++i) {
      const unsigned char byte = bytes[i];
      if (byte < 0x80) {
        appendEscaped(json, byte);
      } else {
        char utf8[4];
        appendBytes(json, utf8, putUtf8(byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte, utf8));
      }
    }
  }
  appendByte(json, '"');
}
