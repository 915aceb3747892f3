// FNV-1a, the byte hash of the tools' hash tables: small, quick on short keys such as bone
// names and paths, and good enough once its result is mixed where the low bits pick a slot.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::uint64_t kFnvStart = 0xcbf29ce484222325ULL;

inline std::uint64_t fnvStep(std::uint64_t hash, unsigned char byte) { return (hash ^ byte) * 0x100000001b3ULL; }

inline std::uint64_t fnvHash(const char* bytes, std::size_t length, std::uint64_t hash = kFnvStart) {
  for (std::size_t i = 0; i < length; ++i) hash = fnvStep(hash, static_cast<unsigned char>(bytes[i]));
  return hash;
}
