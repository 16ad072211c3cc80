#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <tuple>
#include <utility>

#include "host/Errors.h"
#include "render/ShapeRotation.h"
#include "render/WorkerPool.h"
#include "support/LightTestHost.h"

namespace veyra {
namespace {

using test::LightTestHost;
using test::makePlaneOf;

// The angle normalisation as two plain loops; only usable where they end.
RotationAngle loopNormalise(double degrees) {
  double a = -degrees;
  while (a < -45.0) a += 360.0;
  int q = 0;
  while (a > 45.0) {
    a -= 90.0;
    ++q;
  }
  return {q & 3, a};
}

bool sameDouble(double a, double b) {
  if (a == 0.0 && b == 0.0) return true;  // the loops may end on -0
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The remainder form gives bit for bit what the loops give, over angles of
// every size the loops can finish, with fractions that make the step across
// -45 round.
TEST(RotationAngle, RemainderMatchesLoops) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> wide(-1e5, 1e5);
  std::uniform_real_distribution<double> near(-64.0, -44.0);
  std::vector<double> angles = {0.0,    -0.0,    45.0,   -45.0,           90.0,
                                -90.0,  135.0,   225.0,  315.0,           360.0,
                                -360.0, 405.0,   -405.0, 44.999999999999, 45.000000000001,
                                1e-300, -1e-300, 720.5,  -719.25};
  for (int i = 0; i < 20000; ++i) angles.push_back(wide(rng));
  for (int i = 0; i < 20000; ++i) angles.push_back(-near(rng));  // a just below -45 before the crossing
  for (int i = 0; i < 2000; ++i) angles.push_back(-near(rng) + 360.0 * (1 + i % 50));
  for (double angle : angles) {
    const RotationAngle want = loopNormalise(angle);
    const RotationAngle got = normaliseRotation(angle);
    ASSERT_EQ(got.quarterTurns, want.quarterTurns) << angle;
    ASSERT_TRUE(sameDouble(got.shear, want.shear)) << angle << ": " << got.shear << " vs " << want.shear;
  }
}

// Angles the loops would never finish (adding 360 no longer changes them)
// end at once in range; NaN and infinities turn nothing.
TEST(RotationAngle, HugeAndNonFiniteAnglesEnd) {
  const double inf = std::numeric_limits<double>::infinity();
  for (double angle : {1e300, -1e300, std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
                       9007199254740993.0, -9007199254740993.0, 1e17 + 45.0}) {
    const RotationAngle r = normaliseRotation(angle);
    EXPECT_GE(r.shear, -45.0) << angle;
    EXPECT_LE(r.shear, 45.0) << angle;
    EXPECT_GE(r.quarterTurns, 0);
    EXPECT_LE(r.quarterTurns, 3);
  }
  for (double angle : {inf, -inf, std::nan("")}) {
    const RotationAngle r = normaliseRotation(angle);
    EXPECT_EQ(r.quarterTurns, 0);
    EXPECT_EQ(r.shear, 0.0);
  }
}

struct SizeCase {
  int32_t w, h;
  double degrees;
  int quarterTurns;
  int32_t w1, d, h2, l3, width, height;
};

class RotationSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(RotationSizes, PlanAndImageAgree) {
  const SizeCase c = GetParam();
  const RotationPlan p = planRotation(c.w, c.h, c.degrees);
  EXPECT_EQ(p.quarterTurns, c.quarterTurns);
  ASSERT_TRUE(p.shears);
  EXPECT_EQ(p.w1, c.w1);
  EXPECT_EQ(p.d, c.d);
  EXPECT_EQ(p.h2, c.h2);
  EXPECT_EQ(p.l3, c.l3);
  EXPECT_EQ(p.resultWidth(), c.width);
  EXPECT_EQ(p.resultHeight(), c.height);

