// Little-endian field access by explicit byte assembly, so that reads and writes give the
// same result on any host and at any alignment.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

inline std::uint32_t readUint32LE(const unsigned char* b) {
  return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
         static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

inline std::int32_t readInt32LE(const unsigned char* b) {
  return static_cast<std::int32_t>(readUint32LE(b));
}

inline std::int16_t readInt16LE(const unsigned char* b) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(b[0] | b[1] << 8));
}

inline float readFloat32LE(const unsigned char* b) {
#if defined(__cpp_lib_bit_cast)
  return std::bit_cast<float>(readUint32LE(b));
#else
  // Older standard libraries (the WebAssembly build's) lack bit_cast; the word is already
  // assembled, so copying it is the same.
  const std::uint32_t bits = readUint32LE(b);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
#endif
}

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
