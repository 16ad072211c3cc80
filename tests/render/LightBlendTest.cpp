#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "RenderTestData.h"
#include "host/LightParameters.h"
#include "host/PITypes.h"
#include "render/Div255.h"
#include "render/LightBlend.h"

namespace veyra {
namespace {

using test::Tile;

// Every argument the blends can produce (up to 65535 x 255), then a sweep
// across the rest of the 32-bit range with the values around each multiple
// of 255 that the sweep lands near.
TEST(Div255, ExactOverTheRangeUsed) {
  for (uint32_t x = 0; x <= 65535u * 255u; ++x)
    if (div255(x) != x / 255u) FAIL() << "x = " << x;
}

TEST(Div255, ExactAcrossThirtyTwoBits) {
  for (uint64_t base = 65535u * 255u; base <= 0xFFFFFFFFu; base += 65521u * 255u) {
    for (uint64_t d = 0; d < 2 * 255 + 2 && base + d <= 0xFFFFFFFFu; ++d) {
      const auto x = static_cast<uint32_t>(base + d);
      ASSERT_EQ(div255(x), x / 255u) << "x = " << x;
    }
  }
  for (uint32_t x = 0xFFFFFFFFu - 600u; x != 0; ++x) ASSERT_EQ(div255(x), x / 255u) << "x = " << x;
}

// The 16-bit form used by the vector loops, over every product of two bytes.
TEST(Div255, SmallFormExactForByteProducts) {
  for (uint32_t x = 0; x <= 255u * 255u; ++x)
    if (div255Small(static_cast<uint16_t>(x)) != x / 255u) FAIL() << "x = " << x;
}

// The screen operator written plainly: T / 256 full screens, then the rest.
int referenceScreen(int base, int col, int t) {
  int r = base;
  for (int i = 0; i < t / 256; ++i) r = std::min(255, col + r - col * r / 255);
  const int n = t % 256;
  if (n != 0) {
    const int w = col * n / 255;
    r = std::min(255, r + w - r * w / 255);
  }
  return r;
}

TEST(Screen, WorkedValues) {
  EXPECT_EQ(screen(0, 128, 512), 192);  // two full screens of 128
  EXPECT_EQ(screen(0, 128, 255), 128);
  EXPECT_EQ(screen(77, 200, 0), 77);
  EXPECT_EQ(screen(0, 255, 255), 255);
}

// Every base and colour at strengths around the full-screen boundaries.
TEST(Screen, MatchesPlainDefinition) {
  for (int t : {0, 1, 128, 255, 256, 257, 511, 512, 767, 1000, 4097, 65535}) {
    for (int base = 0; base < 256; ++base)
      for (int col = 0; col < 256; ++col)
        ASSERT_EQ(screen(static_cast<uint32_t>(base), static_cast<uint32_t>(col), static_cast<uint32_t>(t)),
                  referenceScreen(base, col, t))
            << "base " << base << " col " << col << " T " << t;
  }
}

// One channel of the Matte-source blend with strength t.
int referenceLight(int32_t mode, int p, int col, int t) {
  switch (mode) {
    case kLightAdd:
      return std::min(255, p + col * t / 255);
    case kLightSubtract:
      return std::max(0, p - col * t / 255);
    default:
      return referenceScreen(p, col, t);
  }
}

int changedChannels(int16_t mode) {
  return mode == plugInModeGrayScale ? 1 : mode == plugInModeRGBColor ? 3 : 4;
}

using BlendCase = std::tuple<int16_t, int32_t, double>;
class LightBlendLoops : public ::testing::TestWithParam<BlendCase> {};

const uint8_t kColour[4] = {250, 131, 7, 64};

// The Matte-source loops against the definitions: A = trunc(b x 255),
// T = A x L / 255, per channel; unchanged bytes (RGB byte 3, row padding) stay.
TEST_P(LightBlendLoops, MatteSourceMatchesDefinitions) {
  const auto [imageMode, mode, brightness] = GetParam();
  const int stride = test::bytesPerPixel(imageMode);
  Tile tile(29, 9, stride, 6, 300u + static_cast<uint32_t>(mode));
  const Tile light(29, 9, 1, 3, 400u);
  const Tile before = tile;
  lightBlendMatte(mode, brightness, kColour, imageMode, tile.data(), tile.rowBytes, light.data(),
                  light.rowBytes, tile.width, tile.height);
  const int a = static_cast<int>(static_cast<uint16_t>(brightness * 0.01 * 255.0));
  for (int32_t y = 0; y < tile.height; ++y)
    for (int32_t x = 0; x < tile.width; ++x) {
      const int t = a * *light.pixel(x, y) / 255;
      for (int k = 0; k < stride; ++k) {
        const int p = before.pixel(x, y)[k];
        const int expected = k < changedChannels(imageMode) ? referenceLight(mode, p, kColour[k], t) : p;
        ASSERT_EQ(tile.pixel(x, y)[k], expected) << "pixel " << x << "," << y << " channel " << k;
      }
    }
  for (int32_t y = 0; y < tile.height; ++y)
    for (int32_t i = tile.width * stride; i < tile.rowBytes; ++i)
      ASSERT_EQ(tile.bytes[y * tile.rowBytes + i], before.bytes[y * tile.rowBytes + i]);
}

// The Image-source loops: C[k] = trunc(b x col[k]); Add and Subtract weight
// the light image by C, Screen screens the light image with strength C.
TEST_P(LightBlendLoops, ImageSourceMatchesDefinitions) {
  const auto [imageMode, mode, brightness] = GetParam();
  const int stride = test::bytesPerPixel(imageMode);
  Tile tile(31, 7, stride, 4, 500u + static_cast<uint32_t>(mode));
  const Tile image(31, 7, stride, 9, 600u);
  const Tile before = tile;
  lightBlendImage(mode, brightness, kColour, imageMode, tile.data(), tile.rowBytes, image.data(),
                  image.rowBytes, tile.width, tile.height);
  for (int32_t y = 0; y < tile.height; ++y)
    for (int32_t x = 0; x < tile.width; ++x)
      for (int k = 0; k < stride; ++k) {
        const int p = before.pixel(x, y)[k];
        const int i = image.pixel(x, y)[k];
        const int c = static_cast<int>(static_cast<uint16_t>(brightness * 0.01 * kColour[k]));
        int expected = p;
        if (k < changedChannels(imageMode)) {
          if (mode == kLightAdd) expected = std::min(255, p + c * i / 255);
          if (mode == kLightSubtract) expected = std::max(0, p - c * i / 255);
          if (mode == kLightScreen) expected = referenceScreen(p, i, c);
        }
        ASSERT_EQ(tile.pixel(x, y)[k], expected) << "pixel " << x << "," << y << " channel " << k;
      }
  for (int32_t y = 0; y < tile.height; ++y)
    for (int32_t i = tile.width * stride; i < tile.rowBytes; ++i)
      ASSERT_EQ(tile.bytes[y * tile.rowBytes + i], before.bytes[y * tile.rowBytes + i]);
}

INSTANTIATE_TEST_SUITE_P(
    AllModes, LightBlendLoops,
    ::testing::Combine(::testing::Values(int16_t{plugInModeGrayScale}, int16_t{plugInModeRGBColor},
                                         int16_t{plugInModeCMYKColor}),
                       ::testing::Values(int32_t{kLightAdd}, int32_t{kLightSubtract}, int32_t{kLightScreen}),
                       ::testing::Values(0.0, 37.5, 100.0, 250.0, 1000.0, 25700.0)));

// Random tiles of every width class the byte loops split rows into (a
// partial pass only, exactly one pass, one pass and a few bytes, several),
// padded rows, random colours, and brightness on both sides of the point
// where a strength first exceeds a byte (255 / 254 = 100.39 %), at many
// whole screens (1640 % gives a full colour 16, 1750 % 17, 5000 % 50,
// 12000 % 120), up to the clamp; against the plain definitions, byte for
// byte, padding included.
class LightBlendRandom : public ::testing::TestWithParam<std::tuple<int16_t, int32_t>> {};

TEST_P(LightBlendRandom, MatchesDefinitions) {
  const auto [imageMode, mode] = GetParam();
  const int stride = test::bytesPerPixel(imageMode);
  std::mt19937 rng(700u + static_cast<uint32_t>(imageMode * 3 + mode));
  uint32_t seed = 800u;
  for (int32_t width : {1, 3, 15, 16, 17, 63, 64, 65, 130}) {
    for (double brightness : {0.0, 0.4, 50.0, 99.9, 100.0, 100.39, 100.4, 180.0, 1640.0, 1750.0, 5000.0, 12000.0, 25700.0}) {
      const uint8_t col[4] = {static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()),
                              static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng())};
      const int padding = static_cast<int>(rng() % 5);
      const Tile light(width, 3, 1, padding, ++seed);
      const Tile image(width, 3, stride, padding + 1, ++seed);
      Tile matteTile(width, 3, stride, padding + 2, ++seed);
      Tile imageTile = matteTile;
      const Tile before = matteTile;
      lightBlendMatte(mode, brightness, col, imageMode, matteTile.data(), matteTile.rowBytes, light.data(),
                      light.rowBytes, width, 3);
      lightBlendImage(mode, brightness, col, imageMode, imageTile.data(), imageTile.rowBytes, image.data(),
                      image.rowBytes, width, 3);
      const int a = static_cast<int>(brightness * 0.01 * 255.0);
      Tile expectMatte = before, expectImage = before;
      for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < width; ++x)
          for (int k = 0; k < changedChannels(imageMode); ++k) {
            const int p = before.pixel(x, y)[k];
            const int t = a * *light.pixel(x, y) / 255;
            expectMatte.pixel(x, y)[k] = static_cast<uint8_t>(referenceLight(mode, p, col[k], t));
            const int c = static_cast<int>(brightness * 0.01 * col[k]);
            const int i = image.pixel(x, y)[k];
            expectImage.pixel(x, y)[k] = static_cast<uint8_t>(
                mode == kLightScreen ? referenceScreen(p, i, c) : referenceLight(mode, p, i, c));
          }
      ASSERT_EQ(matteTile.bytes, expectMatte.bytes)
          << "matte source, width " << width << " brightness " << brightness;
      ASSERT_EQ(imageTile.bytes, expectImage.bytes)
          << "image source, width " << width << " brightness " << brightness;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllModes, LightBlendRandom,
                         ::testing::Combine(::testing::Values(int16_t{plugInModeGrayScale},
                                                              int16_t{plugInModeRGBColor},
                                                              int16_t{plugInModeCMYKColor}),
                                            ::testing::Values(int32_t{kLightAdd}, int32_t{kLightSubtract},
                                                              int32_t{kLightScreen})));

// Add and Subtract at strengths above a byte, where the weighted amount
// first reaches 255 at a different light value for each strength: every
// strength from 255 to 1100 and a spread above, against every light value.
TEST(LightBlend, AddAndSubtractAtEveryStrengthAndLightValue) {
  Tile image(256, 1, 1, 0, 51u);
  for (int i = 0; i < 256; ++i) image.bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
  const uint8_t white[4] = {255, 255, 255, 255};
  std::vector<int> strengths;
  for (int c = 255; c <= 1100; ++c) strengths.push_back(c);
  for (int c : {4096, 16383, 32767, 65024, 65025, 65535}) strengths.push_back(c);
  for (int32_t mode : {kLightAdd, kLightSubtract})
    for (int c : strengths) {
      const double percent = (c + 0.5) * 100.0 / 255.0;  // trunc(percent x 0.01 x 255) = c
      Tile tile(256, 1, 1, 0, static_cast<uint32_t>(c));
      const Tile before = tile;
      lightBlendImage(mode, percent, white, plugInModeGrayScale, tile.data(), tile.rowBytes, image.data(),
                      image.rowBytes, 256, 1);
      for (int i = 0; i < 256; ++i)
        ASSERT_EQ(tile.bytes[static_cast<size_t>(i)],
                  referenceLight(mode, before.bytes[static_cast<size_t>(i)], i, c))
            << "mode " << mode << " strength " << c << " light " << i;
    }
}

TEST(LightBlend, FullAddSaturates) {
  Tile tile(5, 2, 4, 0, 11u);
  Tile light(5, 2, 1, 0, 12u);
  for (auto& v : light.bytes) v = 255;
  const uint8_t white[4] = {255, 255, 255, 255};
  const Tile before = tile;
  lightBlendMatte(kLightAdd, 100.0, white, plugInModeRGBColor, tile.data(), tile.rowBytes, light.data(),
                  light.rowBytes, 5, 2);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 5; ++x) {
      EXPECT_EQ(tile.pixel(x, y)[0], 255);
      EXPECT_EQ(tile.pixel(x, y)[2], 255);
      EXPECT_EQ(tile.pixel(x, y)[3], before.pixel(x, y)[3]);  // byte 3 survives
    }
  lightBlendMatte(kLightSubtract, 1000.0, white, plugInModeRGBColor, tile.data(), tile.rowBytes, light.data(),
                  light.rowBytes, 5, 2);
  for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(tile.pixel(x, 1)[1], 0);
}

