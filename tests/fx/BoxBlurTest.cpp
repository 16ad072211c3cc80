#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "Reference.h"
#include "fx/BoxBlur.h"
#include "fx/BoxBlurNarrow.h"

namespace {

using fxtest::TestImage;

// A one-row 8-bit gray image over the given samples, blurred horizontally.
std::vector<uint32_t> blurRow(const std::vector<uint32_t>& line, float radius, int passes = 1, int bpc = 1) {
  std::mt19937 rng(1);
  TestImage t(int(line.size()), 1, 1, bpc, 0, rng, 0);
  for (size_t x = 0; x < line.size(); ++x) fxtest::setSample(t.img, int(x), 0, 0, line[x]);
  fx::BoxBlur blur;
  blur.setRadii(radius, 0.0f);
  blur.setExtraPasses(passes - 1);
  blur.apply(t.img, t.img.bounds);
  std::vector<uint32_t> out;
  for (size_t x = 0; x < line.size(); ++x) out.push_back(fxtest::sampleAt(t.img, int(x), 0, 0));
  return out;
}

// Every format against the weighted-window-mean reference over random sizes, rectangles, radii
// (fractional, whole, tiny, wider than the image, zero, negative, NaN) and pass counts.
class BoxBlurMatchesReference : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(BoxBlurMatchesReference, RandomImages) {
  const int channels = std::get<0>(GetParam()), bpc = std::get<1>(GetParam());
  std::mt19937 rng(1234 + channels * 10 + bpc);
  const float radii[] = {
      0.0f,  -3.0f, std::numeric_limits<float>::quiet_NaN(), 0.2f, 1.0f, 2.0f, 3.0f, 4.5f, 7.3f, 12.0f,
      33.3f, 1e6f,  std::numeric_limits<float>::infinity()};
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int iter = 0; iter < 120; ++iter) {
    const int w = pick(1, 45), h = pick(1, 45);
    TestImage img(w, h, channels, bpc, pick(0, 3), rng, bpc == 1 ? 255 : 65535);
    TestImage expected(img);
    fx::Rect r{pick(-3, h), pick(-3, w), pick(0, h + 3), pick(0, w + 3)};
    float rx = radii[pick(0, 12)], ry = radii[pick(0, 12)];
    if (pick(0, 2) == 0) rx = std::uniform_real_distribution<float>(0.0f, 30.0f)(rng);
    const int passes = pick(1, 3);

    fx::BoxBlur blur;
    blur.setRadii(rx, ry);
    blur.setExtraPasses(passes - 1);
    blur.apply(img.img, r);

    fx::Rect clipped{std::max(r.top, 0), std::max(r.left, 0), std::min(r.bottom, h), std::min(r.right, w)};
    if (clipped.bottom > clipped.top && clipped.right > clipped.left)
      fxtest::referenceBlur(expected.img, clipped, rx, ry, passes);
    ASSERT_TRUE(fxtest::sameBytes(img, expected))
        << "iter " << iter << " " << w << "x" << h << " rect " << r.top << "," << r.left << "," << r.bottom
        << "," << r.right << " radii " << rx << "," << ry << " passes " << passes;
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, BoxBlurMatchesReference,
                         ::testing::Combine(::testing::Values(1, 4), ::testing::Values(1, 2)));

// Wide images exercise the several-columns-at-once vertical pass (full blocks and a tail).
TEST(BoxBlur, WideImagesMatchReference) {
  std::mt19937 rng(99);
  for (int channels : {1, 4}) {
    for (int bpc : {1, 2}) {
      TestImage img(150, 37, channels, bpc, 1, rng, bpc == 1 ? 255 : 32768);
      TestImage expected(img);
      fx::BoxBlur blur;
      blur.setRadii(9.5f, 13.25f);
      blur.setExtraPasses(1);
      blur.apply(img.img, img.img.bounds);
      fxtest::referenceBlur(expected.img, img.img.bounds, 9.5f, 13.25f, 2);
      EXPECT_TRUE(fxtest::sameBytes(img, expected)) << channels << " " << bpc;
    }
  }
}

// Windows up to 127 taps run in 16-bit lanes: every whole-tap window sum of every such width gives
// the general middle output, and only narrow enough 8-bit windows take that form.
TEST(BoxBlur, NarrowQuotientEqualsGeneralOutput) {
  for (int32_t n = 2; n <= fx::detail::kMaxNarrowHalfWidth; ++n) {
    const fx::detail::BoxLineParams p = fx::detail::boxLineParams(float(n), 1000, 1, false);
    ASSERT_TRUE(fx::detail::narrowApplies(p)) << n;
    const fx::detail::NarrowLine k = fx::detail::narrowLine(p);
    for (uint32_t sum = 0; sum <= 255u * uint32_t(2 * n - 1); ++sum)
      ASSERT_EQ(fx::detail::narrowQuotient(sum, k), (256 * sum * uint32_t(p.recip) + uint32_t(p.bias)) >> 23)
          << "n " << n << " sum " << sum;
  }
  // Half-widths (radius / 2) past the 15-bit sums, a single tap (left unchanged), 16-bit samples.
  for (float half : {65.0f, 63.5f, 1.0f})
    EXPECT_FALSE(fx::detail::narrowApplies(fx::detail::boxLineParams(half, 1000, 1, false))) << half;
  EXPECT_TRUE(fx::detail::narrowApplies(fx::detail::boxLineParams(62.5f, 1000, 1, false)));
  EXPECT_FALSE(fx::detail::narrowApplies(fx::detail::boxLineParams(4.0f, 1000, 2, false)));
}

// Images wide and tall enough for whole vector groups, block tails and the widest 16-bit windows
// (whole taps: half-width 64, and 65 just past them; with end taps: 62.5, and 63.5 just past), with
// end taps of several weights, inside a rectangle off the image's corner, against the reference.
class BoxBlurNarrowWindows : public ::testing::TestWithParam<std::tuple<int, float, int>> {};

TEST_P(BoxBlurNarrowWindows, MatchReference) {
  const int channels = std::get<0>(GetParam()), passes = std::get<2>(GetParam());
  const float radius = std::get<1>(GetParam());
  std::mt19937 rng(uint32_t(channels * 1000 + radius * 10 + passes));
  TestImage img(171, 149, channels, 1, 3, rng, 255);
  TestImage expected(img);
  const fx::Rect rect{3, 5, 148, 169};
  fx::BoxBlur blur;
  blur.setRadii(radius, radius);
  blur.setExtraPasses(passes - 1);
  blur.apply(img.img, rect);
  fxtest::referenceBlur(expected.img, rect, radius, radius, passes);
  EXPECT_TRUE(fxtest::sameBytes(img, expected));
}

INSTANTIATE_TEST_SUITE_P(Widths, BoxBlurNarrowWindows,
                         ::testing::Combine(::testing::Values(1, 4),
                                            ::testing::Values(1.0f, 4.0f, 9.0f, 14.6f, 20.0f, 125.0f, 127.0f,
                                                              128.0f, 130.0f),
                                            ::testing::Values(1, 2)));

TEST(BoxBlur, WholeHalfWidthsUseFullTapsOnly) {
  const std::vector<uint32_t> spike = {0, 0, 0, 0, 90, 0, 0, 0, 0, 0};
  // Half-width 1 (radius 2): one tap of weight F, the line is unchanged.
  EXPECT_EQ(blurRow(spike, 2.0f), spike);
  // Half-width 2 (radius 4): the mean of 3 samples.
  EXPECT_EQ(blurRow(spike, 4.0f), (std::vector<uint32_t>{0, 0, 0, 30, 30, 30, 0, 0, 0, 0}));
  // Half-width 1.5 (radius 3): 3 full samples and two half-weight ones, W = 1024.
  const std::vector<uint32_t> spike2 = {0, 0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(blurRow(spike2, 3.0f), (std::vector<uint32_t>{0, 0, 0, 31, 63, 63, 63, 31, 0, 0, 0, 0}));
}

TEST(BoxBlur, SmallFractionGivesOneTapAndEndWeight25) {
  const fx::detail::BoxLineParams p = fx::detail::boxLineParams(0.1f, 8, 1, false);
  EXPECT_EQ(p.n, 1);
  EXPECT_EQ(p.frac, 25u);
  EXPECT_EQ(p.window, 306u);
  EXPECT_EQ(blurRow({255, 255, 255, 255, 255, 255, 255, 255}, 0.2f), std::vector<uint32_t>(8, 255));
  // 100 x 25 / 306 and 100 x 256 / 306, truncated.
  EXPECT_EQ(blurRow({0, 0, 0, 100, 0, 0, 0, 0}, 0.2f), (std::vector<uint32_t>{0, 0, 8, 83, 8, 0, 0, 0}));
}

TEST(BoxBlur, ReciprocalOvershootKeptAtHalfWidth100) {
  const std::vector<uint32_t> zeros(400, 0);
  const std::vector<uint32_t> out = blurRow(zeros, 200.0f);
  for (int p = 0; p < 400; ++p) EXPECT_EQ(out[size_t(p)], (p >= 101 && p <= 299) ? 1u : 0u) << p;
  const fx::detail::BoxLineParams prm = fx::detail::boxLineParams(100.0f, 400, 1, false);
  EXPECT_TRUE(prm.useRecip);
  EXPECT_EQ(prm.recip, 164u);
}

TEST(BoxBlur, WideWindowsDivideExactly) {
  // Half-width 1000: the reciprocal would add 6 levels to a line of 0.
  EXPECT_EQ(blurRow(std::vector<uint32_t>(3000, 0), 2000.0f), std::vector<uint32_t>(3000, 0));
  // Beyond 16384 the reciprocal is 0; every middle output must still be the mean.
  EXPECT_EQ(blurRow(std::vector<uint32_t>(40000, 0), 40000.0f), std::vector<uint32_t>(40000, 0));
  EXPECT_EQ(blurRow(std::vector<uint32_t>(40000, 200), 40000.0f), std::vector<uint32_t>(40000, 200));
  // 8-bit sums beyond 32 bits (n > 32896) switch to 64-bit sums.
  const fx::detail::BoxLineParams wide = fx::detail::boxLineParams(40000.0f, 100000, 1, false);
  EXPECT_TRUE(wide.wideSums);
  EXPECT_EQ(blurRow(std::vector<uint32_t>(100000, 255), 80000.0f), std::vector<uint32_t>(100000, 255));
  // 16-bit: the reciprocal stays while e x 65535 < 2^48.
  EXPECT_EQ(blurRow(std::vector<uint32_t>(3000, 0), 2000.0f, 1, 2), std::vector<uint32_t>(3000, 0));
  std::vector<uint32_t> ramp(3000);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = uint32_t(i * 7 % 256);
  EXPECT_EQ(blurRow(ramp, 2000.0f), fxtest::referenceBlurLine(ramp, 1000.0f, 1, false));
}

// The end outputs divide by a double reciprocal; the hardest cases are sums next to a multiple of
// the divisor, checked for divisors spread over the whole allowed range.
TEST(BoxBlur, ReciprocalDivisionIsExact) {
  std::mt19937 rng(21);
  std::vector<uint32_t> divisors = {1, 2, 3, 255, 256, 257, 306, 50944, fx::detail::kMaxReciprocalDivisor};
  for (int i = 0; i < 2000; ++i)
    divisors.push_back(std::uniform_int_distribution<uint32_t>(1, fx::detail::kMaxReciprocalDivisor)(rng));
  for (uint32_t d : divisors) {
    const double inverse = 1.0 / d;
    for (uint32_t q = 0; q <= 255; ++q)
      for (int64_t delta : {-1, 0, 1}) {
        const int64_t s = int64_t(q) * d + delta;
        if (s < 0 || s > int64_t(255) * d) continue;
        ASSERT_EQ(fx::detail::quotientByReciprocal(uint32_t(s), inverse), uint32_t(s / d)) << s << " / " << d;
      }
  }
}

TEST(BoxBlur, HalfWidthLimitedByLineLength) {
  EXPECT_EQ(fx::detail::boxLineParams(50.0f, 10, 1, false).n, 4);
  const std::vector<uint32_t> line = {10, 200, 30, 40, 250, 60, 0, 80, 90, 255};
  EXPECT_EQ(blurRow(line, 100.0f), blurRow(line, 8.0f));
}

TEST(BoxBlur, TwoPassesMakeATent) {
  std::vector<uint32_t> line(41, 0);
  line[20] = 255;
  const std::vector<uint32_t> out = blurRow(line, 6.0f, 2);  // box of 5, twice
  for (int p = 0; p < 41; ++p) {
    EXPECT_EQ(out[size_t(p)], out[size_t(40 - p)]) << p;
    const bool inside = std::abs(p - 20) <= 4;
    EXPECT_EQ(out[size_t(p)] > 0, inside) << p;
    if (inside && p < 20) {
      EXPECT_LT(out[size_t(p)], out[size_t(p + 1)]) << p;
    }
  }
  EXPECT_EQ(out[20], 51u);
}

TEST(BoxBlur, HugeInfiniteAndNaNRadiiAreSafe) {
  std::mt19937 rng(5);
  TestImage img(30, 20, 4, 1, 2, rng, 255);
  TestImage original(img);
  fx::BoxBlur blur;
  blur.setRadii(std::numeric_limits<float>::quiet_NaN(), -1.0f);
  blur.apply(img.img, img.img.bounds);
  EXPECT_TRUE(fxtest::sameBytes(img, original));

  TestImage a(original), b(original);
  blur.setRadii(std::numeric_limits<float>::infinity(), 3e38f);
  blur.apply(a.img, a.img.bounds);
  blur.setRadii(1e9f, 1e12f);
  blur.apply(b.img, b.img.bounds);
  EXPECT_TRUE(fxtest::sameBytes(a, b));  // all clamp to L / 2 - 1 with no fraction
}

TEST(BoxBlur, ShortLinesAreLeftUnchanged) {
  EXPECT_EQ(blurRow({9, 200, 3}, 10.0f), (std::vector<uint32_t>{9, 200, 3}));
  EXPECT_EQ(fx::detail::boxLineParams(10.0f, 3, 1, false).n, 0);
  EXPECT_EQ(fx::detail::boxLineParams(10.0f, 4, 1, false).n, 1);
}

TEST(BoxBlur, ScratchIsReusedAcrossImages) {
  std::mt19937 rng(8);
  fx::BoxBlur blur;
  blur.setRadii(5.0f, 7.0f);
  for (int size : {50, 10, 80}) {
    TestImage img(size, size / 2 + 1, 1, 1, 0, rng, 255);
    TestImage expected(img);
    blur.apply(img.img, img.img.bounds);
    fxtest::referenceBlur(expected.img, img.img.bounds, 5.0f, 7.0f, 1);
    EXPECT_TRUE(fxtest::sameBytes(img, expected)) << size;
  }
}

TEST(BoxBlur, RejectsUnsupportedFormats) {
  std::vector<uint8_t> mem(64);
  fx::PixelImage rgb(4, 4, 3, 1, 0, mem.data());
  fx::BoxBlur blur;
  blur.setRadii(4.0f, 4.0f);
  EXPECT_THROW(blur.apply(rgb, rgb.bounds), std::invalid_argument);
  fx::PixelImage odd(4, 2, 1, 2, 9, mem.data());
  EXPECT_THROW(blur.apply(odd, odd.bounds), std::invalid_argument);
}

}  // namespace
