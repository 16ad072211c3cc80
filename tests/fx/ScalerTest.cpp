#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <tuple>
#include <vector>

#include "Reference.h"
#include "fx/Filters.h"
#include "fx/ImageScaler.h"
#include "fx/ScaleCore.h"

namespace {

using fx::ImageScaler;
using fx::detail::ScalePlan;
using fx::detail::ScaleWindow;
using fxtest::TestImage;

const char* const kFilterNames[] = {"point",   "box",      "triangle", "quadratic", "cubic",
                                    "catrom",  "mitchell", "gaussian", "sinc",      "bessel",
                                    "hanning", "hamming",  "blackman", "kaiser"};

ScaleWindow whole(const fx::PixelImage& img) { return ScaleWindow::fromBounds(0, 0, img.height, img.width); }

ScalePlan plan(const fx::PixelImage& s, ScaleWindow a, const fx::PixelImage& d, ScaleWindow b,
               const fx::Filter& fx, const fx::Filter& fy) {
  ScalePlan p = fx::detail::planScale(s.width, s.height, d.width, d.height, a, b, fx, fy);
  p.channels = s.channels;
  p.bytesPerChannel = s.bytesPerChannel;
  return p;
}

const fx::Filter& quality(int code, int32_t from, int32_t to) {
  return *ImageScaler::filterForQuality(code, from, to);
}

// Weight tables from the production builder equal the reference built from the definition, for
// every filter, scale, position and window length, columns (trimmed) and rows alike.
TEST(WeightTables, MatchReferenceForEveryFilter) {
  std::mt19937 rng(77);
  std::uniform_real_distribution<double> uni(0.0, 1.0);
  fx::detail::WeightTable table;
  for (const char* name : kFilterNames) {
    const fx::Filter& f = *fx::findFilter(name);
    for (int iter = 0; iter < 300; ++iter) {
      const double s = iter % 3 == 0 ? 1.0 / (1.0 + 9.0 * uni(rng)) : 0.2 + 4.0 * uni(rng);
      const fx::detail::FilterPlacement p = fx::detail::placeFilter(f, s);
      const int len = 1 + int(uni(rng) * 60);
      const double cen = uni(rng) * len;
      const bool trim = iter % 2 == 0;
      fx::detail::buildWeightTable(f, p, cen, len, trim, table);
      const fxtest::RefTable ref = fxtest::referenceWeights(f, p.scale, p.support, cen, len, trim);
      ASSERT_EQ(table.first, ref.first) << name << " cen " << cen << " s " << s;
      ASSERT_EQ(table.end, ref.end) << name;
      ASSERT_EQ(table.weights.size(), ref.w.size()) << name;
      int64_t sum = 0;
      for (size_t k = 0; k < ref.w.size(); ++k) {
        ASSERT_EQ(table.weights[k], ref.w[k]) << name << " tap " << k;
        sum += ref.w[k];
      }
      EXPECT_EQ(sum, fx::detail::WEIGHT_ONE);
      if (trim && table.end - table.first > 1) {
        EXPECT_NE(table.weights.front(), 0) << name;
        EXPECT_NE(table.weights.back(), 0) << name;
      }
    }
  }
}

// Bit-exact comparison of whole destination images (untouched pixels and row padding included)
// with the per-pixel reference, over random sizes, rectangles, filters and quality codes.
class ScalerMatchesReference : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(ScalerMatchesReference, RandomScalings) {
  const int channels = std::get<0>(GetParam()), bpc = std::get<1>(GetParam());
  std::mt19937 rng(4321 + channels * 10 + bpc);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const uint32_t maxSample = bpc == 1 ? 255 : 32768;
  int xFirstRuns = 0, yFirstRuns = 0, pointRuns = 0;
  for (int iter = 0; iter < 300; ++iter) {
    TestImage src(pick(1, 30), pick(1, 30), channels, bpc, pick(0, 2), rng, maxSample);
    TestImage dst(pick(1, 40), pick(1, 40), channels, bpc, pick(0, 2), rng, maxSample);
    TestImage expected(dst);
    const fx::PixelImage& s = src.img;
    const int mode = pick(0, 2);
    const int code = pick(0, 5);
    ScalePlan p;
    if (mode == 0) {
      ImageScaler::scaleImage(s, dst.img, code);
      if (s.width == dst.img.width && s.height == dst.img.height) continue;  // checked elsewhere
      p = plan(s, whole(s), expected.img, whole(expected.img), quality(code, s.width, dst.img.width),
               quality(code, s.height, dst.img.height));
    } else if (mode == 1) {
      const fx::Rect sr{pick(-3, s.height), pick(-3, s.width), pick(0, s.height + 3), pick(0, s.width + 3)};
      const fx::Rect dr{pick(-3, dst.img.height), pick(-3, dst.img.width), pick(0, dst.img.height + 3),
                        pick(0, dst.img.width + 3)};
      ImageScaler::scaleRect(s, sr, dst.img, dr, code);
      p = plan(s, ScaleWindow::fromBounds(sr.top, sr.left, sr.bottom, sr.right), expected.img,
               ScaleWindow::fromBounds(dr.top, dr.left, dr.bottom, dr.right),
               quality(code, s.width, dst.img.width), quality(code, s.height, dst.img.height));
    } else {
      const fx::Filter& fx = *fx::findFilter(kFilterNames[pick(0, 13)]);
      const fx::Filter& fy = *fx::findFilter(kFilterNames[pick(0, 13)]);
      ImageScaler::ImageReadInterface in(&s);
      ImageScaler::ImageWriteInterface out(&dst.img);
      fx::detail::scaleCore(in, out, whole(s), whole(dst.img), fx, fy);
      p = plan(s, whole(s), expected.img, whole(expected.img), fx, fy);
    }
    fxtest::referenceScale(p, s, expected.img);
    if (p.run) (p.point ? pointRuns : p.xFirst ? xFirstRuns : yFirstRuns)++;
    ASSERT_TRUE(fxtest::sameBytes(dst, expected))
        << "iter " << iter << " mode " << mode << " code " << code << " " << s.width << "x" << s.height
        << " -> " << dst.img.width << "x" << dst.img.height << " filters " << p.filterX->name << "/"
        << p.filterY->name << (p.xFirst ? " x first" : " y first");
  }
  EXPECT_GT(xFirstRuns, 10);  // every path was exercised
  EXPECT_GT(yFirstRuns, 10);
  EXPECT_GT(pointRuns, 10);
}

// A RectScaler run in row parts, in shuffled order, equals the reference. Each case is scaled twice
// with one scaler: the second time with new rows, a new quality code and the same column ranges or
// ones moved by a few pixels, which often leaves the column tables as they were (they must then be
// kept and the row tables rebuilt) and sometimes changes them through clipping at an image edge.
TEST_P(ScalerMatchesReference, RectScalerInRowParts) {
  const int channels = std::get<0>(GetParam()), bpc = std::get<1>(GetParam());
  std::mt19937 rng(99 + channels * 10 + bpc);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const uint32_t maxSample = bpc == 1 ? 255 : 32768;
  fx::RectScaler scaler;
  for (int iter = 0; iter < 150; ++iter) {
    TestImage src(pick(1, 30), pick(1, 30), channels, bpc, pick(0, 2), rng, maxSample);
    TestImage dst(pick(1, 40), pick(1, 40), channels, bpc, pick(0, 2), rng, maxSample);
    const fx::PixelImage& s = src.img;
    fx::Rect sr{0, pick(-3, s.width), 0, pick(0, s.width + 3)};
    fx::Rect dr{0, pick(-3, dst.img.width), 0, pick(0, dst.img.width + 3)};
    for (int again = 0; again < 2; ++again) {
      if (again == 1) {
        const int sShift = pick(0, 1) * pick(-3, 3), dShift = pick(0, 1) * pick(-3, 3);
        sr = fx::Rect{0, sr.left + sShift, 0, sr.right + sShift};
        dr = fx::Rect{0, dr.left + dShift, 0, dr.right + dShift};
      }
      sr.top = pick(-3, s.height);
      sr.bottom = pick(0, s.height + 3);
      dr.top = pick(-3, dst.img.height);
      dr.bottom = pick(0, dst.img.height + 3);
      const int code = pick(0, 5);
      TestImage expected(dst);
      scaler.prepare(s, sr, dst.img, dr, code);
      std::vector<int32_t> cuts{-2, dst.img.height + 2};
      for (int k = pick(0, 4); k > 0; --k) cuts.push_back(pick(0, dst.img.height));
      std::sort(cuts.begin(), cuts.end());
      std::vector<size_t> order(cuts.size() - 1);
      std::iota(order.begin(), order.end(), 0);
      std::shuffle(order.begin(), order.end(), rng);
      for (size_t k : order) scaler.scaleRows(cuts[k], cuts[k + 1]);
      const ScalePlan p =
          plan(s, ScaleWindow::fromBounds(sr.top, sr.left, sr.bottom, sr.right), expected.img,
               ScaleWindow::fromBounds(dr.top, dr.left, dr.bottom, dr.right),
               quality(code, s.width, dst.img.width), quality(code, s.height, dst.img.height));
      fxtest::referenceScale(p, s, expected.img);
      ASSERT_TRUE(fxtest::sameBytes(dst, expected))
          << "iter " << iter << " again " << again << " code " << code;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, ScalerMatchesReference,
                         ::testing::Combine(::testing::Values(1, 4), ::testing::Values(1, 2)));

// Rows long enough for the vector paths (several pixels per step, then a tail) in every format.
TEST(Scaler, LargerImagesMatchReference) {
  std::mt19937 rng(12);
  const int sizes[][2] = {{33, 11}, {134, 46}, {50, 31}, {67, 23}, {23, 67}};
  for (int channels : {1, 4})
    for (int bpc : {1, 2}) {
      TestImage src(67, 23, channels, bpc, 1, rng, bpc == 1 ? 255 : 32768);
      for (const auto& size : sizes) {
        TestImage dst(size[0], size[1], channels, bpc, 2, rng, 255);
        TestImage expected(dst);
        ImageScaler::scaleRect(src.img, src.img.bounds, dst.img, dst.img.bounds, 5);
        fxtest::referenceScale(plan(src.img, whole(src.img), expected.img, whole(expected.img),
                                    quality(5, 67, size[0]), quality(5, 23, size[1])),
                               src.img, expected.img);
        EXPECT_TRUE(fxtest::sameBytes(dst, expected))
            << channels << " " << bpc << " " << size[0] << "x" << size[1];
      }
    }
}

// Floating-point rounding can give a table one tap more than the placement's width (here "hamming"
// enlarging 7 to 9: width 2, column 4 has 3 non-zero taps); the tables must hold every tap.
TEST(Scaler, TablesMayHoldOneTapMoreThanTheWidth) {
  const fx::Filter& hamming = *fx::findFilter("hamming");
  std::mt19937 rng(13);
  for (int channels : {1, 4}) {
    TestImage src(7, 7, channels, 1, 0, rng, 255), dst(9, 9, channels, 1, 0, rng, 255);
    TestImage expected(dst);
    const ScalePlan p = plan(src.img, whole(src.img), dst.img, whole(dst.img), hamming, hamming);
    ASSERT_EQ(p.px.width, 2);
    const fx::detail::WeightTables t =
        fx::detail::buildWeightTables(*p.filterX, p.px, p.m.ux, p.m.sx, 9, 7, true);
    EXPECT_EQ(t.maxTaps, 3);
    ImageScaler::ImageReadInterface in(&src.img);
    ImageScaler::ImageWriteInterface out(&dst.img);
    fx::detail::scaleCore(in, out, whole(src.img), whole(dst.img), hamming, hamming);
    fxtest::referenceScale(p, src.img, expected.img);
    EXPECT_TRUE(fxtest::sameBytes(dst, expected));
  }
}

TEST(Scaler, SameSizeScaleImageCopiesExactly) {
  std::mt19937 rng(3);
  for (int bpc : {1, 2}) {
    TestImage src(13, 9, 4, bpc, 0, rng, 255);
    TestImage dst(13, 9, 4, bpc, 3, rng, 255);   // other rowBytes: row by row
    TestImage same(13, 9, 4, bpc, 0, rng, 255);  // same rowBytes: one block
    const std::vector<uint8_t> before = dst.bytes;
    ImageScaler::scaleImage(src.img, dst.img, 5);
    ImageScaler::scaleImage(src.img, same.img, 5);
    EXPECT_EQ(same.bytes, src.bytes);
    for (int y = 0; y < 9; ++y)
      for (int b = 0; b < dst.img.rowBytes; ++b) {
        const size_t at = size_t(y) * dst.img.rowBytes + b;
        const uint8_t want = b < 13 * 4 * bpc ? src.bytes[size_t(y) * src.img.rowBytes + b] : before[at];
        ASSERT_EQ(dst.bytes[at], want) << y << " " << b;
      }
  }
}

TEST(Scaler, SameSizeCopyTakesAnyPixelFormat) {
  std::mt19937 rng(14);
  TestImage src(6, 4, 3, 1, 1, rng, 255), dst(6, 4, 3, 1, 1, rng, 255);
  const uint8_t lastSpare = dst.bytes.back();
  ImageScaler::scaleImage(src.img, dst.img, 9);  // no filter is needed for a copy
  // Equal row bytes: one block up to the last pixel; the last row's spare byte is not touched.
  EXPECT_TRUE(std::equal(dst.bytes.begin(), dst.bytes.end() - 1, src.bytes.begin()));
  EXPECT_EQ(dst.bytes.back(), lastSpare);
}

TEST(Scaler, SameSizeScaleRectAppliesCubicBSpline) {
  std::mt19937 rng(4);
  TestImage src(11, 11, 1, 1, 0, rng, 0);
  std::fill(src.bytes.begin(), src.bytes.end(), 0);
  fxtest::setSample(src.img, 5, 5, 0, 216);
  TestImage dst(11, 11, 1, 1, 0, rng, 0);
  ImageScaler::scaleRect(src.img, src.img.bounds, dst.img, dst.img.bounds, 5);
  const ScalePlan p =
      plan(src.img, whole(src.img), dst.img, whole(dst.img), quality(5, 11, 11), quality(5, 11, 11));
  EXPECT_STREQ(p.filterX->name, "cubic");
  EXPECT_STREQ(p.filterY->name, "cubic");
  // 216 x (1/6, 4/6, 1/6) along both axes: 6, 24, 96 in the centre block.
  EXPECT_NEAR(fxtest::sampleAt(dst.img, 5, 5, 0), 96, 1);
  EXPECT_NEAR(fxtest::sampleAt(dst.img, 4, 5, 0), 24, 1);
  EXPECT_NEAR(fxtest::sampleAt(dst.img, 6, 4, 0), 6, 1);
  EXPECT_EQ(fxtest::sampleAt(dst.img, 3, 5, 0), 0u);
  fx::detail::WeightTable t;
  fx::detail::buildWeightTable(*p.filterX, p.px, 5.5, 11, true, t);
  EXPECT_EQ(t.first, 4);
  EXPECT_EQ(t.weights, (std::vector<int32_t>{2731, 10923, 2730}));
}

TEST(Scaler, HalvingUsesTriangleAtScaleTwo) {
  std::mt19937 rng(5);
  TestImage src(16, 8, 1, 1, 0, rng, 255), dst(8, 4, 1, 1, 0, rng, 255);
  const ScalePlan p =
      plan(src.img, whole(src.img), dst.img, whole(dst.img), quality(5, 16, 8), quality(5, 8, 4));
  EXPECT_STREQ(p.filterX->name, "triangle");
  EXPECT_EQ(p.px.scale, 2.0);
  EXPECT_EQ(p.px.support, 2.0);
  EXPECT_EQ(p.px.width, 4);
  const fx::detail::WeightTables t =
      fx::detail::buildWeightTables(*p.filterX, p.px, p.m.ux, p.m.sx, int32_t(p.b.nx), int32_t(p.a.nx), true);
  // Interior: 1/8, 3/8, 3/8, 1/8 over the two covered pixels and their neighbours.
  EXPECT_EQ(t.first[3], 5);
  EXPECT_EQ(std::vector<int32_t>(t.weights.begin() + t.offset[3], t.weights.begin() + t.offset[3] + 4),
            (std::vector<int32_t>{2048, 6144, 6144, 2048}));
  // Left edge: the outer neighbour is missing, the rest renormalised to 3/7, 3/7, 1/7.
  EXPECT_EQ(t.first[0], 0);
  EXPECT_EQ(t.end[0], 3);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(t.weights[size_t(k)], 16384.0 * (k < 2 ? 3 : 1) / 7, 1.0);
}

TEST(Scaler, DoublingUsesCubicAtScaleOne) {
  std::mt19937 rng(6);
  TestImage src(5, 5, 4, 1, 0, rng, 255), dst(10, 10, 4, 1, 0, rng, 255);
  const ScalePlan p =
      plan(src.img, whole(src.img), dst.img, whole(dst.img), quality(5, 5, 10), quality(5, 5, 10));
  EXPECT_STREQ(p.filterX->name, "cubic");
  EXPECT_EQ(p.py.scale, 1.0);
  EXPECT_EQ(p.py.support, 2.0);
  EXPECT_EQ(p.py.width, 4);
}

TEST(Scaler, TriangleOnTheGridBecomesPoint) {
  std::mt19937 rng(7);
  TestImage src(20, 12, 4, 2, 1, rng, 32768), dst(20, 12, 4, 2, 0, rng, 32768);
  const fx::Rect sr{2, 3, 10, 13}, dr{1, 0, 9, 10};  // integral offset, same size
  ImageScaler::scaleRect(src.img, sr, dst.img, dr, 1);
  const ScalePlan p = plan(src.img, ScaleWindow::fromBounds(2, 3, 10, 13), dst.img,
                           ScaleWindow::fromBounds(1, 0, 9, 10), quality(1, 20, 20), quality(1, 12, 12));
  EXPECT_TRUE(p.point);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x)
      for (int k = 0; k < 4; ++k)
        ASSERT_EQ(fxtest::sampleAt(dst.img, x, y + 1, k), fxtest::sampleAt(src.img, x + 3, y + 2, k));
  // Half-pixel offsets keep the triangle.
  const ScalePlan q = plan(src.img, ScaleWindow::fromBounds(0, 0, 12, 20), dst.img,
                           ScaleWindow::fromBounds(0, 0, 12, 10), quality(1, 20, 20), quality(1, 12, 12));
  EXPECT_FALSE(q.point);
}

TEST(Scaler, ConstantImagesStayConstant) {
  std::mt19937 rng(8);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int iter = 0; iter < 120; ++iter) {
    const int channels = iter % 2 ? 4 : 1, bpc = (iter / 2) % 2 ? 2 : 1;
    const uint32_t value = bpc == 1 ? uint32_t(pick(0, 255)) : uint32_t(pick(0, 8192)) * 4;
    TestImage src(pick(1, 25), pick(1, 25), channels, bpc, 0, rng, 0);
    for (int y = 0; y < src.img.height; ++y)
      for (int x = 0; x < src.img.width; ++x)
        for (int k = 0; k < channels; ++k) fxtest::setSample(src.img, x, y, k, value);
    TestImage dst(pick(1, 40), pick(1, 40), channels, bpc, 0, rng, 0);
    const fx::Filter& fx = *fx::findFilter(kFilterNames[pick(0, 13)]);
    const fx::Filter& fy = *fx::findFilter(kFilterNames[pick(0, 13)]);
    ImageScaler::ImageReadInterface in(&src.img);
    ImageScaler::ImageWriteInterface out(&dst.img);
    fx::detail::scaleCore(in, out, whole(src.img), whole(dst.img), fx, fy);
    for (int y = 0; y < dst.img.height; ++y)
      for (int x = 0; x < dst.img.width; ++x)
        for (int k = 0; k < channels; ++k)
          ASSERT_EQ(fxtest::sampleAt(dst.img, x, y, k), value)
              << fx.name << "/" << fy.name << " iter " << iter;
  }
}

TEST(Scaler, AllZeroKernelTakesTheMiddleSample) {
  const fx::Filter& bessel = *fx::findFilter("bessel");
  const fx::detail::FilterPlacement p = fx::detail::placeFilter(bessel, 1.0);
  fx::detail::WeightTable t;
  fx::detail::buildWeightTable(bessel, p, 10.3, 40, true, t);
  // Range [trunc(10.3 - 3.2383 + 0.5), trunc(10.3 + 3.2383 + 0.5)) = [7, 14): middle 10.
  EXPECT_EQ(t.first, 10);
  EXPECT_EQ(t.end, 11);
  EXPECT_EQ(t.weights, std::vector<int32_t>{16384});
}

TEST(Scaler, SixteenBitResultsAreLimitedTo32768) {
  std::mt19937 rng(9);
  for (int channels : {1, 4}) {
    TestImage src(9, 7, channels, 2, 0, rng, 0);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 9; ++x)
        for (int k = 0; k < channels; ++k) fxtest::setSample(src.img, x, y, k, 65535);
    for (int code : {1, 2, 5}) {
      TestImage dst(4, 13, channels, 2, 0, rng, 0);
      ImageScaler::scaleImage(src.img, dst.img, code);
      for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 4; ++x) ASSERT_EQ(fxtest::sampleAt(dst.img, x, y, channels - 1), 32768u) << code;
    }
  }
}

