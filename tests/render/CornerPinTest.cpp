#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/LightTestHost.h"
#include "render/CornerPin.h"

namespace veyra {
namespace {

using test::LightTestHost;
using test::makePlaneOf;

void mapPoint(const ProjectiveMatrix& m, double u, double v, double& x, double& y) {
  const double X = u * m.m[0][0] + v * m.m[1][0] + m.m[2][0];
  const double Y = u * m.m[0][1] + v * m.m[1][1] + m.m[2][1];
  const double Z = u * m.m[0][2] + v * m.m[1][2] + m.m[2][2];
  x = X / Z;
  y = Y / Z;
}

struct Quad {
  float x[4], y[4];
  bool affine;
};

class SquareToQuad : public ::testing::TestWithParam<Quad> {};

// The square's corners land on the quadrilateral's, in order, and the
// adjoint takes them back; parallelograms take the affine form.
TEST_P(SquareToQuad, MapsCornersBothWays) {
  const Quad q = GetParam();
  ProjectiveMatrix m;
  ASSERT_TRUE(squareToQuad(q.x, q.y, m));
  EXPECT_EQ(m.m[0][2] == 0.0 && m.m[1][2] == 0.0, q.affine);
  const double square[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  const ProjectiveMatrix back = adjoint(m);
  for (int k = 0; k < 4; ++k) {
    double x, y, u, v;
    mapPoint(m, square[k][0], square[k][1], x, y);
    EXPECT_NEAR(x, q.x[k], 1e-9) << k;
    EXPECT_NEAR(y, q.y[k], 1e-9) << k;
    mapPoint(back, q.x[k], q.y[k], u, v);
    EXPECT_NEAR(u, square[k][0], 1e-9) << k;
    EXPECT_NEAR(v, square[k][1], 1e-9) << k;
  }
}

INSTANTIATE_TEST_SUITE_P(Quads, SquareToQuad,
                         ::testing::Values(Quad{{0, 20, 20, 0}, {0, 0, 10, 10}, true},
                                           Quad{{5, 25, 30, 10}, {2, 2, 12, 12}, true},
                                           Quad{{0, 20, 15, 3}, {0, 1, 12, 10}, false},
                                           Quad{{10, 0, 2, 14}, {0, 3, 20, 18}, false}));

// Three corners on one line make the projective step's denominator 0.
TEST(SquareToQuad, CollinearCornersFail) {
  const float x[4] = {0, 10, 5, 0}, y[4] = {3, 0, 0, 0};
  ProjectiveMatrix m;
  EXPECT_FALSE(squareToQuad(x, y, m));
}

class CornerPinCanvas : public ::testing::Test {
 protected:
  LightTestHost host;
  HostBufferRef gradient(int w, int h) {
    return makePlaneOf(host.document(), w, h, [](int x, int y) { return 10 + 3 * x + 5 * y; });
  }
};

// Pinning the corners to the canvas corners maps the canvas onto itself; the
// single-precision coordinates may land a hair short of a pixel, which the
// truncating bilinear sample turns into at most one less.
TEST_F(CornerPinCanvas, IdentityCornersKeepTheCanvas) {
  HostBufferRef canvas = gradient(24, 16);
  const auto before = test::bytesOf(*canvas);
  ASSERT_TRUE(applyCornerPin(host.document(), *canvas, LightParameters::kDefaultCorners));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 24; ++x) {
      const int want = before[static_cast<size_t>(y * 24 + x)];
      EXPECT_LE(canvas->row(y)[x], want);
      EXPECT_GE(canvas->row(y)[x], want - 1);
    }
}

// Corners at half the size shrink the canvas into its upper-left quarter,
// every other pixel 0: pixel (x, y) samples the copy at (2x, 2y).
TEST_F(CornerPinCanvas, HalfSizeCornersShrinkIntoAQuarter) {
  HostBufferRef canvas = gradient(20, 12);
  const auto before = test::bytesOf(*canvas);
  const CornerPoint corners[4] = {{0, 0}, {0.5, 0}, {0.5, 0.5}, {0, 0.5}};
  ASSERT_TRUE(applyCornerPin(host.document(), *canvas, corners));
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 20; ++x) {
      if (x < 10 && y < 6) {
        const int want = before[static_cast<size_t>(2 * y * 20 + 2 * x)];
        EXPECT_NEAR(canvas->row(y)[x], want, 1) << x << "," << y;
      } else {
        EXPECT_EQ(canvas->row(y)[x], 0) << x << "," << y;
      }
    }
}

// All four corners on one point: every pixel maps outside (0 / 0), so the
// canvas is 0.
TEST_F(CornerPinCanvas, CornersOnOnePointGiveZero) {
  HostBufferRef canvas = gradient(16, 16);
  const CornerPoint corners[4] = {{0.5, 0.5}, {0.5, 0.5}, {0.5, 0.5}, {0.5, 0.5}};
  applyCornerPin(host.document(), *canvas, corners);
  for (uint8_t v : test::bytesOf(*canvas)) ASSERT_EQ(v, 0);
}

// A corner that is NaN, infinite or beyond single precision, and a failed
// projective step, leave the canvas cleared.
TEST_F(CornerPinCanvas, UnusableCornersLeaveTheCanvasCleared) {
  const double bad[] = {std::nan(""), std::numeric_limits<double>::infinity(), -1e300};
  for (double v : bad) {
    HostBufferRef canvas = gradient(8, 8);
    CornerPoint corners[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    corners[2].y = v;
    EXPECT_FALSE(applyCornerPin(host.document(), *canvas, corners)) << v;
    for (uint8_t b : test::bytesOf(*canvas)) ASSERT_EQ(b, 0);
  }
  HostBufferRef canvas = gradient(10, 10);
  const CornerPoint collinear[4] = {{0, 0.3}, {1, 0}, {0.5, 0}, {0, 0}};
  EXPECT_FALSE(applyCornerPin(host.document(), *canvas, collinear));
  for (uint8_t b : test::bytesOf(*canvas)) ASSERT_EQ(b, 0);
}

// Huge but finite corners map nearly everything outside without any
// undefined conversion.
TEST_F(CornerPinCanvas, FarCornersMapOutside) {
  HostBufferRef canvas = gradient(8, 8);
  const CornerPoint corners[4] = {{1e20, 1e20}, {2e20, 1e20}, {2e20, 2e20}, {1e20, 2e20}};
  EXPECT_TRUE(applyCornerPin(host.document(), *canvas, corners));
  for (uint8_t b : test::bytesOf(*canvas)) ASSERT_EQ(b, 0);
}

}  // namespace
}  // namespace veyra
