#include "base/byte_sink.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string readAll(std::FILE* stream) {
  std::string text;
  std::rewind(stream);
  char part[4096];
  for (std::size_t got; (got = std::fread(part, 1, sizeof part, stream)) > 0;) text.append(part, got);
  return text;
}

// Pieces around and above the buffer's size, after text already buffered: whatever way a
// piece reaches the stream, whole or in parts, the bytes arrive once and in order.
TEST(ByteSink, PiecesOfEveryLengthArriveInOrder) {
  const std::size_t size = sizeof(ByteSink{}.buffer);
  const std::size_t lengths[] = {size - 1, size, size + 1, 3 * size + 5};
  for (const std::size_t length : lengths) {
    std::FILE* stream = std::tmpfile();
    if (stream == nullptr) GTEST_SKIP() << "no temporary file";
    ByteSink sink;
    sinkToStream(sink, stream);
    std::string expected = "head ";
    std::string piece(length, '\0');
    for (std::size_t i = 0; i < length; ++i) piece[i] = static_cast<char>('a' + i % 26);
    sinkLiteral(sink, "head ");
    sinkWrite(sink, piece.data(), piece.size());
    sinkLiteral(sink, " tail");
    sinkWrite(sink, piece.data(), piece.size());
    expected += piece + " tail" + piece;
    EXPECT_TRUE(sinkFlush(sink));
    EXPECT_EQ(readAll(stream), expected) << length;
    std::fclose(stream);
  }
}

// A stream that takes nothing: the failure shows at the flush, however the text went.
TEST(ByteSink, AShortWriteIsReported) {
  const std::size_t size = sizeof(ByteSink{}.buffer);
  for (const std::size_t length : {std::size_t{10}, 2 * size}) {
    std::FILE* stream = std::fopen("/dev/full", "w");
    if (stream == nullptr) GTEST_SKIP() << "no /dev/full";
    std::setvbuf(stream, nullptr, _IONBF, 0);
    ByteSink sink;
    sinkToStream(sink, stream);
    const std::string piece(length, 'x');
    sinkWrite(sink, piece.data(), piece.size());
    EXPECT_FALSE(sinkFlush(sink)) << length;
    std::fclose(stream);
  }
}

}  // namespace
