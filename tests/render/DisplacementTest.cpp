#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/LightTestHost.h"
#include "render/Displacement.h"

namespace veyra {
namespace {

using test::LightTestHost;
using test::makePlaneOf;

// A 40 x 10 canvas (the full image's size) with one bright column at x = 20;
// tiles of one brightness displace it as a whole.
class DisplacementShift : public ::testing::Test {
 protected:
  LightTestHost host;
  static constexpr int kW = 40, kH = 10;
  HostBufferRef canvas = makePlaneOf(host.document(), kW, kH, [](int x, int) { return x == 20 ? 200 : 0; });
  VRect rect = makeRect(0, 0, kH, kW);

  HostBufferRef grayTile(uint8_t v) {
    return makePlaneOf(host.document(), kW, kH, [v](int, int) { return v; });
  }
  HostBufferRef displaced(const HostBuffer& tile, double d) {
    HostBufferRef out = host.document().makeBuffer(kW, kH, 1, 1, 1);
    EXPECT_TRUE(displaceShape(tile, rect, *canvas, rect, d, d, *out));
    return out;
  }
};

// Black samples d to the left and above, so the column appears d to the
// right; white the opposite way. Vertically the canvas is uniform, so rows
// that still sample inside it are equal.
TEST_F(DisplacementShift, BlackAndWhiteMoveOppositeWays) {
  HostBufferRef black = displaced(*grayTile(0), 5.0);
  HostBufferRef white = displaced(*grayTile(255), 5.0);
  for (int x = 0; x < kW; ++x) {
    EXPECT_EQ(black->row(7)[x], x == 25 ? 200 : 0) << x;
    EXPECT_EQ(white->row(2)[x], x == 15 ? 200 : 0) << x;
  }
  // Rows whose sample lies above or below the canvas read 0.
  EXPECT_EQ(black->row(2)[25], 0);
  EXPECT_EQ(white->row(7)[15], 0);
}

// Mid-gray (127 or 128) moves the sample by d / 255: the column stays where
// it is, a little dimmer, and leaks a little into one neighbour.
TEST_F(DisplacementShift, MidGrayBarelyMoves) {
  for (uint8_t v : {127, 128}) {
    HostBufferRef out = displaced(*grayTile(v), 5.0);
    EXPECT_GE(out->row(5)[20], 195) << int(v);
    int others = 0;
    for (int x = 0; x < kW; ++x)
      if (x != 20) others += out->row(5)[x];
    EXPECT_LE(others, 5) << int(v);
  }
}

// A fractional position blends the four neighbours: half a pixel between 0
// and 200 gives 100.
TEST_F(DisplacementShift, BilinearBetweenNeighbours) {
  // White: F = +1, so the sample lies at x + 0.5.
  HostBufferRef out = displaced(*grayTile(255), 0.5);
  EXPECT_EQ(out->row(0)[19], 100);
  EXPECT_EQ(out->row(0)[20], 100);
  EXPECT_EQ(out->row(0)[21], 0);
}

// Brightness by mode: RGB uses the integer luminance and ignores byte 3;
// CMYK the luminance of the inks; other modes produce nothing.
TEST(Displacement, BrightnessByMode) {
  const uint8_t rgb[4] = {255, 255, 255, 0};
  EXPECT_EQ(displacementBrightness(rgb, plugInModeRGBColor), 255);
  const uint8_t rgb2[4] = {10, 200, 30, 99};
  EXPECT_EQ(displacementBrightness(rgb2, plugInModeRGBColor), (76 * 10 + 150 * 200 + 29 * 30) / 255);
  const uint8_t noInk[4] = {255, 255, 255, 255}, fullInk[4] = {0, 0, 0, 0}, black[4] = {255, 255, 255, 0};
  EXPECT_GE(displacementBrightness(noInk, plugInModeCMYKColor), 254);  // 0.299 + 0.587 + 0.114 rounds below 1
  EXPECT_EQ(displacementBrightness(fullInk, plugInModeCMYKColor), 0);
  EXPECT_EQ(displacementBrightness(black, plugInModeCMYKColor), 0);
  const uint8_t gray[1] = {77};
  EXPECT_EQ(displacementBrightness(gray, plugInModeGrayScale), 77);

  LightTestHost host(app::ColorMode::RGB);
  HostBufferRef lab = host.document().makeBuffer(4, 4, 3, 1, plugInModeLabColor);
  HostBufferRef canvas = makePlaneOf(host.document(), 4, 4, [](int, int) { return 9; });
  HostBufferRef out = makePlaneOf(host.document(), 4, 4, [](int, int) { return 33; });
  const VRect r = makeRect(0, 0, 4, 4);
  EXPECT_FALSE(displaceShape(*lab, r, *canvas, r, 1.0, 1.0, *out));
  for (uint8_t v : test::bytesOf(*out)) EXPECT_EQ(v, 33);
}

// Amounts that are NaN, infinite or far beyond the canvas sample nothing
// (0) without converting those positions to integers.
TEST_F(DisplacementShift, UnusableAmountsGiveZero) {
  for (double d : {std::nan(""), std::numeric_limits<double>::infinity(), 1e300, -1e18}) {
    HostBufferRef out = displaced(*grayTile(0), d);
    for (uint8_t v : test::bytesOf(*out)) ASSERT_EQ(v, 0) << d;
  }
}

// A tile of the full image mapped onto a canvas of half its size samples
// the canvas at half the coordinates.
TEST(Displacement, SmallerCanvasScalesPositions) {
  LightTestHost host(app::ColorMode::Gray);
  HostBufferRef canvas = makePlaneOf(host.document(), 20, 5, [](int x, int) { return x * 10; });
  HostBufferRef tile = makePlaneOf(host.document(), 40, 10, [](int, int) { return 0; });
  HostBufferRef out = host.document().makeBuffer(40, 10, 1, 1, 1);
  const VRect rect = makeRect(0, 0, 10, 40);
  ASSERT_TRUE(displaceShape(*tile, rect, *canvas, makeRect(0, 0, 5, 20), 4.0, 0.0, *out));
  // Black: sample at (x - 4) / 2.
  EXPECT_EQ(out->row(3)[10], 30);
  EXPECT_EQ(out->row(3)[11], 35);
  EXPECT_EQ(out->row(3)[2], 0);  // (2 - 4) / 2 = -1: outside
}

}  // namespace
}  // namespace veyra
