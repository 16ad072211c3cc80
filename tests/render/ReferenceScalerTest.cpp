// The image library's scaler, as the light engine calls it (one 8-bit plane,
// automatic quality), against the reference pipeline's plain scaler, whose
// mapping, clipping, reach limit, kernel simplification and pass order are
// all worked out again from the definitions. The end-to-end tests reach only
// a few sizes; this sweeps many small ones, sub-rectangles and offsets.
#include <gtest/gtest.h>

#include <random>

#include "fx/ImageScaler.h"
#include "fx/PixelImage.h"
#include "reference/ReferencePipeline.h"

namespace veyra {
namespace {

using reftest::Box;
using reftest::Plane;

Plane randomPlane(int w, int h, std::mt19937& rng) {
  Plane p(w, h);
  for (auto& v : p.px) v = static_cast<uint8_t>(rng());
  return p;
}

// The library's result for the same call, over a copy of dst's bytes.
Plane libraryScale(const Plane& src, const Box* from, const Plane& dst, const Box* to) {
  Plane out = dst;
  Plane in = src;
  fx::PixelImage s, d;
  s.init(in.width, in.height, 1, 1, in.width, in.px.data());
  d.init(out.width, out.height, 1, 1, out.width, out.px.data());
  if (from == nullptr) {
    fx::ImageScaler::scaleImage(s, d, 5);
  } else {
    fx::ImageScaler::scaleRect(s, fx::Rect{from->top, from->left, from->bottom, from->right}, d,
                               fx::Rect{to->top, to->left, to->bottom, to->right}, 5);
  }
  s.data = nullptr;  // borrowed
  d.data = nullptr;
  return out;
}

// Whole images of every small size pair, each axis reduced, kept or enlarged.
TEST(ReferenceScaler, WholeImagesMatchTheLibrary) {
  std::mt19937 rng(11);
  int compared = 0;
  for (int sw = 1; sw <= 13; sw += 3)
    for (int sh = 1; sh <= 13; sh += 4)
      for (int dw = 1; dw <= 30; dw += 7)
        for (int dh = 1; dh <= 30; dh += 5) {
          const Plane src = randomPlane(sw, sh, rng);
          const Plane dst = randomPlane(dw, dh, rng);
          Plane expected = dst;
          reftest::scaleImage(src, expected);
          ASSERT_EQ(libraryScale(src, nullptr, dst, nullptr).px, expected.px)
              << sw << "x" << sh << " to " << dw << "x" << dh;
          ++compared;
        }
  EXPECT_EQ(compared, 5 * 4 * 5 * 6);
}

// Tiles cut from a canvas of another size, as the engine maps them: random
// source rectangles into random destination rectangles, sizes on both sides
// of the source's.
TEST(ReferenceScaler, RectanglesMatchTheLibrary) {
  std::mt19937 rng(12);
  for (int i = 0; i < 300; ++i) {
    const int sw = 1 + static_cast<int>(rng() % 40), sh = 1 + static_cast<int>(rng() % 40);
    const int dw = 1 + static_cast<int>(rng() % 40), dh = 1 + static_cast<int>(rng() % 40);
    const Plane src = randomPlane(sw, sh, rng);
    const Plane dst = randomPlane(dw, dh, rng);
    auto span = [&rng](int size, int& lo, int& hi) {
      lo = static_cast<int>(rng() % static_cast<unsigned>(size));
      hi = lo + 1 + static_cast<int>(rng() % static_cast<unsigned>(size - lo));
    };
    Box from, to;
    span(sw, from.left, from.right);
    span(sh, from.top, from.bottom);
    span(dw, to.left, to.right);
    span(dh, to.top, to.bottom);
    Plane expected = dst;
    reftest::scaleRect(src, from, expected, to);
    ASSERT_EQ(libraryScale(src, &from, dst, &to).px, expected.px)
        << "case " << i << ": " << sw << "x" << sh << " [" << from.top << "," << from.left << ","
        << from.bottom << "," << from.right << "] to " << dw << "x" << dh << " [" << to.top << "," << to.left
        << "," << to.bottom << "," << to.right << "]";
  }
}

}  // namespace
}  // namespace veyra
