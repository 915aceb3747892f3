// A small fixed buffer that text and bytes are rendered into and handed on, a buffer at a
// time, to where they go: a stream, bytes kept in a run's memory, a string, or nowhere.
// Memory stays the same however long the output grows.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "base/kept_bytes.h"

// How a hand-over went; the sink keeps the first failure.
enum class SinkFault : unsigned char { None, CannotWrite, OutOfMemory };

struct ByteSink {
  void* context = nullptr;
  // Takes bytes handed on. Null: a sink that keeps nothing.
  SinkFault (*take)(void* context, const char* bytes, std::size_t length) = nullptr;
  SinkFault fault = SinkFault::None;
  std::size_t used = 0;
  // The file's writes are this size: at 16 KiB their count cost a tenth of a large
  // model's run.
  char buffer[64 * 1024];
};

// Points a sink, emptied, at where its bytes go. Returns it, for a caller rendering at once.
ByteSink& sinkToStream(ByteSink& sink, std::FILE* stream);
ByteSink& sinkToKept(ByteSink& sink, KeptBytes& kept);
ByteSink& sinkToString(ByteSink& sink, std::string& text);
ByteSink& sinkToNothing(ByteSink& sink);

// Takes text that does not fit in the buffer's room, handing on as it fills.
void sinkWriteSpilling(ByteSink& sink, const char* text, std::size_t length);

// Inline: the text is written in pieces of a few bytes, millions of them for big models.
inline void sinkWrite(ByteSink& sink, const char* text, std::size_t length) {
  if (length <= sizeof sink.buffer - sink.used) {
    std::memcpy(sink.buffer + sink.used, text, length);
    sink.used += length;
    return;
  }
  sinkWriteSpilling(sink, text, length);
}

// The first `length` bytes of a small array, such as a formatted number. When the whole
// array fits it is copied whole, a fixed-size copy being much quicker than an exact one.
template <std::size_t N>
void sinkWriteFromArray(ByteSink& sink, const char (&text)[N], std::size_t length) {
  if (N <= sizeof sink.buffer - sink.used) {
    std::memcpy(sink.buffer + sink.used, text, N);
    sink.used += length;
    return;
  }
  sinkWriteSpilling(sink, text, length);
}

// Hands the buffered bytes on; false if this or any earlier hand-over failed.
bool sinkFlush(ByteSink& sink);

template <std::size_t N>
void sinkLiteral(ByteSink& sink, const char (&text)[N]) {
  sinkWrite(sink, text, N - 1);
}

// What `render(sink)` writes, as a string: for lines and messages, not for large texts.
// The sink is large: it is made on the heap.
template <typename Render>
std::string renderToString(Render render) {
  std::string text;
  const auto sink = std::make_unique<ByteSink>();
  render(sinkToString(*sink, text));
  sinkFlush(*sink);
  return text;
}
