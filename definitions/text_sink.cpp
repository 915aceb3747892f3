#include "definitions/text_sink.h"

#include <cstring>

bool sinkFlush(TextSink& sink) {
  if (sink.used != 0) {
    if (sink.stream != nullptr) {
      if (std::fwrite(sink.buffer, 1, sink.used, sink.stream) != sink.used) sink.failed = true;
    } else if (sink.memory != nullptr) {
      sink.memory->append(sink.buffer, sink.used);
    }
    sink.used = 0;
  }
  return !sink.failed;
}

void sinkWriteSpilling(TextSink& sink, const char* text, std::size_t length) {
  // A sink that keeps nothing has nothing to copy.
  if (sink.stream == nullptr && sink.memory == nullptr) {
    sink.used = 0;
    return;
  }
  // A piece larger than the buffer, such as a whole model, goes on as it is, not copied.
  if (length >= sizeof sink.buffer && sinkFlush(sink)) {
    if (sink.stream != nullptr) {
      if (std::fwrite(text, 1, length, sink.stream) != length) sink.failed = true;
    } else {
      sink.memory->append(text, length);
    }
    return;
  }
  while (length > 0) {
    if (sink.used == sizeof sink.buffer) sinkFlush(sink);
    const std::size_t room = sizeof sink.buffer - sink.used;
    const std::size_t part = length < room ? length : room;
    std::memcpy(sink.buffer + sink.used, text, part);
    sink.used += part;
    text += part;
    length -= part;
  }
}
