// Single stages of the light engine against the reference pipeline's plain
// versions, over more inputs than the end-to-end runs reach: the matte table
// over a grid of positions and ranges, the three-shear rotation over angles
// in every octant and odd sizes, and the corner pin over random
// quadrilaterals (convex, crossed, partly outside the canvas).
#include <gtest/gtest.h>

#include <random>

#include "support/LightTestHost.h"
#include "reference/ReferencePipeline.h"
#include "render/CornerPin.h"
#include "render/MatteTable.h"
#include "render/ShapeRotation.h"

namespace veyra {
namespace {

using reftest::Plane;

Plane randomPlane(int w, int h, std::mt19937& rng) {
  Plane p(w, h);
  for (auto& v : p.px) v = static_cast<uint8_t>(rng());
  return p;
}

HostBufferRef bufferOf(HostDocument& host, const Plane& p) {
  return test::makePlaneOf(host, p.width, p.height, [&p](int x, int y) { return p.at(x, y); });
}

Plane planeOf(const HostBuffer& b) {
  Plane p(b.width(), b.height());
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) p.at(x, y) = b.row(y)[x];
  return p;
}

TEST(ReferenceStages, MatteTablesMatchOverAGrid) {
  int tables = 0;
  for (double position = -10; position <= 110; position += 7.5)
    for (double range = 0; range <= 100; range += 6.25) {
      uint8_t library[256];
      buildMatteTable(position, range, library);
      const std::array<uint8_t, 256> expected = reftest::matteTable(position, range);
      for (int i = 0; i < 256; ++i)
        ASSERT_EQ(library[i], expected[static_cast<size_t>(i)])
            << "position " << position << ", range " << range << ", entry " << i;
      ++tables;
    }
  EXPECT_EQ(tables, 17 * 17);
}

TEST(ReferenceStages, RotationsMatchInEveryOctant) {
  test::LightTestHost th;
  std::mt19937 rng(21);
  const std::pair<int, int> sizes[] = {{1, 1}, {2, 1}, {7, 3}, {20, 14}, {33, 8}};
  int rotations = 0;
  for (double degrees = -357.5; degrees <= 360; degrees += 11.25)
    for (const auto& [w, h] : sizes) {
      const Plane src = randomPlane(w, h, rng);
      const HostBufferRef turned = rotateShape(th.document(), bufferOf(th.document(), src), degrees);
      const Plane expected = reftest::rotate(src, degrees);
      ASSERT_TRUE(turned);
      const Plane got = planeOf(*turned);
      ASSERT_EQ(got.width, expected.width) << degrees << " degrees, " << w << "x" << h;
      ASSERT_EQ(got.height, expected.height) << degrees << " degrees, " << w << "x" << h;
      ASSERT_EQ(got.px, expected.px) << degrees << " degrees, " << w << "x" << h;
      ++rotations;
    }
  EXPECT_EQ(rotations, 64 * 5);
}

TEST(ReferenceStages, CornerPinsMatchForRandomQuadrilaterals) {
  test::LightTestHost th;
  std::mt19937 rng(22);
  std::uniform_real_distribution<double> fraction(-0.3, 1.3);
  for (int i = 0; i < 200; ++i) {
    const int w = 5 + static_cast<int>(rng() % 30), h = 5 + static_cast<int>(rng() % 30);
    const Plane src = randomPlane(w, h, rng);
    double corners[8];
    CornerPoint points[4];
    for (int k = 0; k < 4; ++k) {
      corners[2 * k] = fraction(rng);
      corners[2 * k + 1] = fraction(rng);
      points[k] = {corners[2 * k], corners[2 * k + 1]};
    }
    const HostBufferRef canvas = bufferOf(th.document(), src);
    applyCornerPin(th.document(), *canvas, points);
    Plane expected = src;
    reftest::cornerPin(expected, corners);
    ASSERT_EQ(planeOf(*canvas).px, expected.px) << "case " << i << ", " << w << "x" << h;
  }
}

}  // namespace
}  // namespace veyra
