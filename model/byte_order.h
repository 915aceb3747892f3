// Little-endian field access by explicit byte assembly, so that reads and writes give the
// same result on any host and at any alignment.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

// A float32's bits and back, unchanged (a not-a-number keeps its payload).
inline float floatFromBits(std::uint32_t bits) {
#if defined(__cpp_lib_bit_cast)
  return std::bit_cast<float>(bits);
#else
  // Older standard libraries (the WebAssembly build's) lack bit_cast; copying the whole
  // object is the same.
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
#endif
}

inline std::uint32_t bitsOfFloat(float value) {
#if defined(__cpp_lib_bit_cast)
  return std::bit_cast<std::uint32_t>(value);
#else
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
#endif
}

inline std::uint32_t readUint32LE(const unsigned char* b) {
  return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
         static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

inline std::int32_t readInt32LE(const unsigned char* b) {
  return static_cast<std::int32_t>(readUint32LE(b));
}

inline float readFloat32LE(const unsigned char* b) { return floatFromBits(readUint32LE(b)); }

inline void writeUint32LE(unsigned char* b, std::uint32_t value) {
  b[0] = static_cast<unsigned char>(value);
  b[1] = static_cast<unsigned char>(value >> 8);
  b[2] = static_cast<unsigned char>(value >> 16);
  b[3] = static_cast<unsigned char>(value >> 24);
}

inline void writeInt32LE(unsigned char* b, std::int32_t value) {
  writeUint32LE(b, static_cast<std::uint32_t>(value));
}

inline void writeInt16LE(unsigned char* b, std::int16_t value) {
  const auto bits = static_cast<std::uint16_t>(value);
  b[0] = static_cast<unsigned char>(bits);
  b[1] = static_cast<unsigned char>(bits >> 8);
}
