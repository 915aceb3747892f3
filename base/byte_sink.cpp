#include "base/byte_sink.h"


namespace {

SinkFault takeStream(void* context, const char* bytes, std::size_t length) {
  auto* stream = static_cast<std::FILE*>(context);
  return std::fwrite(bytes, 1, length, stream) == length ? SinkFault::None : SinkFault::CannotWrite;
}

SinkFault takeKept(void* context, const char* bytes, std::size_t length) {
  return appendBytes(*static_cast<KeptBytes*>(context), bytes, length) ? SinkFault::None : SinkFault::OutOfMemory;
}

SinkFault takeString(void* context, const char* bytes, std::size_t length) {
  static_cast<std::string*>(context)->append(bytes, length);
  return SinkFault::None;
}

ByteSink& pointed(ByteSink& sink, void* context, SinkFault (*take)(void*, const char*, std::size_t)) {
  sink.context = context;
  sink.take = take;
  sink.fault = SinkFault::None;
  sink.used = 0;
  return sink;
}

// Hands `length` bytes on, keeping the first failure.
void handOn(ByteSink& sink, const char* bytes, std::size_t length) {
  if (sink.fault != SinkFault::None || sink.take == nullptr) return;
  sink.fault = sink.take(sink.context, bytes, length);
}

}  // namespace

ByteSink& sinkToStream(ByteSink& sink, std::FILE* stream) { return pointed(sink, stream, takeStream); }
ByteSink& sinkToKept(ByteSink& sink, KeptBytes& kept) { return pointed(sink, &kept, takeKept); }
ByteSink& sinkToString(ByteSink& sink, std::string& text) { return pointed(sink, &text, takeString); }
ByteSink& sinkToNothing(ByteSink& sink) { return pointed(sink, nullptr, nullptr); }

bool sinkFlush(ByteSink& sink) {
  if (sink.used != 0) {
    handOn(sink, sink.buffer, sink.used);
    sink.used = 0;
  }
  return sink.fault == SinkFault::None;
}

void sinkWriteSpilling(ByteSink& sink, const char* text, std::size_t length) {
  // A sink that keeps nothing has nothing to copy.
  if (sink.take == nullptr) {
    sink.used = 0;
    return;
  }
  // A piece larger than the buffer, such as a whole model, goes on as it is, not copied.
  if (length >= sizeof sink.buffer) {
    sinkFlush(sink);
    handOn(sink, text, length);
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
