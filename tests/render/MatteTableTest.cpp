#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "render/MatteTable.h"

namespace veyra {
namespace {

TEST(MatteTable, BellAtPositionFiftyRangeFifty) {
  uint8_t table[256];
  buildMatteTable(50.0, 50.0, table);
  const std::pair<int, int> expected[] = {{0, 0},     {20, 0},    {64, 51},  {96, 179}, {127, 254},
                                          {128, 254}, {160, 175}, {192, 48}, {224, 0},  {255, 0}};
  for (const auto& [index, value] : expected) EXPECT_EQ(table[index], value) << "index " << index;
}

TEST(MatteTable, SplineSecondDerivatives) {
  MatteCurve curve;
  curve.addPoint(0.0, 0.0);
  curve.addPoint(0.25, 0.2);
  curve.addPoint(0.5, 1.0);
  curve.addPoint(0.75, 0.2);
  curve.addPoint(1.0, 0.0);
  ASSERT_EQ(curve.interpolation(), MatteCurve::kSpline);
  const double expected[] = {0.0, 27.428571, -52.114286, 27.428571, 0.0};
  const auto& points = curve.points();
  ASSERT_EQ(points.size(), 5u);
  for (size_t i = 0; i < 5; ++i) EXPECT_NEAR(points[i].m, expected[i], 1e-6) << "point " << i;
  // The curve passes through its points and holds the end values outside.
  EXPECT_DOUBLE_EQ(curve.evaluate(0.5), 1.0);
  EXPECT_NEAR(curve.evaluate(0.25), 0.2, 1e-12);
  EXPECT_EQ(curve.evaluate(-3.0), 0.0);
  EXPECT_EQ(curve.evaluate(7.0), 0.0);
}

TEST(MatteTable, TwoPointsInterpolateLinearlyAndClamp) {
  MatteCurve curve;
  curve.addPoint(0.0, -1.0);
  curve.addPoint(1.0, 3.0);
  ASSERT_EQ(curve.interpolation(), MatteCurve::kLinear);
  EXPECT_DOUBLE_EQ(curve.evaluate(0.375), 0.5);
  EXPECT_EQ(curve.evaluate(0.1), 0.0);  // -0.6 clamped
  EXPECT_EQ(curve.evaluate(0.9), 1.0);  // 2.6 clamped
  curve.setClamp(false);
  EXPECT_DOUBLE_EQ(curve.evaluate(0.5), 1.0);
  EXPECT_DOUBLE_EQ(curve.evaluate(0.75), 2.0);
}

// Moving a point after a solve must re-solve the spline.
TEST(MatteTable, ChangedPointsAreSolvedAgain) {
  MatteCurve curve;
  curve.addPoint(0.0, 0.0);
  curve.addPoint(0.5, 1.0);
  curve.addPoint(1.0, 0.0);
  const double before = curve.evaluate(0.25);
  curve.addPoint(2.0, 1.0);
  EXPECT_NE(curve.evaluate(0.25), before);
  EXPECT_NE(curve.points()[1].m, 0.0);
}

// Bells anywhere on the scale: zero outside p - r .. p + r, highest at p.
class MatteBell : public ::testing::TestWithParam<std::pair<double, double>> {};

TEST_P(MatteBell, ZeroOutsideTheRangePeakInside) {
  const auto [position, range] = GetParam();
  uint8_t table[256];
  buildMatteTable(position, range, table);
  const double p = position * 0.01, r = range * 0.01;
  for (int i = 0; i < 256; ++i) {
    const double t = i / 255.0;
    if (t <= p - r || t >= p + r) {
      EXPECT_EQ(table[i], 0) << "index " << i;
    }
  }
  // The top of the bell is at the entry nearest p (it may be flat around it).
  if (p >= 0.0 && p <= 1.0) {
    const long nearest = std::lround(p * 255.0);
    EXPECT_EQ(table[nearest], *std::max_element(table, table + 256));
    if (r >= 0.05) {
      EXPECT_GE(table[nearest], 250);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Settings, MatteBell,
                         ::testing::Values(std::make_pair(50.0, 50.0), std::make_pair(20.0, 10.0),
                                           std::make_pair(0.0, 30.0), std::make_pair(100.0, 5.0),
                                           std::make_pair(75.0, 100.0), std::make_pair(33.3, 0.5),
                                           std::make_pair(-20.0, 40.0)));

// Settings that define no bell give a black table, without undefined
// behaviour (the sanitizer build checks the latter).
class MatteDegenerate : public ::testing::TestWithParam<std::pair<double, double>> {};

TEST_P(MatteDegenerate, TableIsAllZero) {
  const auto [position, range] = GetParam();
  uint8_t table[256];
  for (auto& v : table) v = 0xA5;
  buildMatteTable(position, range, table);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(table[i], 0) << "index " << i;
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(Settings, MatteDegenerate,
                         ::testing::Values(std::make_pair(50.0, 0.0), std::make_pair(0.0, 0.0),
                                           std::make_pair(50.0, -20.0), std::make_pair(kNaN, 50.0),
                                           std::make_pair(50.0, kNaN), std::make_pair(kInf, 50.0),
                                           std::make_pair(-kInf, 50.0), std::make_pair(50.0, kInf),
                                           std::make_pair(50.0, -kInf), std::make_pair(1e308, 1e308),
                                           std::make_pair(50.0, 1e-320)));

}  // namespace
}  // namespace veyra