TEST(Scaler, OrderFollowsTheMultiplicationCount) {
  std::mt19937 rng(10);
  TestImage square(100, 100, 1, 1, 0, rng, 255), narrow(10, 100, 1, 1, 0, rng, 255),
      flat(100, 10, 1, 1, 0, rng, 255);
  // Reducing the width: x first (20 x 10 x 100 + 4 x 10 x 100 < 4 x 100 x 100 + 20 x 10 x 100).
  EXPECT_TRUE(plan(square.img, whole(square.img), narrow.img, whole(narrow.img), quality(5, 100, 10),
                   quality(5, 100, 100))
                  .xFirst);
  EXPECT_FALSE(plan(square.img, whole(square.img), flat.img, whole(flat.img), quality(5, 100, 100),
                    quality(5, 100, 10))
                   .xFirst);
}

TEST(Scaler, NothingHappensForEmptyOrUnsupportedInput) {
  std::mt19937 rng(11);
  TestImage src(8, 8, 1, 1, 0, rng, 255), dst(5, 5, 1, 1, 1, rng, 255);
  const std::vector<uint8_t> before = dst.bytes;
  ImageScaler::scaleRect(src.img, fx::Rect{3, 3, 3, 7}, dst.img, dst.img.bounds, 5);  // empty source
  ImageScaler::scaleRect(src.img, src.img.bounds, dst.img, fx::Rect{2, 2, 2, 2}, 5);  // empty destination
  ImageScaler::scaleRect(src.img, fx::Rect{20, 20, 30, 30}, dst.img, dst.img.bounds,
                         5);                     // outside the source
  ImageScaler::scaleImage(src.img, dst.img, 9);  // no such quality
  TestImage wide(5, 5, 4, 1, 0, rng, 255);
  ImageScaler::scaleImage(src.img, wide.img, 5);  // formats differ
  EXPECT_EQ(dst.bytes, before);
  TestImage sameSizeWide(8, 8, 4, 1, 0, rng, 255);
  const std::vector<uint8_t> wideBefore = sameSizeWide.bytes;
  ImageScaler::scaleImage(src.img, sameSizeWide.img, 5);  // a copy would overrun the source rows
  EXPECT_EQ(sameSizeWide.bytes, wideBefore);
  ImageScaler::scaleRect(src.img, fx::Rect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, dst.img,
                         fx::Rect{INT32_MIN, 0, INT32_MAX, INT32_MAX}, 5);  // huge rectangles are clipped
}

}  // namespace
