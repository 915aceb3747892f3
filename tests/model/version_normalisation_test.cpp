#include "model/version_normalisation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/support/model_builder.h"

namespace {

// A descriptor whose every byte differs, so that any byte changed shows.
std::array<unsigned char, 100> patterned(std::int32_t sectionWord, std::int32_t spanOffset) {
  std::array<unsigned char, 100> d{};
  for (std::size_t i = 0; i < d.size(); ++i) d[i] = static_cast<unsigned char>(0x80 + i);
  std::vector<unsigned char> v(d.begin(), d.end());
  putInt32(v, DescriptorLayout::kSectionWord, sectionWord);
  putInt32(v, DescriptorLayout::kSpanOffset, spanOffset);
  std::copy(v.begin(), v.end(), d.begin());
  return d;
}

struct Normalised {
  BuiltModel before;
  std::vector<unsigned char> after;
};

Normalised normalise(std::int32_t version, std::vector<std::array<unsigned char, 100>> descriptors) {
  ModelPlan plan = sampleModelPlan();
  plan.version = version;
  plan.retiredWord = 0x11223344;
  plan.descriptors = std::move(descriptors);
  Normalised n{buildModel(plan), {}};
  n.after = n.before.bytes;
  ModelImage image{n.after.data(), n.after.size()};
  normaliseToCurrentVersion(image);
  return n;
}

// Every byte outside [from, to) of the image is as it was, but for `allowed` ranges.
void expectOnlyChanged(const Normalised& n, std::vector<std::pair<std::size_t, std::size_t>> allowed) {
  allowed.push_back({4, 8});  // version
  for (std::size_t i = 0; i < n.after.size(); ++i) {
    bool mayChange = false;
    for (const auto& [from, to] : allowed) mayChange = mayChange || (i >= from && i < to);
    if (!mayChange) {
      ASSERT_EQ(n.after[i], n.before.bytes[i]) << "byte " << i;
    }
  }
  EXPECT_EQ(getInt32(n.after, HeaderLayout::kVersion), 48);
}

TEST(Normalisation, Version48IsLeftByteForByte) {
  const Normalised n = normalise(48, {patterned(1, 1), patterned(0, 0)});
  EXPECT_EQ(n.after, n.before.bytes);
}

TEST(Normalisation, NewerVersionsOnlyChangeTheVersion) {
  for (const std::int32_t version : {49, 52, 0x7FFFFFFF}) {
    const Normalised n = normalise(version, {patterned(1, 1), patterned(0, 7)});
    expectOnlyChanged(n, {});
  }
}

TEST(Normalisation, Version47ClearsOnlyNonZeroSpansAndKeepsTheRetiredWord) {
  const Normalised n = normalise(47, {patterned(1, 0), patterned(1, 9)});
  const std::size_t d1 = n.before.descriptorTable + DescriptorLayout::kSize;
  expectOnlyChanged(n, {{d1 + 88, d1 + 90}, {d1 + 92, d1 + 96}});
  EXPECT_EQ(getInt32(n.after, d1 + DescriptorLayout::kSpanOffset), 0);
  EXPECT_EQ(n.after[d1 + 88], 0);
  EXPECT_EQ(n.after[d1 + 89], 0);
  EXPECT_EQ(getInt32(n.after, HeaderLayout::kRetiredWord), 0x11223344);
}

TEST(Normalisation, Version46ClearsEverySpanAndTheRetiredWord) {
  const Normalised n = normalise(46, {patterned(1, 0), patterned(1, 9)});
  const std::size_t d0 = n.before.descriptorTable, d1 = d0 + DescriptorLayout::kSize;
  expectOnlyChanged(n, {{380, 384}, {d0 + 88, d0 + 90}, {d0 + 92, d0 + 96},
                        {d1 + 88, d1 + 90}, {d1 + 92, d1 + 96}});
  for (const std::size_t d : {d0, d1}) {
    EXPECT_EQ(getInt32(n.after, d + DescriptorLayout::kSpanOffset), 0);
    EXPECT_EQ(n.after[d + 88] | n.after[d + 89], 0);
    EXPECT_EQ(n.after[d + 90], n.before.bytes[d + 90]);  // between the two span fields
  }
  EXPECT_EQ(getInt32(n.after, HeaderLayout::kRetiredWord), 0);
}

TEST(Normalisation, Version45ResetsSectionedDescriptorsAndClearsAllSpans) {
  for (const std::int32_t version : {45, 44, -7}) {  // below 45 is treated as 45
    const Normalised n = normalise(version, {patterned(0, 5), patterned(3, 5)});
    const std::size_t kept = n.before.descriptorTable;
    const std::size_t reset = kept + DescriptorLayout::kSize;
    expectOnlyChanged(n, {{380, 384}, {kept + 88, kept + 90}, {kept + 92, kept + 96},
                          {reset + 16, reset + 100}});
    EXPECT_EQ(getInt32(n.after, kept + DescriptorLayout::kSpanOffset), 0);
    EXPECT_EQ(n.after[kept + 90], n.before.bytes[kept + 90]);
    EXPECT_EQ(n.after[kept + 91], n.before.bytes[kept + 91]);
    for (std::size_t i = 16; i < 100; ++i) {
      const bool frameCount = i == 16, blockIndex = i >= 52 && i < 56;
      const unsigned expected = frameCount ? 1u : blockIndex ? 0xFFu : 0u;
      EXPECT_EQ(n.after[reset + i], expected) << "byte " << i;
    }
    EXPECT_EQ(getInt32(n.after, HeaderLayout::kRetiredWord), 0);
  }
}

TEST(Normalisation, WithoutDescriptorsOnlyHeaderWordsChange) {
  for (const std::int32_t version : {45, 46, 47, 50}) {
    Normalised n = normalise(version, {});
    expectOnlyChanged(n, version < 47 ? std::vector<std::pair<std::size_t, std::size_t>>{{380, 384}}
                                      : std::vector<std::pair<std::size_t, std::size_t>>{});
  }
}

TEST(Normalisation, NegativeDescriptorCountIsAnEmptyTable) {
  ModelPlan plan = sampleModelPlan();
  plan.version = 45;
  plan.descriptors = {patterned(1, 1)};
  BuiltModel built = buildModel(plan);
  putInt32(built.bytes, HeaderLayout::kAnimCount, -1);
  std::vector<unsigned char> after = built.bytes;
  ModelImage image{after.data(), after.size()};
  normaliseToCurrentVersion(image);
  const std::size_t d = built.descriptorTable;
  EXPECT_TRUE(std::equal(after.begin() + static_cast<std::ptrdiff_t>(d), after.end(),
                         built.bytes.begin() + static_cast<std::ptrdiff_t>(d)));
}

// A descriptor table laid over the header: resetting descriptor 0 rewrites the words that
// locate the table, and the next descriptor must still be the one after it.
TEST(Normalisation, TableOverTheHeaderStaysWhereItWas) {
  constexpr std::size_t kTable = 130;
  std::vector<unsigned char> bytes(1000, 0);
  std::memcpy(bytes.data(), "IDST", 4);
  putInt32(bytes, HeaderLayout::kVersion, 45);
  putInt32(bytes, HeaderLayout::kAnimCount, 2);
  putInt32(bytes, HeaderLayout::kAnimTableOffset, static_cast<std::int32_t>(kTable));
  putInt32(bytes, kTable + DescriptorLayout::kSectionWord, 1);
  putInt32(bytes, kTable + DescriptorLayout::kSize + DescriptorLayout::kSpanOffset, 7);
  const std::vector<unsigned char> before = bytes;
  ModelImage image{bytes.data(), bytes.size()};
  normaliseToCurrentVersion(image);
  EXPECT_EQ(getInt32(bytes, kTable + DescriptorLayout::kBlockIndex), -1);
  EXPECT_EQ(getInt32(bytes, kTable + DescriptorLayout::kSize + DescriptorLayout::kSpanOffset), 0);
  EXPECT_TRUE(std::equal(bytes.begin() + 2 * DescriptorLayout::kSize + kTable, bytes.end(),
                         before.begin() + 2 * DescriptorLayout::kSize + kTable));
}

}  // namespace