// Brightness outside 0..25700 % acts as the nearest limit and NaN as 0, so
// that the 16-bit strengths never wrap; within the range nothing changes
// (the loop tests above run up to the limit itself).
class BrightnessClamp : public ::testing::TestWithParam<std::pair<double, double>> {};

TEST_P(BrightnessClamp, ActsAsLimit) {
  const auto [outside, limit] = GetParam();
  EXPECT_EQ(lightBrightnessFactor(outside), lightBrightnessFactor(limit));
  const Tile light(13, 4, 1, 0, 21u);
  const Tile image(13, 4, 4, 0, 22u);
  for (int16_t imageMode : {int16_t{plugInModeRGBColor}, int16_t{plugInModeCMYKColor}})
    for (int32_t mode : {kLightAdd, kLightSubtract, kLightScreen}) {
      Tile a(13, 4, 4, 0, 23u), b = a, c = a, d = a;
      lightBlendMatte(mode, outside, kColour, imageMode, a.data(), a.rowBytes, light.data(), light.rowBytes,
                      13, 4);
      lightBlendMatte(mode, limit, kColour, imageMode, b.data(), b.rowBytes, light.data(), light.rowBytes, 13,
                      4);
      EXPECT_EQ(a.bytes, b.bytes) << "matte source, mode " << mode;
      lightBlendImage(mode, outside, kColour, imageMode, c.data(), c.rowBytes, image.data(), image.rowBytes,
                      13, 4);
      lightBlendImage(mode, limit, kColour, imageMode, d.data(), d.rowBytes, image.data(), image.rowBytes, 13,
                      4);
      EXPECT_EQ(c.bytes, d.bytes) << "image source, mode " << mode;
    }
}

constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(OutOfRange, BrightnessClamp,
                         ::testing::Values(std::make_pair(-1.0, 0.0), std::make_pair(-1e9, 0.0),
                                           std::make_pair(-kInf, 0.0), std::make_pair(25701.0, 25700.0),
                                           std::make_pair(1e12, 25700.0), std::make_pair(kInf, 25700.0),
                                           std::make_pair(std::numeric_limits<double>::quiet_NaN(), 0.0)));

TEST(LightBlend, ZeroBrightnessAndUnsupportedModesLeaveTile) {
  const Tile light(8, 3, 1, 0, 31u);
  const Tile image(8, 3, 4, 0, 32u);
  const std::tuple<int16_t, int32_t, double> cases[] = {{int16_t{plugInModeRGBColor}, kLightAdd, 0.0},
                                                        {int16_t{plugInModeCMYKColor}, kLightScreen, 0.0},
                                                        {int16_t{plugInModeRGBColor}, 3, 100.0},
                                                        {int16_t{plugInModeRGBColor}, -1, 100.0},
                                                        {int16_t{plugInModeIndexedColor}, kLightAdd, 100.0},
                                                        {int16_t{9}, kLightScreen, 100.0}};
  for (const auto& [imageMode, mode, brightness] : cases) {
    Tile a(8, 3, 4, 0, 33u), b = a;
    const Tile before = a;
    lightBlendMatte(mode, brightness, kColour, imageMode, a.data(), a.rowBytes, light.data(), light.rowBytes,
                    8, 3);
    lightBlendImage(mode, brightness, kColour, imageMode, b.data(), b.rowBytes, image.data(), image.rowBytes,
                    8, 3);
    EXPECT_EQ(a.bytes, before.bytes) << "mode " << imageMode << "/" << mode;
    EXPECT_EQ(b.bytes, before.bytes) << "mode " << imageMode << "/" << mode;
  }
}

