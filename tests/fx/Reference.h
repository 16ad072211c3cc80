#pragma once

// Plain, slow references written straight from the definitions, for bit-exact comparison with the
// production kernels, plus small image helpers.

#include <cstdint>
#include <random>
#include <vector>

#include "fx/Filters.h"
#include "fx/PixelImage.h"
#include "fx/ScaleCore.h"

namespace fxtest {

// Sample k of pixel (x, y), 8 or 16 bits.
uint32_t sampleAt(const fx::PixelImage& img, int x, int y, int k);
void setSample(fx::PixelImage& img, int x, int y, int k, uint32_t v);

// An owning image with random rowBytes padding, every byte (padding too) random. 16-bit samples
// are drawn from 0..maxSample.
struct TestImage {
  std::vector<uint8_t> bytes;
  fx::PixelImage img;
  TestImage(int w, int h, int channels, int bpc, int padding, std::mt19937& rng, uint32_t maxSample);
  TestImage(const TestImage& other);
};

// Whole-memory equality including padding.
bool sameBytes(const TestImage& a, const TestImage& b);

// --- box blur ------------------------------------------------------------------------------------

// One line filtered by the weighted window mean: weights F inside |j - p| <= n - 1, d at
// |j - p| = n; cut windows divide exactly, middle outputs use the reciprocal with bias where
// e x max < 2^(shift + 1) and exact division otherwise.
std::vector<uint32_t> referenceBlurLine(const std::vector<uint32_t>& in, float half, int bpc,
                                        bool fullPrecisionFraction);

// The whole blur: passes of rows, then passes of columns, inside rect (already inside the image).
void referenceBlur(fx::PixelImage& img, const fx::Rect& rect, float radiusX, float radiusY, int passes);

// --- scaler --------------------------------------------------------------------------------------

struct RefTable {
  int first = 0, end = 0;
  std::vector<int64_t> w;
};

// The contribution list of one destination pixel, from the definition.
RefTable referenceWeights(const fx::Filter& f, double scale, double support, double cen, int len, bool trim);

// Expected destination after running plan on src over dst: every pixel of window b computed on its
// own from the reference tables and the two-pass sums of the plan's variant.
void referenceScale(const fx::detail::ScalePlan& plan, const fx::PixelImage& src, fx::PixelImage& dst);

}  // namespace fxtest
