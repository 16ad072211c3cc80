#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "RenderTestData.h"
#include "host/LightParameters.h"
#include "host/PITypes.h"
#include "render/MatteExtraction.h"

namespace veyra {
namespace {

using test::Tile;

// A table that is a fixed permutation of 0..255, so that every index lands
// on a distinct, recognisable value.
struct ScrambledTable {
  uint8_t v[256];
  ScrambledTable() {
    for (int i = 0; i < 256; ++i) v[i] = static_cast<uint8_t>((i * 167 + 13) & 0xFF);
  }
};

// The channel index of one pixel, written straight from the definitions.
int referenceIndex(int16_t mode, int32_t channel, const uint8_t* p) {
  if (mode == plugInModeGrayScale) return p[0];
  if (mode == plugInModeRGBColor) {
    const int r = p[0], g = p[1], b = p[2];
    switch (channel) {
      case kChannelLuminance:
        return (76 * r + 150 * g + 29 * b) / 255;
      case kChannelRed:
        return r;
      case kChannelGreen:
        return g;
      case kChannelBlue:
        return b;
      case kChannelCyan:
        return (g + b) / 2;
      case kChannelMagenta:
        return (r + b) / 2;
      case kChannelYellow:
        return (r + g) / 2;
      case kChannelHue:
      case kChannelSaturation: {
        const float rf = r * 0.003921569f, gf = g * 0.003921569f, bf = b * 0.003921569f;
        const float mx = std::max({rf, gf, bf}), mn = std::min({rf, gf, bf});
        const float s = mx != 0.0f ? (mx - mn) / mx : 0.0f;
        if (channel == kChannelSaturation) return static_cast<int>(s * 255.0f);
        if (s == 0.0f) return 0;
        const float d = mx - mn;
        float h = rf == mx ? (gf - bf) / d : gf == mx ? 2.0f + (bf - rf) / d : 4.0f + (rf - gf) / d;
        h *= 60.0f;
        if (h < 0.0f) h += 360.0f;
        return static_cast<int>(h * 0.7083333f);
      }
    }
  }
  const int c = p[0], m = p[1], y = p[2], k = p[3];
  switch (channel) {
    case kChannelLuminance: {
      const double kk = k / 255.0;
      const double a = 0.299 * (c / 255.0) + 0.587 * (m / 255.0) + 0.114 * (y / 255.0);
      return static_cast<int>((1.0 - (kk * (1.0 - a) + (1.0 - kk))) * 255.0);
    }
    case kChannelRed:
      return (m + y) / 2;
    case kChannelGreen:
      return (c + y) / 2;
    case kChannelBlue:
      return (c + m) / 2;
    case kChannelCyan:
      return c;
    case kChannelMagenta:
      return m;
    case kChannelYellow:
      return y;
    default:
      return 0;  // hue and saturation: table[0]
  }
}

class MatteChannels : public ::testing::TestWithParam<std::tuple<int16_t, int32_t>> {};

// Every mode and channel over a random tile with padded rows, against the
// definitions; the matte's own padding stays untouched.
TEST_P(MatteChannels, MatchDefinitions) {
  const auto [mode, channel] = GetParam();
  const ScrambledTable table;
  const Tile tile(37, 11, test::bytesPerPixel(mode), 5, 1234u + static_cast<uint32_t>(channel));
  Tile matte(37, 11, 1, 3, 99u);
  const Tile before = matte;
  extractMatte(tile.data(), tile.rowBytes, mode, tile.width, tile.height, channel, table.v, matte.data(),
               matte.rowBytes);
  for (int32_t y = 0; y < tile.height; ++y) {
    for (int32_t x = 0; x < tile.width; ++x) {
      const int index = referenceIndex(mode, channel, tile.pixel(x, y));
      ASSERT_GE(index, 0);
      ASSERT_LE(index, 255);
      ASSERT_EQ(*matte.pixel(x, y), table.v[index]) << "pixel " << x << "," << y;
    }
    for (int32_t i = tile.width; i < matte.rowBytes; ++i)
      ASSERT_EQ(matte.bytes[y * matte.rowBytes + i], before.bytes[y * matte.rowBytes + i]);
  }
}

INSTANTIATE_TEST_SUITE_P(AllChannels, MatteChannels,
                         ::testing::Combine(::testing::Values(int16_t{plugInModeGrayScale},
                                                              int16_t{plugInModeRGBColor},
                                                              int16_t{plugInModeCMYKColor}),
                                            ::testing::Range(0, 9)));

// The RGB channels over widths around the luminance loop's 64-pixel passes,
// and saturation (taken from a table by largest and smallest byte) over every
// pair of largest and smallest byte, with the middle byte and the order of
// the bytes varied; against the definitions.
TEST(MatteExtraction, RgbChannelsAtAnyWidthAndEverySaturation) {
  const ScrambledTable table;
  uint32_t seed = 4000u;
  for (int32_t channel = 0; channel < 9; ++channel)
    for (int32_t width : {1, 63, 64, 65, 130}) {
      const Tile tile(width, 2, 4, 3, ++seed);
      Tile matte(width, 2, 1, 2, ++seed);
      Tile expected = matte;
      for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < width; ++x)
          *expected.pixel(x, y) = table.v[referenceIndex(plugInModeRGBColor, channel, tile.pixel(x, y))];
      extractMatte(tile.data(), tile.rowBytes, plugInModeRGBColor, width, 2, channel, table.v, matte.data(),
                   matte.rowBytes);
      ASSERT_EQ(matte.bytes, expected.bytes) << "channel " << channel << " width " << width;
    }
  Tile tile(256, 256, 4, 0, 1u);
  Tile matte(256, 256, 1, 0, 2u);
  for (int order = 0; order < 3; ++order) {
    for (int32_t mx = 0; mx < 256; ++mx)
      for (int32_t mn = 0; mn < 256; ++mn) {
        uint8_t* p = tile.pixel(mn, mx);
        const int lo = std::min(mx, mn), hi = std::max(mx, mn);
        p[order] = static_cast<uint8_t>(hi);
        p[(order + 1) % 3] = static_cast<uint8_t>(lo);
        p[(order + 2) % 3] = static_cast<uint8_t>(lo + (hi - lo) * (order + 1) / 4);
      }
    extractMatte(tile.data(), tile.rowBytes, plugInModeRGBColor, 256, 256, kChannelSaturation, table.v,
                 matte.data(), matte.rowBytes);
    for (int32_t y = 0; y < 256; ++y)
      for (int32_t x = 0; x < 256; ++x)
        ASSERT_EQ(*matte.pixel(x, y),
                  table.v[referenceIndex(plugInModeRGBColor, kChannelSaturation, tile.pixel(x, y))])
            << "pixel " << x << "," << y << " order " << order;
  }
}

// The vector passes for hue, saturation and RGB and CMYK luminance against the
// per-pixel functions on every pair of the first two bytes with every
// multiple of 4 in the third (plus a varying 0..3) and K varying from pixel
// to pixel, through an identity table, in rows that end inside a pass.
TEST(MatteExtraction, PassesEqualThePixelFunctionsOnEveryColour) {
  uint8_t identity[256];
  for (int i = 0; i < 256; ++i) identity[i] = static_cast<uint8_t>(i);
  constexpr int32_t kWidth = 4093, kRows = 64;  // 4093 = 63 passes of 64 and 61 pixels
  constexpr int64_t kColours = int64_t{1} << 22;
  Tile tile(kWidth, kRows, 4, 0, 1u);
  Tile hue(kWidth, kRows, 1, 0, 2u), saturation(kWidth, kRows, 1, 0, 3u), luminance(kWidth, kRows, 1, 0, 4u),
      rgbLuma(kWidth, kRows, 1, 0, 5u);
  for (int64_t first = 0; first < kColours; first += int64_t{kWidth} * kRows) {
    const int32_t rows =
        static_cast<int32_t>(std::min<int64_t>(kRows, (kColours - first + kWidth - 1) / kWidth));
    for (int32_t i = 0; i < kWidth * rows; ++i) {
      const uint32_t n = static_cast<uint32_t>((first + i) % kColours);
      const uint32_t c = n << 2 | ((n * 2654435761u) >> 30);
      uint8_t* p = tile.pixel(i % kWidth, i / kWidth);
      p[0] = static_cast<uint8_t>(c >> 16), p[1] = static_cast<uint8_t>(c >> 8),
      p[2] = static_cast<uint8_t>(c);
      p[3] = static_cast<uint8_t>((c * 2654435761u) >> 24);
    }
    extractMatte(tile.data(), tile.rowBytes, plugInModeRGBColor, kWidth, rows, kChannelHue, identity,
                 hue.data(), hue.rowBytes);
    extractMatte(tile.data(), tile.rowBytes, plugInModeRGBColor, kWidth, rows, kChannelSaturation, identity,
                 saturation.data(), saturation.rowBytes);
    extractMatte(tile.data(), tile.rowBytes, plugInModeCMYKColor, kWidth, rows, kChannelLuminance, identity,
                 luminance.data(), luminance.rowBytes);
    extractMatte(tile.data(), tile.rowBytes, plugInModeRGBColor, kWidth, rows, kChannelLuminance, identity,
                 rgbLuma.data(), rgbLuma.rowBytes);
    for (int32_t y = 0; y < rows; ++y)
      for (int32_t x = 0; x < kWidth; ++x) {
        const uint8_t* p = tile.pixel(x, y);
        ASSERT_EQ(*hue.pixel(x, y), rgbHueIndex(p[0], p[1], p[2]))
            << int(p[0]) << "," << int(p[1]) << "," << int(p[2]);
        ASSERT_EQ(*saturation.pixel(x, y), rgbSaturationIndex(p[0], p[1], p[2]))
            << int(p[0]) << "," << int(p[1]) << "," << int(p[2]);
        ASSERT_EQ(*luminance.pixel(x, y), cmykLuminance(p[0], p[1], p[2], p[3]))
            << int(p[0]) << "," << int(p[1]) << "," << int(p[2]) << "," << int(p[3]);
        ASSERT_EQ(*rgbLuma.pixel(x, y), rgbLuminance(p[0], p[1], p[2]))
            << int(p[0]) << "," << int(p[1]) << "," << int(p[2]);
      }
  }
}

// The per-pixel helpers over every gray level and the colours that mark the
// hue circle.
TEST(MatteExtraction, KnownPixelValues) {
  EXPECT_EQ(rgbLuminance(255, 255, 255), 255);
  EXPECT_EQ(rgbLuminance(0, 0, 0), 0);
  for (int v = 0; v < 256; ++v) {
    const auto b = static_cast<uint8_t>(v);
    EXPECT_EQ(rgbHueIndex(b, b, b), 0) << v;         // undefined hue
    EXPECT_EQ(rgbSaturationIndex(b, b, b), 0) << v;  // no saturation
  }
  EXPECT_EQ(rgbHueIndex(255, 0, 0), 0);
  EXPECT_EQ(rgbSaturationIndex(255, 0, 0), 255);
  EXPECT_EQ(rgbSaturationIndex(200, 100, 100), 127);
  // Hue indices rise around the circle: red, yellow, green, cyan, blue, magenta.
  const uint8_t circle[][3] = {{255, 0, 0},   {255, 255, 0}, {0, 255, 0},
                               {0, 255, 255}, {0, 0, 255},   {255, 0, 255}};
  for (int i = 1; i < 6; ++i)
    EXPECT_GT(rgbHueIndex(circle[i][0], circle[i][1], circle[i][2]),
              rgbHueIndex(circle[i - 1][0], circle[i - 1][1], circle[i - 1][2]));
  EXPECT_LE(rgbHueIndex(255, 0, 1), 255);  // just below 360 degrees
  EXPECT_GE(rgbHueIndex(255, 0, 1), 254);
  // No ink: the weights 0.299 + 0.587 + 0.114 sum to just below 1 in double
  // precision, so the truncated luminance is 254.
  EXPECT_EQ(cmykLuminance(255, 255, 255, 255), 254);
  EXPECT_EQ(cmykLuminance(255, 255, 255, 0), 0);  // full black
  EXPECT_EQ(cmykLuminance(0, 0, 0, 255), 0);      // full C, M and Y
}

TEST(MatteExtraction, GrayIgnoresTheChannel) {
  const ScrambledTable table;
  const Tile tile(16, 4, 1, 0, 7u);
  Tile first(16, 4, 1, 0, 1u);
  extractMatte(tile.data(), tile.rowBytes, plugInModeGrayScale, 16, 4, kChannelLuminance, table.v,
               first.data(), first.rowBytes);
  for (int32_t channel = 0; channel < 12; ++channel) {
    Tile other(16, 4, 1, 0, 2u);
    extractMatte(tile.data(), tile.rowBytes, plugInModeGrayScale, 16, 4, channel, table.v, other.data(),
                 other.rowBytes);
    EXPECT_EQ(other.bytes, first.bytes) << "channel " << channel;
  }
}

TEST(MatteExtraction, CmykHueAndSaturationGiveTableZero) {
  const ScrambledTable table;
  const Tile tile(9, 3, 4, 0, 5u);
  for (int32_t channel : {kChannelHue, kChannelSaturation}) {
    Tile matte(9, 3, 1, 0, 6u);
    extractMatte(tile.data(), tile.rowBytes, plugInModeCMYKColor, 9, 3, channel, table.v, matte.data(),
                 matte.rowBytes);
    for (uint8_t v : matte.bytes) EXPECT_EQ(v, table.v[0]);
  }
}

// Unsupported image modes, and channel numbers outside the nine, leave the
// matte as it was.
TEST(MatteExtraction, UnsupportedInputLeavesMatteUnfilled) {
  const ScrambledTable table;
  const Tile tile(8, 2, 4, 0, 3u);
  const std::tuple<int16_t, int32_t> cases[] = {{int16_t{plugInModeBitmap}, kChannelLuminance},
                                                {int16_t{plugInModeIndexedColor}, kChannelRed},
                                                {int16_t{9}, kChannelLuminance},
                                                {int16_t{plugInModeRGBColor}, 9},
                                                {int16_t{plugInModeCMYKColor}, -1}};
  for (const auto& [mode, channel] : cases) {
    Tile matte(8, 2, 1, 0, 4u);
    const Tile before = matte;
    extractMatte(tile.data(), tile.rowBytes, mode, 8, 2, channel, table.v, matte.data(), matte.rowBytes);
    EXPECT_EQ(matte.bytes, before.bytes) << "mode " << mode << " channel " << channel;
  }
}

}  // namespace
}  // namespace veyra