class LightImage : public ::testing::TestWithParam<int16_t> {};

// value x L / 255 in every changed channel; RGB's byte 3 becomes 0.
TEST_P(LightImage, MultiplyByLightMap) {
  const int16_t imageMode = GetParam();
  const int stride = test::bytesPerPixel(imageMode);
  const Tile tile(19, 6, stride, 5, 41u);
  const Tile light(19, 6, 1, 2, 42u);
  Tile out(19, 6, stride, 3, 43u);
  const Tile outBefore = out;
  multiplyByLightMap(imageMode, tile.data(), tile.rowBytes, light.data(), light.rowBytes, 19, 6, out.data(),
                     out.rowBytes);
  for (int32_t y = 0; y < 6; ++y) {
    for (int32_t x = 0; x < 19; ++x)
      for (int k = 0; k < stride; ++k) {
        const int expected =
            k < changedChannels(imageMode) ? tile.pixel(x, y)[k] * *light.pixel(x, y) / 255 : 0;
        ASSERT_EQ(out.pixel(x, y)[k], expected) << "pixel " << x << "," << y << " channel " << k;
      }
    for (int32_t i = 19 * stride; i < out.rowBytes; ++i)
      ASSERT_EQ(out.bytes[y * out.rowBytes + i], outBefore.bytes[y * out.rowBytes + i]);
  }
}

