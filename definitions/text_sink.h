// A small fixed buffer that text is rendered into, flushed to a stream or, for tests and
// fuzzing, to a string. Memory stays the same however long the output grows.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

struct TextSink {
  std::FILE* stream = nullptr;    // flushed here when set,
  std::string* memory = nullptr;  // else appended here
  bool failed = false;            // a flush to the stream fell short
  std::size_t used = 0;
  // The file's writes are this size: at 16 KiB their count cost a tenth of a large
  // model's run.
  char buffer[64 * 1024];
};

// Takes text that does not fit in the buffer's room, flushing as it fills.
void sinkWriteSpilling(TextSink& sink, const char* text, std::size_t length);

// Inline: the text is written in pieces of a few bytes, millions of them for big models.
inline void sinkWrite(TextSink& sink, const char* text, std::size_t length) {
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
void sinkWriteFromArray(TextSink& sink, const char (&text)[N], std::size_t length) {
  if (N <= sizeof sink.buffer - sink.used) {
    std::memcpy(sink.buffer + sink.used, text, N);
    sink.used += length;
    return;
  }
  sinkWriteSpilling(sink, text, length);
}

// Hands the buffered text on; false if this or any earlier flush failed.
bool sinkFlush(TextSink& sink);

template <std::size_t N>
void sinkLiteral(TextSink& sink, const char (&text)[N]) {
  sinkWrite(sink, text, N - 1);
}
