#include "model/version_normalisation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "tests/support/model_builder.h"

namespace {

using Descriptor = std::array<unsigned char, DescriptorLayout::kSize>;
using Bytes = std::vector<unsigned char>;

// A descriptor whose every byte differs, so that any byte changed shows.
Descriptor patterned(std::int32_t sectionWord, std::int32_t spanOffset) {
  Bytes v(DescriptorLayout::kSize);
  for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<unsigned char>(0x80 + i);
  putInt32(v, DescriptorLayout::kSectionWord, sectionWord);
  putInt32(v, DescriptorLayout::kSpanOffset, spanOffset);
  Descriptor d{};
  std::copy(v.begin(), v.end(), d.begin());
  return d;
}

// What normalisation must make of the descriptor at `d`, besides the version word.
void clearSpan(Bytes& bytes, std::size_t d) {
  std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(d + 88), 2, 0);
  putInt32(bytes, d + DescriptorLayout::kSpanOffset, 0);
}
void clearRetiredWord(Bytes& bytes) { putInt32(bytes, HeaderLayout::kRetiredWord, 0); }
// Every byte from the frame count on: one frame, no block (-1), the rest zero.
void resetDescriptor(Bytes& bytes, std::size_t d) {
  for (std::size_t i = 16; i < DescriptorLayout::kSize; ++i) bytes[d + i] = 0;
  bytes[d + DescriptorLayout::kFrameCount] = 1;
  putInt32(bytes, d + DescriptorLayout::kBlockIndex, -1);
}

// The index of the first byte where the two differ, or their common length.
std::size_t firstDifference(const Bytes& a, const Bytes& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  return i;
}

// Each version and descriptor table normalised: the whole image must then be as it was,
// with the version word 48 and only the rewrites of the case made.
TEST(Normalisation, RewritesOnlyWhatEachVersionNeeds) {
  struct Case {
    const char* title;
    std::vector<std::int32_t> versions;
    std::vector<Descriptor> descriptors;
    std::function<void(Bytes&, std::size_t d0, std::size_t d1)> rewrites;  // d0, d1: the descriptors
    bool negativeCount = false;  // the descriptor count stored as -1
  } const cases[] = {
      {"version 48 is left byte for byte", {48}, {patterned(1, 1), patterned(0, 0)}, [](Bytes&, auto, auto) {}},
      {"newer versions only change the version", {49, 52, 0x7FFFFFFF}, {patterned(1, 1), patterned(0, 7)},
       [](Bytes&, auto, auto) {}},
      {"version 47 clears only non-zero spans and keeps the retired word", {47}, {patterned(1, 0), patterned(1, 9)},
       [](Bytes& b, auto, std::size_t d1) { clearSpan(b, d1); }},
      {"version 46 clears every span and the retired word", {46}, {patterned(1, 0), patterned(1, 9)},
       [](Bytes& b, std::size_t d0, std::size_t d1) {
         clearSpan(b, d0);
         clearSpan(b, d1);
         clearRetiredWord(b);
       }},
      {"version 45 (and below) resets sectioned descriptors and clears all spans", {45, 44, -7},
       {patterned(0, 5), patterned(3, 5)},
       [](Bytes& b, std::size_t d0, std::size_t d1) {
         clearSpan(b, d0);
         resetDescriptor(b, d1);
         clearRetiredWord(b);
       }},
      {"without descriptors below 47, only the retired word", {45, 46}, {},
       [](Bytes& b, auto, auto) { clearRetiredWord(b); }},
      {"without descriptors from 47 on, nothing", {47, 50}, {}, [](Bytes&, auto, auto) {}},
      {"a negative descriptor count is an empty table", {45}, {patterned(1, 1)},
       [](Bytes& b, auto, auto) { clearRetiredWord(b); }, true},
  };
  for (const Case& c : cases) {
    for (const std::int32_t version : c.versions) {
      SCOPED_TRACE(std::string(c.title) + ", version " + std::to_string(version));
      ModelPlan plan = sampleModelPlan();
      plan.version = version;
      plan.retiredWord = 0x11223344;
      plan.descriptors = c.descriptors;
      const BuiltModel before = buildModel(plan);
      Bytes after = before.bytes;
      if (c.negativeCount) putInt32(after, HeaderLayout::kAnimCount, -1);
      Bytes expected = after;
      putInt32(expected, HeaderLayout::kVersion, 48);
      c.rewrites(expected, before.descriptorTable, before.descriptorTable + DescriptorLayout::kSize);
      ModelImage image{after.data(), after.size()};
      normaliseToCurrentVersion(image);
      ASSERT_EQ(after.size(), expected.size());
      EXPECT_EQ(firstDifference(after, expected), after.size()) << "the first byte that differs";
    }
  }
}

// A descriptor table laid over the header: resetting descriptor 0 rewrites the words that
// locate the table, and the next descriptor must still be the one after it.
TEST(Normalisation, TableOverTheHeaderStaysWhereItWas) {
  constexpr std::size_t kTable = 130;
  Bytes bytes(1000, 0);
  std::memcpy(bytes.data(), "IDST", 4);
  putInt32(bytes, HeaderLayout::kVersion, 45);
  putInt32(bytes, HeaderLayout::kAnimCount, 2);
  putInt32(bytes, HeaderLayout::kAnimTableOffset, static_cast<std::int32_t>(kTable));
  putInt32(bytes, kTable + DescriptorLayout::kSectionWord, 1);
  putInt32(bytes, kTable + DescriptorLayout::kSize + DescriptorLayout::kSpanOffset, 7);
  Bytes expected = bytes;
  putInt32(expected, HeaderLayout::kVersion, 48);
  resetDescriptor(expected, kTable);
  clearSpan(expected, kTable + DescriptorLayout::kSize);
  ModelImage image{bytes.data(), bytes.size()};
  normaliseToCurrentVersion(image);
  EXPECT_EQ(firstDifference(bytes, expected), bytes.size()) << "the first byte that differs";
}

}  // namespace
