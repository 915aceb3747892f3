// The parts of a path: where its folder ends and its last part begins. Names stored in a
// model and paths inside a page's drop may come from any system, so either slash parts
// them; paths handed to this system's calls are parted as it parts them (platform/).
#pragma once

#include <cstddef>
#include <string_view>

inline constexpr std::string_view kAnySeparators = "/\\";

// Where the last separator of `path` stands, or npos.
inline std::size_t lastSeparator(std::string_view path, std::string_view separators = kAnySeparators) {
  return path.find_last_of(separators);
}

// What follows the last separator: the whole path where there is none.
inline std::string_view lastPathPart(std::string_view path, std::string_view separators = kAnySeparators) {
  const std::size_t end = lastSeparator(path, separators);
  return end == std::string_view::npos ? path : path.substr(end + 1);
}