  LightTestHost host;
  HostBufferRef image = makePlaneOf(host.document(), c.w, c.h, [](int, int) { return 200; });
  HostBufferRef rotated = rotateShape(host.document(), image, c.degrees);
  EXPECT_EQ(rotated->width(), c.width);
  EXPECT_EQ(rotated->height(), c.height);
}

INSTANTIATE_TEST_SUITE_P(Examples, RotationSizes,
                         ::testing::Values(SizeCase{10, 10, 10.0, 0, 11, 0, 12, 0, 13, 12},
                                           SizeCase{100, 50, 30.0, 0, 114, 7, 93, 13, 113, 93},
                                           // three quarter turns (50 x 100) and a 30-degree shear
                                           SizeCase{100, 50, 60.0, 3, 77, 13, 113, 6, 96, 113}));

// A 2 x 1 image turned by 10 degrees, worked by hand through the three
// shears: t = 0.0874887 (f = 358 per row step), s = 0.1736482 (f = 711 per
// column step), each line blending with its running previous sample.
TEST(ShapeRotation, HandWorkedShears) {
  LightTestHost host;
  HostBufferRef image = makePlaneOf(host.document(), 2, 1, [](int x, int) { return x == 0 ? 100 : 200; });
  HostBufferRef r = rotateShape(host.document(), image, 10.0);
  ASSERT_EQ(r->width(), 4);
  ASSERT_EQ(r->height(), 2);
  const uint8_t want[2][4] = {{75, 146, 37, 2}, {0, 30, 8, 1}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(r->row(y)[x], want[y][x]) << x << "," << y;
}

class QuarterTurns : public ::testing::TestWithParam<std::tuple<double, int>> {};

// Whole quarter turns move pixels exactly (no shear): +90 is clockwise as
// seen, -90 counter-clockwise, 180 a half turn.
TEST_P(QuarterTurns, MovePixelsExactly) {
  const auto [degrees, q] = GetParam();
  LightTestHost host;
  const int w = 7, h = 5;
  HostBufferRef image = makePlaneOf(host.document(), w, h, [](int x, int y) { return 1 + x + 10 * y; });
  const RotationPlan p = planRotation(w, h, degrees);
  EXPECT_FALSE(p.shears);
  EXPECT_EQ(p.quarterTurns, q);
  HostBufferRef r = rotateShape(host.document(), image, degrees);
  for (int i = 0; i < h; ++i) {
    for (int j = 0; j < w; ++j) {
      const uint8_t v = image->row(i)[j];
      switch (q) {
        case 1:  // counter-clockwise
          ASSERT_EQ(r->row(w - 1 - j)[i], v);
          break;
        case 2:
          ASSERT_EQ(r->row(h - 1 - i)[w - 1 - j], v);
          break;
        case 3:  // clockwise
          ASSERT_EQ(r->row(j)[h - 1 - i], v);
          break;
      }
    }
  }
  EXPECT_EQ(r->width(), q == 2 ? w : h);
}

INSTANTIATE_TEST_SUITE_P(Angles, QuarterTurns,
                         ::testing::Values(std::make_tuple(90.0, 3), std::make_tuple(-90.0, 1),
                                           std::make_tuple(180.0, 2), std::make_tuple(-270.0, 3),
                                           std::make_tuple(450.0, 3)));

// Angles that turn nothing hand back the image itself.
TEST(ShapeRotation, FullTurnsAndNonFiniteAnglesKeepTheImage) {
  LightTestHost host;
  HostBufferRef image = makePlaneOf(host.document(), 6, 4, [](int x, int y) { return x * y; });
  for (double angle : {360.0, -360.0, 720.0, std::numeric_limits<double>::infinity(), std::nan("")}) {
    HostBufferRef r = rotateShape(host.document(), image, angle);
    EXPECT_EQ(r.get(), image.get()) << angle;
  }
}

// A constant image keeps its value inside (each blend of equal neighbours is
// exact), never exceeds it, and is 0 at the corners of the rotated bounds.
TEST(ShapeRotation, ConstantImageStaysConstantInside) {
  LightTestHost host;
  for (double angle : {10.0, -20.0, 33.0, 44.0, 135.0, -160.0}) {
    HostBufferRef image = makePlaneOf(host.document(), 40, 30, [](int, int) { return 200; });
    HostBufferRef r = rotateShape(host.document(), image, angle);
    const int32_t w = r->width(), h = r->height();
    uint64_t sum = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        ASSERT_LE(r->row(y)[x], 200);
        sum += r->row(y)[x];
      }
    EXPECT_EQ(r->row(h / 2)[w / 2], 200) << angle;
    EXPECT_EQ(r->row(0)[0], 0) << angle;
    EXPECT_EQ(r->row(h - 1)[w - 1], 0) << angle;
    EXPECT_NEAR(static_cast<double>(sum), 200.0 * 40 * 30, 200.0 * 40 * 30 * 0.02) << angle;
  }
}

// The shears' lines shared out among the threads of a pool (two and three
// threads, several parts each for these sizes) give the image the calling
// thread alone gives, in every octant.
TEST(ShapeRotation, PoolsGiveTheSameImage) {
  LightTestHost host;
  std::mt19937 rng(5);
  WorkerPool two(2, 4096), three(3, 4096);
  for (const auto& [w, h] : {std::make_pair(300, 40), std::make_pair(37, 260)})
    for (double angle = -170.0; angle < 180.0; angle += 23.0) {
      HostBufferRef image =
          makePlaneOf(host.document(), w, h, [&](int, int) { return static_cast<int>(rng() & 255); });
      const HostBufferRef alone = rotateShape(host.document(), image, angle);
      for (WorkerPool* pool : {&two, &three}) {
        const HostBufferRef shared = rotateShape(host.document(), image, angle, pool);
        ASSERT_EQ(shared->width(), alone->width());
        ASSERT_EQ(shared->height(), alone->height());
        for (int32_t y = 0; y < alone->height(); ++y)
          ASSERT_EQ(std::memcmp(shared->row(y), alone->row(y), static_cast<size_t>(alone->width())), 0)
              << angle << " degrees, " << w << "x" << h << ", " << pool->threads() << " threads, row " << y;
      }
    }
}

// Sheared sizes beyond 32 bits are memory no host can give.
TEST(ShapeRotation, SizesBeyond32BitsAreOutOfMemory) {
  const int32_t big = std::numeric_limits<int32_t>::max();
  try {
    planRotation(big, big, 30.0);
    FAIL() << "no error";
  } catch (const HostResultError& e) {
    EXPECT_EQ(e.code(), memFullErr);
  }
  EXPECT_NO_THROW(planRotation(big, big, 90.0));  // a quarter turn needs no more room
}

}  // namespace
}  // namespace veyra
