// Micro-benchmarks of the text of one jiggle bone with every flag set, and of its numbers.
// Run by hand: build/tools/sproing_micro_benchmarks
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "definitions/jiggle_text.h"
#include "definitions/number_format.h"
#include "tools/bench_model.h"

namespace {

// The values of many bench bones, so number timings are not those of one lucky value.
std::vector<float> benchValues() {
  std::vector<float> values;
  for (std::size_t seed = 0; values.size() < 4096; ++seed) {
    const JigglePlan rule = benchJigglePlan(seed);
    values.insert(values.end(), rule.values.begin() + 1, rule.values.end());
  }
  return values;
}

void renderOneBoneEveryFlag(benchmark::State& state) {
  ModelPlan plan;
  plan.bones.push_back(jiggleBone("jiggle_bone_0", benchJigglePlan(0)));
  BuiltModel built = buildModel(plan);
  const ModelImage image{built.bytes.data(), built.bytes.size()};
  std::string file;
  const auto fileSink = std::make_unique<ByteSink>();
  for (auto _ : state) {
    file.clear();
    renderJiggleDefinitions(image, sinkToString(*fileSink, file));
    sinkFlush(*fileSink);
    benchmark::DoNotOptimize(file.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(file.size()));
}
BENCHMARK(renderOneBoneEveryFlag);

// One float's text after another, by `format`.
template <typename Format>
void formatValues(benchmark::State& state, Format format) {
  const std::vector<float> values = benchValues();
  char text[kNumberTextSize];
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(format(values[i++ % values.size()], text));
}

void formatGeneralValues(benchmark::State& state) {
  formatValues(state, [](float value, char (&text)[kNumberTextSize]) { return formatGeneral(value, text); });
}
BENCHMARK(formatGeneralValues);

// The C library's "%g", for comparison with formatGeneral.
void printfGeneralValues(benchmark::State& state) {
  formatValues(state, [](float value, char (&text)[kNumberTextSize]) {
    return std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  });
}
BENCHMARK(printfGeneralValues);

}  // namespace

BENCHMARK_MAIN();
