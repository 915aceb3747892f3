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
