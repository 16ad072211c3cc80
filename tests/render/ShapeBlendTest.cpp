#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <tuple>
#include <utility>

#include "RenderTestData.h"
#include "host/LightParameters.h"
#include "render/ShapeBlend.h"

namespace veyra {
namespace {

using test::Tile;

// One pixel of the shape blend, from the definitions with plain division in
// 64 bits; a weighted shape above 255 saturates where it would wrap a byte.
int referenceShapeBlend(int mode, float o, int s, int m) {
  const int64_t g = static_cast<int64_t>(o * 255.0f);
  const int64_t w = g * s / 255;  // s'
  auto clampByte = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, 0, 255)); };
  switch (mode) {
    case kShapeNone:
      return m;
    case kShapeOnly:
      return o == 1.0f ? s : clampByte(w);
    case kShapeAdd:
      return clampByte(m + w);
    case kShapeSubtract:
      return clampByte(m - w);
    case kShapeMultiply:
      return clampByte(static_cast<int64_t>(o * static_cast<float>(s)) * m / 255);
    case kShapeScreen:
      return clampByte(w + m - w * m / 255);
    case kShapeDifference:
      return clampByte(w + m - 2 * w * m / 255);
    case kShapeDarken:
      return clampByte(std::min<int64_t>(m, w));
    case kShapeLighten:
      return clampByte(std::max<int64_t>(m, w));
    default:
      return s;
  }
}

class ShapeBlendModes : public ::testing::TestWithParam<std::tuple<int32_t, double>> {};

// Every mode at a range of opacities over random tiles with padded rows:
// each pixel as the definitions give it, padding untouched, the matte unchanged.
TEST_P(ShapeBlendModes, MatchDefinitions) {
  const auto [mode, opacity] = GetParam();
  Tile shape(41, 13, 1, 7, 100u + static_cast<uint32_t>(mode));
  const Tile matte(41, 13, 1, 2, 200u);
  const Tile shapeBefore = shape, matteBefore = matte;
  shapeBlend(mode, opacity, shape.data(), shape.rowBytes, matte.data(), matte.rowBytes, shape.width,
             shape.height);
  // Beyond the limit every blend has saturated: the formulas at the
  // opacity asked for give what the limit gives.
  const float o = static_cast<float>(opacity * 0.01);
  for (int32_t y = 0; y < shape.height; ++y) {
    for (int32_t x = 0; x < shape.width; ++x)
      ASSERT_EQ(*shape.pixel(x, y),
                referenceShapeBlend(mode, o, *shapeBefore.pixel(x, y), *matte.pixel(x, y)))
          << "pixel " << x << "," << y;
    for (int32_t i = shape.width; i < shape.rowBytes; ++i)
      ASSERT_EQ(shape.bytes[y * shape.rowBytes + i], shapeBefore.bytes[y * shape.rowBytes + i]);
  }
  EXPECT_EQ(matte.bytes, matteBefore.bytes);
}

INSTANTIATE_TEST_SUITE_P(AllModes, ShapeBlendModes,
                         ::testing::Combine(::testing::Range(0, 9),
                                            ::testing::Values(0.0, 0.4, 12.5, 33.0, 50.0, 99.9, 100.0, 150.0,
                                                              1000.0, 25600.0, 3.3e6, 6502500.0, 1e12)));

// The corner values worked out by hand, over every pair (S, M).
TEST(ShapeBlend, ZeroAndFullOpacity) {
  Tile shape(256, 256, 1, 0, 1u), matte(256, 256, 1, 0, 2u);
  for (int s = 0; s < 256; ++s)
    for (int m = 0; m < 256; ++m) {
      *shape.pixel(m, s) = static_cast<uint8_t>(s);
      *matte.pixel(m, s) = static_cast<uint8_t>(m);
    }
  auto blend = [&](int32_t mode, double opacity) {
    Tile out = shape;
    shapeBlend(mode, opacity, out.data(), out.rowBytes, matte.data(), matte.rowBytes, 256, 256);
    return out;
  };
  const Tile only100 = blend(kShapeOnly, 100.0);
  EXPECT_EQ(only100.bytes, shape.bytes);  // bit for bit
  const Tile add0 = blend(kShapeAdd, 0.0), sub0 = blend(kShapeSubtract, 0.0),
             dark0 = blend(kShapeDarken, 0.0), light0 = blend(kShapeLighten, 0.0),
             only0 = blend(kShapeOnly, 0.0), add100 = blend(kShapeAdd, 100.0),
             mul100 = blend(kShapeMultiply, 100.0);
  for (int s = 0; s < 256; ++s)
    for (int m = 0; m < 256; ++m) {
      ASSERT_EQ(*add0.pixel(m, s), m);
      ASSERT_EQ(*sub0.pixel(m, s), m);
      ASSERT_EQ(*dark0.pixel(m, s), 0);
      ASSERT_EQ(*light0.pixel(m, s), m);
      ASSERT_EQ(*only0.pixel(m, s), 0);
      ASSERT_EQ(*add100.pixel(m, s), std::min(255, s + m));
      ASSERT_EQ(*mul100.pixel(m, s), s * m / 255);
    }
}

