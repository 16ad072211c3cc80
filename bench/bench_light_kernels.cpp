// The light blend's per-pixel kernels on one 6000 x 256 RGB band (the final
// render's band size): the light image built from the light map, the two
// light sources in each blend mode at 100 % (strengths within a byte) and
// 250 % (the table and general loops), and the matte extraction per channel.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "host/LightParameters.h"
#include "host/PITypes.h"
#include "render/LightBlend.h"
#include "render/MatteExtraction.h"

namespace {

using namespace veyra;

constexpr int32_t kWidth = 6000, kHeight = 256, kRowBytes = kWidth * 4;

std::vector<uint8_t> pattern(size_t size, int step) {
  std::vector<uint8_t> v(size);
  for (size_t i = 0; i < size; ++i) v[i] = static_cast<uint8_t>((i * static_cast<size_t>(step) / 7) & 255);
  return v;
}

void setRate(benchmark::State& state) {
  state.counters["MP/s"] = benchmark::Counter(
      static_cast<double>(kWidth) * kHeight * 1e-6 * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
}

void BM_MultiplyByLightMap(benchmark::State& state) {
  const auto tile = pattern(static_cast<size_t>(kRowBytes) * kHeight, 3);
  const auto light = pattern(static_cast<size_t>(kWidth) * kHeight, 5);
  std::vector<uint8_t> out(tile.size());
  for (auto _ : state) {
    multiplyByLightMap(plugInModeRGBColor, tile.data(), kRowBytes, light.data(), kWidth, kWidth, kHeight,
                       out.data(), kRowBytes);
    benchmark::DoNotOptimize(out.data());
  }
  setRate(state);
}
BENCHMARK(BM_MultiplyByLightMap);

const uint8_t kColour[4] = {255, 230, 200, 0};

// Arguments: blend mode, brightness percent.
void BM_LightBlendImage(benchmark::State& state) {
  auto tile = pattern(static_cast<size_t>(kRowBytes) * kHeight, 3);
  const auto image = pattern(tile.size(), 11);
  for (auto _ : state) {
    lightBlendImage(static_cast<int32_t>(state.range(0)), static_cast<double>(state.range(1)), kColour,
                    plugInModeRGBColor, tile.data(), kRowBytes, image.data(), kRowBytes, kWidth, kHeight);
    benchmark::DoNotOptimize(tile.data());
  }
  setRate(state);
}
BENCHMARK(BM_LightBlendImage)->ArgsProduct({{kLightAdd, kLightSubtract, kLightScreen}, {100, 250, 5000}});

void BM_LightBlendMatte(benchmark::State& state) {
  auto tile = pattern(static_cast<size_t>(kRowBytes) * kHeight, 3);
  const auto light = pattern(static_cast<size_t>(kWidth) * kHeight, 5);
  for (auto _ : state) {
    lightBlendMatte(static_cast<int32_t>(state.range(0)), static_cast<double>(state.range(1)), kColour,
                    plugInModeRGBColor, tile.data(), kRowBytes, light.data(), kWidth, kWidth, kHeight);
    benchmark::DoNotOptimize(tile.data());
  }
  setRate(state);
}
BENCHMARK(BM_LightBlendMatte)->ArgsProduct({{kLightAdd, kLightSubtract, kLightScreen}, {100, 250, 5000}});

// Argument: the matte channel.
void BM_ExtractMatte(benchmark::State& state) {
  const auto tile = pattern(static_cast<size_t>(kRowBytes) * kHeight, 3);
  std::vector<uint8_t> matte(static_cast<size_t>(kWidth) * kHeight);
  uint8_t table[256];
  for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(255 - i);
  for (auto _ : state) {
    extractMatte(tile.data(), kRowBytes, plugInModeRGBColor, kWidth, kHeight,
                 static_cast<int32_t>(state.range(0)), table, matte.data(), kWidth);
    benchmark::DoNotOptimize(matte.data());
  }
  setRate(state);
}
BENCHMARK(BM_ExtractMatte)
    ->Arg(kChannelLuminance)
    ->Arg(kChannelRed)
    ->Arg(kChannelCyan)
    ->Arg(kChannelHue)
    ->Arg(kChannelSaturation);

}  // namespace

BENCHMARK_MAIN();
