#include "definitions/edits_encoding.h"

#include <cstdint>

#include "base/utf8.h"

namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;

bool isHigh(std::uint32_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool isLow(std::uint32_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

}  // namespace

bool readEditsAsUtf8(const unsigned char* bytes, std::size_t size, const MemoryHook& hook, EditsText& out) {
  out = EditsText{};
  out.text = reinterpret_cast<const char*>(bytes);
  out.size = size;
  const bool little = size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
  const bool big = size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF;
  if (!little && !big) return true;
  // A code unit gives at most three bytes of UTF-8 (a pair of them four), an odd last byte
  // three, and the NUL one. Beyond what a size can count (a 32-bit build's), no memory.
  const std::size_t units = (size - 2) / 2;
  if (units > (static_cast<std::size_t>(-1) - 4) / 3) return false;
  const std::size_t room = units * 3 + 3 + 1;
  char* converted = static_cast<char*>(allocateWith(hook, room));
  if (converted == nullptr) return false;
  auto unitAt = [&](std::size_t i) {
    const unsigned char first = bytes[2 + 2 * i];
    const unsigned char second = bytes[3 + 2 * i];
    return little ? static_cast<std::uint32_t>(first | second << 8) : static_cast<std::uint32_t>(second | first << 8);
  };
  std::size_t length = 0;
  for (std::size_t i = 0; i < units; ++i) {
    std::uint32_t c = unitAt(i);
    if (isHigh(c) && i + 1 < units && isLow(unitAt(i + 1))) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unitAt(i + 1) - 0xDC00);
      ++i;
    } else if (isHigh(c) || isLow(c)) {
      c = kReplacement;
    }
    length += putUtf8(c, converted + length);
  }
  if ((size - 2) % 2 != 0) length += putUtf8(kReplacement, converted + length);
  converted[length] = '\0';
  // The room was for the worst case; text mostly in ASCII needs a third of it.
  if (void* smaller = reallocateWith(hook, converted, length + 1)) converted = static_cast<char*>(smaller);
  out.text = converted;
  out.size = length;
  out.converted = converted;
  return true;
}

void releaseEditsText(EditsText& text, const MemoryHook& hook) {
  freeWith(hook, text.converted);
  text = EditsText{};
}