// Every pair (S, M) in every mode, at opacities around the one where the
// 16-bit lanes give way to the general form (g = 255 up to about 100.39 %).
class ShapeBlendAllPairs : public ::testing::TestWithParam<double> {};

TEST_P(ShapeBlendAllPairs, MatchDefinitions) {
  const double opacity = GetParam();
  const float o = shapeOpacityFactor(opacity);
  Tile shape(256, 256, 1, 3, 1u), matte(256, 256, 1, 0, 2u);
  for (int s = 0; s < 256; ++s)
    for (int m = 0; m < 256; ++m) {
      *shape.pixel(m, s) = static_cast<uint8_t>(s);
      *matte.pixel(m, s) = static_cast<uint8_t>(m);
    }
  for (int32_t mode = kShapeNone; mode <= kShapeLighten; ++mode) {
    Tile out = shape;
    shapeBlend(mode, opacity, out.data(), out.rowBytes, matte.data(), matte.rowBytes, 255, 256);
    for (int s = 0; s < 256; ++s) {
      for (int m = 0; m < 255; ++m)
        ASSERT_EQ(*out.pixel(m, s), referenceShapeBlend(mode, o, s, m)) << "mode " << mode << " S " << s << " M " << m;
      ASSERT_EQ(*out.pixel(255, s), s) << "beyond the width";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AroundFullOpacity, ShapeBlendAllPairs,
                         ::testing::Values(0.2, 0.4, 37.0, 99.9, 100.0, 100.2, 100.39, 100.4, 101.0));

// Opacities outside 0..kMaxShapeOpacityPercent act as the nearest limit and
// NaN as 0.
class ShapeOpacityClamp : public ::testing::TestWithParam<std::pair<double, double>> {};

TEST_P(ShapeOpacityClamp, ActsAsLimit) {
  const auto [outside, limit] = GetParam();
  const Tile matte(23, 5, 1, 0, 8u);
  for (int32_t mode = kShapeOnly; mode <= kShapeLighten; ++mode) {
    Tile a(23, 5, 1, 0, 9u);
    Tile b = a;
    shapeBlend(mode, outside, a.data(), a.rowBytes, matte.data(), matte.rowBytes, 23, 5);
    shapeBlend(mode, limit, b.data(), b.rowBytes, matte.data(), matte.rowBytes, 23, 5);
    EXPECT_EQ(a.bytes, b.bytes) << "mode " << mode;
  }
  EXPECT_EQ(shapeOpacityFactor(outside), shapeOpacityFactor(limit));
}

constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(OutOfRange, ShapeOpacityClamp,
                         ::testing::Values(std::make_pair(1e7, kMaxShapeOpacityPercent),
                                           std::make_pair(1e300, kMaxShapeOpacityPercent),
                                           std::make_pair(kInf, kMaxShapeOpacityPercent),
                                           std::make_pair(-0.5, 0.0), std::make_pair(-300.0, 0.0),
                                           std::make_pair(-kInf, 0.0),
                                           std::make_pair(std::numeric_limits<double>::quiet_NaN(), 0.0)));

TEST(ShapeBlend, UnknownModeLeavesShape) {
  const Tile matte(10, 3, 1, 0, 8u);
  for (int32_t mode : {-1, 9, 1000}) {
    Tile shape(10, 3, 1, 0, 9u);
    const Tile before = shape;
    shapeBlend(mode, 50.0, shape.data(), shape.rowBytes, matte.data(), matte.rowBytes, 10, 3);
    EXPECT_EQ(shape.bytes, before.bytes) << "mode " << mode;
  }
}

}  // namespace
}  // namespace veyra
