#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "fx/Filters.h"

namespace {

TEST(Filters, TableHoldsTheFourteenNamesInOrder) {
  const char* names[] = {"point",    "box",  "triangle", "quadratic", "cubic",   "catrom",   "mitchell",
                         "gaussian", "sinc", "bessel",   "hanning",   "hamming", "blackman", "kaiser"};
  const double supports[] = {0.0, 0.5, 1.0, 1.5, 2.0, 2.0, 2.0, 1.25, 4.0, 3.2383, 1.0, 1.0, 1.0, 1.0};
  const bool cardinal[] = {true,  true, true,  false, false, true, false,
                           false, true, false, true,  true,  true, true};
  const fx::Filter* previous = nullptr;
  for (int i = 0; i < 14; ++i) {
    const fx::Filter* f = fx::findFilter(names[i]);
    ASSERT_NE(f, nullptr) << names[i];
    EXPECT_EQ(std::string(f->name), names[i]);
    EXPECT_EQ(f->support, supports[i]) << names[i];
    EXPECT_EQ(f->cardinal, cardinal[i]) << names[i];
    EXPECT_EQ(f->blur, 1.0);
    if (previous != nullptr) {
      EXPECT_EQ(f, previous + 1);  // table order
    }
    previous = f;
  }
  EXPECT_EQ(fx::findFilter("Cubic"), nullptr);
  EXPECT_EQ(fx::findFilter("lanczos"), nullptr);
  EXPECT_EQ(fx::findFilter(""), nullptr);
  EXPECT_EQ(fx::findFilter(nullptr), nullptr);
}

TEST(Filters, PiecesIncludeTheirLeftEndOnly) {
  const fx::Filter& point = *fx::findFilter("point");
  EXPECT_EQ(point(-0.5), 1.0);
  EXPECT_EQ(point(0.5), 0.0);
  const fx::Filter& box = *fx::findFilter("box");
  EXPECT_EQ(box(-0.5), 1.0);
  EXPECT_EQ(box(0.4999), 1.0);
  const fx::Filter& triangle = *fx::findFilter("triangle");
  EXPECT_EQ(triangle(-1.0), 0.0);
  EXPECT_EQ(triangle(-0.25), 0.75);
  EXPECT_EQ(triangle(0.0), 1.0);
  EXPECT_EQ(triangle(1.0), 0.0);
  const fx::Filter& quadratic = *fx::findFilter("quadratic");
  EXPECT_EQ(quadratic(-1.5), 0.0);
  EXPECT_EQ(quadratic(-0.5), 0.5);
  EXPECT_EQ(quadratic(0.0), 0.75);
  EXPECT_EQ(quadratic(1.5), 0.0);
}

TEST(Filters, CubicsHaveTheirKnownValues) {
  const fx::Filter& cubic = *fx::findFilter("cubic");
  EXPECT_DOUBLE_EQ(cubic(0.0), 4.0 / 6.0);
  EXPECT_DOUBLE_EQ(cubic(-1.0), 1.0 / 6.0);
  EXPECT_EQ(cubic(2.0), 0.0);
  const fx::Filter& catrom = *fx::findFilter("catrom");
  EXPECT_EQ(catrom(0.0), 1.0);
  EXPECT_EQ(catrom(1.0), 0.0);
  EXPECT_DOUBLE_EQ(catrom(0.5), 0.5625);
  EXPECT_DOUBLE_EQ(catrom(1.5), -0.0625);

  const fx::Filter& mitchell = *fx::findFilter("mitchell");
  const double* c = static_cast<const double*>(mitchell.params);
  ASSERT_NE(c, nullptr);
  EXPECT_DOUBLE_EQ(c[0], 8.0 / 9.0);
  EXPECT_DOUBLE_EQ(c[1], -2.0);
  EXPECT_DOUBLE_EQ(c[2], 7.0 / 6.0);
  EXPECT_DOUBLE_EQ(c[3], 16.0 / 9.0);
  EXPECT_DOUBLE_EQ(c[4], -10.0 / 3.0);
  EXPECT_DOUBLE_EQ(c[5], 2.0);
  EXPECT_DOUBLE_EQ(c[6], -7.0 / 18.0);
  EXPECT_DOUBLE_EQ(mitchell(0.0), 8.0 / 9.0);
  EXPECT_NEAR(mitchell(1.0), 1.0 / 18.0, 1e-12);
  EXPECT_NEAR(mitchell(-1.0), 1.0 / 18.0, 1e-12);
  EXPECT_EQ(mitchell(2.0), 0.0);
  EXPECT_EQ(mitchell(-2.5), 0.0);
  EXPECT_NEAR(mitchell(-1.999999), 0.0, 1e-9);
}

TEST(Filters, WindowsAndBellCurves) {
  const double pi = 3.14159265358979323846;
  EXPECT_DOUBLE_EQ((*fx::findFilter("gaussian"))(0.0), std::sqrt(2.0 / pi));
  EXPECT_DOUBLE_EQ((*fx::findFilter("gaussian"))(1.0), std::exp(-2.0) * std::sqrt(2.0 / pi));
  EXPECT_EQ((*fx::findFilter("sinc"))(0.0), 1.0);
  EXPECT_NEAR((*fx::findFilter("sinc"))(0.5), 2.0 / pi, 1e-15);
  EXPECT_EQ((*fx::findFilter("bessel"))(0.0), 0.0);
  EXPECT_EQ((*fx::findFilter("bessel"))(1.3), 0.0);
  EXPECT_DOUBLE_EQ((*fx::findFilter("hanning"))(0.5), 0.5);
  EXPECT_DOUBLE_EQ((*fx::findFilter("hamming"))(1.0), 0.08);
  EXPECT_NEAR((*fx::findFilter("blackman"))(1.0), 0.0, 1e-15);
}

TEST(Filters, KaiserUsesTheSeriesAsWritten) {
  const fx::Filter& kaiser = *fx::findFilter("kaiser");
  const double* c = static_cast<const double*>(kaiser.params);
  EXPECT_EQ(c[0], 6.5);
  EXPECT_NEAR(1.0 / c[1], 106.292858, 1e-5);  // I0(6.5)
  EXPECT_NEAR(kaiser(0.0), 1.0, 1e-7);
  // At the edge the argument is 0: the kernel's loop adds no term (1 / I0(6.5) exactly).
  EXPECT_EQ(kaiser(1.0), c[1]);
  // The normaliser adds the first term unconditionally; the kernel checks it first.
  EXPECT_EQ(fx::detail::besselI0(0.0, true), 1.0);
  EXPECT_EQ(fx::detail::besselI0(1e-4, false), 1.0);  // t = 2.5e-9 is below 1e-7
  EXPECT_EQ(fx::detail::besselI0(1e-4, true), 1.0 + 2.5e-9);
  EXPECT_NEAR(fx::detail::besselI0(2.0, false), 2.2795853, 1e-6);
}

}  // namespace