// The light image over the widths the passes split rows into, against the
// plain product, padding untouched.
TEST_P(LightImage, MultiplyByLightMapAnyWidth) {
  const int16_t imageMode = GetParam();
  const int stride = test::bytesPerPixel(imageMode);
  uint32_t seed = 900u;
  for (int32_t width : {1, 2, 15, 16, 17, 63, 64, 65, 131}) {
    const Tile tile(width, 2, stride, 3, ++seed);
    const Tile light(width, 2, 1, 1, ++seed);
    Tile out(width, 2, stride, 2, ++seed);
    Tile expected = out;
    for (int32_t y = 0; y < 2; ++y)
      for (int32_t x = 0; x < width; ++x)
        for (int k = 0; k < stride; ++k)
          expected.pixel(x, y)[k] = static_cast<uint8_t>(
              k < changedChannels(imageMode) ? tile.pixel(x, y)[k] * *light.pixel(x, y) / 255 : 0);
    multiplyByLightMap(imageMode, tile.data(), tile.rowBytes, light.data(), light.rowBytes, width, 2,
                       out.data(), out.rowBytes);
    ASSERT_EQ(out.bytes, expected.bytes) << "width " << width;
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, LightImage,
                         ::testing::Values(int16_t{plugInModeGrayScale}, int16_t{plugInModeRGBColor},
                                           int16_t{plugInModeCMYKColor}));

}  // namespace
}  // namespace veyra
