#include "tests/support/bench_model.h"

#include <cstdint>
#include <string>

#include "model/model_image.h"

namespace {

// A small fixed generator: the same models on every run and every machine.
std::uint32_t nextRandom(std::uint64_t& state) {
  state = state * 6364136223846793005ULL + 1442695040888963407ULL;
  return static_cast<std::uint32_t>(state >> 33);
}

// Values of the kinds artists type and compilers store, and a few that print in exponent
// form, so every branch of the number text is exercised.
float variedValue(std::uint64_t& state) {
  const std::uint32_t pick = nextRandom(state);
  const auto whole = static_cast<float>(pick % 1000);
  switch (pick % 8) {
    case 0: return whole;                                  // 0 .. 999
    case 1: return whole / 10.0f;                          // one decimal
    case 2: return whole / 1000.0f;                        // 0.xyz
    case 3: return -whole / 7.0f;                          // six significant digits
    case 4: return whole * 12345.678f;                     // large, often exponent form
    case 5: return whole * 1e-7f;                          // tiny, exponent form
    case 6: return static_cast<float>(pick) / 4294967296.0f;  // 0 .. 1, full precision
    default: return 0.5f * static_cast<float>(pick % 3);
  }
}

}  // namespace

JiggleSpec benchJiggleSpec(std::size_t seed) {
  using P = JiggleParams;
  std::uint64_t state = 0x9E3779B97F4A7C15ULL ^ static_cast<std::uint64_t>(seed);
  JiggleSpec rule;
  rule.flags = FlexibleTip | RigidTip | YawLimited | PitchLimited | AngleLimited | BaseSpring;
  for (std::size_t offset = P::kLength; offset < P::kSize; offset += 4) {
    rule.set(offset, variedValue(state));
  }
  const auto degrees = [&state] { return static_cast<double>(nextRandom(state) % 361) - 180.0; };
  rule.set(P::kAngleLimit, radiansOf(degrees()));
  rule.set(P::kYawMin, radiansOf(degrees())).set(P::kYawMax, radiansOf(degrees()));
  rule.set(P::kPitchMin, radiansOf(degrees())).set(P::kPitchMax, radiansOf(degrees()));
  return rule;
}

ModelSpec benchModelSpec(std::size_t bones) {
  ModelSpec plan;
  plan.name = "models/bench/jiggle_bench.mdl";
  plan.bones.reserve(bones + bones / 8 + 1);
  for (std::size_t i = 0; i < bones; ++i) {
    if (i % 8 == 7) plan.bones.push_back(BoneSpec{"plain_" + std::to_string(i), 0, std::nullopt});
    plan.bones.push_back(jiggleBone("jiggle_bone_" + std::to_string(i), benchJiggleSpec(i)));
  }
  return plan;
}
