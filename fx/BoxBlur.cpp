// Iterated box blur with fractional end taps.
//
// Output p of a line is sum(w_j s_j) / sum(w_j) with w = F for |j - p| <= n - 1, w = d for
// |j - p| = n, over the samples inside the line. Outputs whose window is cut by an end of the line
// divide exactly; the middle ones multiply by R = floor(2^shift / W) and add the bias
// B = max x (2^shift - R W), which can only round up: for S <= max x W the result is
// floor(S/W + e (max - S/W) / 2^shift) with e = 2^shift - R W. It is used only while
// e x max < 2^(shift + 1), i.e. at most one level too high on a constant line; wider windows
// divide exactly.
//
// Both directions work on several lanes at once: a row keeps a prefix sum of its samples (so
// outputs can be written over the input and the middle loop has no serial dependency), and a
// vertical pass filters a block of columns together, from a copy of the block.

#include "fx/BoxBlur.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "fx/Lanes.h"

namespace fx {

namespace detail {

BoxLineParams boxLineParams(float half, int64_t length, int32_t bytesPerChannel, bool fullPrecisionFraction) {
  BoxLineParams p;
  if (!(half > 0.0f)) return p;  // also NaN
  const double ceilHalf = std::ceil(static_cast<double>(half));  // exact, may be infinite
  const double excess = ceilHalf - static_cast<double>(half);
  const double fraction = excess > 0.0 ? 1.0 - excess : 0.0;  // from the unclamped half-width
  const int64_t limit = length / 2 - 1;
  p.n = static_cast<int32_t>(ceilHalf < static_cast<double>(limit) ? static_cast<int64_t>(ceilHalf) : limit);
  if (p.n < 1) {
    p.n = 0;
    return p;
  }
  const bool eight = bytesPerChannel == 1;
  p.full = eight ? 256u : 65536u;
  const double scaled = fullPrecisionFraction ? fraction : static_cast<double>(static_cast<float>(fraction));
  p.frac = static_cast<uint32_t>(scaled * p.full);  // fraction in [0, 1): truncation is in range
  p.window = uint64_t{p.full} * (2 * uint64_t(p.n) - 1) + 2 * uint64_t{p.frac};
  p.shift = eight ? 23 : 47;
  const uint64_t one = uint64_t{1} << p.shift;
  const uint64_t maxSample = eight ? 255 : 65535;
  p.recip = one / p.window;
  const uint64_t e = one - p.recip * p.window;
  p.bias = maxSample * e;
  p.useRecip = e * maxSample < (one << 1);
  p.wideSums = eight && maxSample * p.window >= (uint64_t{1} << 32);
  return p;
}

}  // namespace detail

namespace {

using detail::BoxLineParams;

template <class Sample>
constexpr int kShift = sizeof(Sample) == 1 ? 23 : 47;

// One row of CH interleaved channels, in place. P holds (L + 1) x CH prefix sums.
template <class Sample, class Sum, int CH>
void filterRow(Sample* row, int32_t L, const BoxLineParams& prm, Sum* P) {
  for (int c = 0; c < CH; ++c) P[c] = 0;
  for (size_t q = 0, qEnd = size_t(L) * CH; q < qEnd; ++q) P[q + CH] = P[q] + Sum(row[q]);

  const int32_t n = prm.n;
  const Sum F = prm.full, d = prm.frac;
  // Window cut by an end of the line: exact division by the weights that remain.
  auto edgeOutput = [&](int32_t p) {
    const int32_t innerLo = std::max(0, p - n + 1), innerHi = std::min(L, p + n);  // prefix bounds
    const bool hasLeft = p - n >= 0, hasRight = p + n <= L - 1;
    const Sum D = F * Sum(innerHi - innerLo) + d * (Sum(hasLeft) + Sum(hasRight));
    if constexpr (CH == 4) {
      using L4 = Lanes4<Sum, Sample>;
      auto at = [&](int32_t i) { const Sum* s = P + size_t(i) * 4; return L4(s[0], s[1], s[2], s[3]); };
      L4 edges;
      if (hasLeft) edges += at(p - n + 1) - at(p - n);
      if (hasRight) edges += at(p + n + 1) - at(p + n);
      const L4 S = (at(innerHi) - at(innerLo)) * F + edges * d;
      (S / D).store(row + size_t(p) * 4);
    } else {
      Sum edges = 0;
      if (hasLeft) edges += P[p - n + 1] - P[p - n];
      if (hasRight) edges += P[p + n + 1] - P[p + n];
      row[p] = static_cast<Sample>((F * (P[innerHi] - P[innerLo]) + d * edges) / D);
    }
  };
  for (int32_t p = 0; p <= n; ++p) edgeOutput(p);

  // Middle: every tap inside the line.
  const ptrdiff_t kIn = ptrdiff_t(1 - n) * CH, kOut = ptrdiff_t(n) * CH;
  const size_t q0 = size_t(n + 1) * CH, q1 = size_t(L - n) * CH;
  if (prm.useRecip) {
    const Sum R = static_cast<Sum>(prm.recip), B = static_cast<Sum>(prm.bias);
    for (size_t q = q0; q < q1; ++q) {
      const Sum a = P[q + kIn], b = P[q + kOut];
      const Sum S = F * (b - a) + d * (a - P[q - kOut] + P[q + kOut + CH] - b);
      row[q] = static_cast<Sample>((S * R + B) >> kShift<Sample>);
    }
  } else {
    const Sum W = static_cast<Sum>(prm.window);
    for (size_t q = q0; q < q1; ++q) {
      const Sum a = P[q + kIn], b = P[q + kOut];
      const Sum S = F * (b - a) + d * (a - P[q - kOut] + P[q + kOut + CH] - b);
      row[q] = static_cast<Sample>(S / W);
    }
  }
  for (int32_t p = std::max(L - n, n + 1); p < L; ++p) edgeOutput(p);
}

// A block of M lanes (adjacent samples of a row) filtered down L rows. out points at the block in
// the first row, stride samples apart; copy receives the block's input, L x M samples.
template <class Sample, class Sum, size_t MFIX>
void filterBlock(Sample* out, ptrdiff_t stride, size_t mRuntime, int32_t L, const BoxLineParams& prm,
                 Sample* copy) {
  const size_t M = MFIX ? MFIX : mRuntime;
  for (int32_t p = 0; p < L; ++p) std::memcpy(copy + size_t(p) * M, out + p * stride, M * sizeof(Sample));

  constexpr size_t kMaxLanes = 64;
  Sum T[kMaxLanes];  // inner window sum, taps p - n + 1 .. p + n - 1 inside the line
  const int32_t n = prm.n;
  const Sum F = prm.full, d = prm.frac;
  for (size_t m = 0; m < M; ++m) T[m] = 0;
  for (int32_t j = 0; j < n; ++j)
    for (size_t m = 0; m < M; ++m) T[m] += Sum(copy[size_t(j) * M + m]);

  auto row = [&](int32_t j) { return copy + size_t(j) * M; };
  auto edgeOutput = [&](int32_t p) {
    const int32_t lo = p - n, hi = p + n;
    const bool hasLeft = lo >= 0, hasRight = hi <= L - 1;
    const Sum D = F * Sum(std::min(L - 1, hi - 1) - std::max(0, lo + 1) + 1) + d * (Sum(hasLeft) + Sum(hasRight));
    Sample* o = out + p * stride;
    const Sample* sl = hasLeft ? row(lo) : nullptr;
    const Sample* sh = hasRight ? row(hi) : nullptr;
    for (size_t m = 0; m < M; ++m) {
      const Sum edges = (sl ? Sum(sl[m]) : 0) + (sh ? Sum(sh[m]) : 0);
      o[m] = static_cast<Sample>((F * T[m] + d * edges) / D);
    }
    if (hasRight)
      for (size_t m = 0; m < M; ++m) T[m] += Sum(sh[m]);
    if (lo + 1 >= 0) {
      const Sample* s = row(lo + 1);
      for (size_t m = 0; m < M; ++m) T[m] -= Sum(s[m]);
    }
  };
  for (int32_t p = 0; p <= n; ++p) edgeOutput(p);

  const int32_t pEnd = L - n;
  if (prm.useRecip) {
    const Sum R = static_cast<Sum>(prm.recip), B = static_cast<Sum>(prm.bias);
    for (int32_t p = n + 1; p < pEnd; ++p) {
      const Sample* sl = row(p - n);
      const Sample* sl1 = row(p - n + 1);
      const Sample* sh = row(p + n);
      Sample* o = out + p * stride;
      for (size_t m = 0; m < M; ++m) {
        const Sum S = F * T[m] + d * (Sum(sl[m]) + Sum(sh[m]));
        o[m] = static_cast<Sample>((S * R + B) >> kShift<Sample>);
        T[m] += Sum(sh[m]) - Sum(sl1[m]);
      }
    }
  } else {
    const Sum W = static_cast<Sum>(prm.window);
    for (int32_t p = n + 1; p < pEnd; ++p) {
      const Sample* sl = row(p - n);
      const Sample* sl1 = row(p - n + 1);
      const Sample* sh = row(p + n);
      Sample* o = out + p * stride;
      for (size_t m = 0; m < M; ++m) {
        const Sum S = F * T[m] + d * (Sum(sl[m]) + Sum(sh[m]));
        o[m] = static_cast<Sample>(S / W);
        T[m] += Sum(sh[m]) - Sum(sl1[m]);
      }
    }
  }
  for (int32_t p = std::max(pEnd, n + 1); p < L; ++p) edgeOutput(p);
}

constexpr size_t kBlockBytes = 64;

template <class Sample, class Sum>
void horizontalPass(PixelImage& img, const Rect& r, const BoxLineParams& prm, uint8_t* scratch) {
  const int32_t L = r.right - r.left;
  Sum* P = reinterpret_cast<Sum*>(scratch);
  for (int32_t y = r.top; y < r.bottom; ++y) {
    Sample* row = reinterpret_cast<Sample*>(img.pixel(r.left, y));
    if (img.channels == 1) filterRow<Sample, Sum, 1>(row, L, prm, P);
    else filterRow<Sample, Sum, 4>(row, L, prm, P);
  }
}

template <class Sample, class Sum>
void verticalPass(PixelImage& img, const Rect& r, const BoxLineParams& prm, uint8_t* scratch) {
  const int32_t L = r.bottom - r.top;
  constexpr size_t kLanes = kBlockBytes / sizeof(Sample);
  const size_t total = size_t(r.right - r.left) * size_t(img.channels);  // samples per row
  const ptrdiff_t stride = img.rowBytes / ptrdiff_t(sizeof(Sample));
  Sample* copy = reinterpret_cast<Sample*>(scratch);
  Sample* base = reinterpret_cast<Sample*>(img.pixel(r.left, r.top));
  size_t m0 = 0;
  for (; m0 + kLanes <= total; m0 += kLanes) filterBlock<Sample, Sum, kLanes>(base + m0, stride, kLanes, L, prm, copy);
  if (m0 < total) filterBlock<Sample, Sum, 0>(base + m0, stride, total - m0, L, prm, copy);
}

template <class Sample>
void runPasses(PixelImage& img, const Rect& r, float half, bool vertical, int64_t passes, uint8_t* scratch) {
  const int32_t L = vertical ? r.bottom - r.top : r.right - r.left;
  // The fraction is rounded to a 32-bit float except in the vertical pass of 1-channel 8-bit images.
  const bool fullPrecision = vertical && sizeof(Sample) == 1 && img.channels == 1;
  const BoxLineParams prm = detail::boxLineParams(half, L, int32_t(sizeof(Sample)), fullPrecision);
  if (prm.n < 1) return;
  for (int64_t i = 0; i < passes; ++i) {
    if constexpr (sizeof(Sample) == 1) {
      if (!prm.wideSums) {  // 32-bit sums suffice: 255 W < 2^32
        if (vertical) verticalPass<Sample, uint32_t>(img, r, prm, scratch);
        else horizontalPass<Sample, uint32_t>(img, r, prm, scratch);
        continue;
      }
    }
    if (vertical) verticalPass<Sample, uint64_t>(img, r, prm, scratch);
    else horizontalPass<Sample, uint64_t>(img, r, prm, scratch);
  }
}

}  // namespace

void BoxBlur::reserveScratch(size_t bytes) {
  if (bytes <= scratchCapacity_) return;
  scratch_.reset();
  scratchCapacity_ = 0;
  scratch_.reset(new uint8_t[bytes]);
  scratchCapacity_ = bytes;
}

void BoxBlur::apply(PixelImage& image, const Rect& rect) {
  const bool formatOk = (image.channels == 1 || image.channels == 4) &&
                        (image.bytesPerChannel == 1 || image.bytesPerChannel == 2) &&
                        image.bytesPerPixel == image.channels * image.bytesPerChannel;
  if (!formatOk) throw std::invalid_argument("BoxBlur: only 1 or 4 channels of 8 or 16 bits");
  if (int64_t{image.rowBytes} < int64_t{image.width} * image.bytesPerPixel)
    throw std::invalid_argument("BoxBlur: rows shorter than their pixels");
  if (image.bytesPerChannel == 2 &&
      ((reinterpret_cast<uintptr_t>(image.data) | static_cast<uintptr_t>(image.rowBytes)) & 1u) != 0)
    throw std::invalid_argument("BoxBlur: 16-bit samples must be 2-byte aligned");

  Rect r;
  r.top = std::max(rect.top, 0);
  r.left = std::max(rect.left, 0);
  r.bottom = std::min(rect.bottom, image.height);
  r.right = std::min(rect.right, image.width);
  if (image.data == nullptr || r.bottom <= r.top || r.right <= r.left) return;

  const float hx = radiusX * 0.5f;
  const float hy = radiusY * 0.5f;
  const int64_t passes = int64_t{extraPasses} + 1;
  if (passes <= 0 || (!(hx > 0.0f) && !(hy > 0.0f))) return;

  // Scratch: the prefix sums of one row (8 bytes a sample at most) or the copy of one block of
  // columns (kBlockBytes a row).
  const size_t width = size_t(r.right - r.left), height = size_t(r.bottom - r.top);
  const size_t rowBytes = (width + 1) * size_t(image.channels) * sizeof(uint64_t);
  const size_t blockBytes = height * kBlockBytes;
  reserveScratch(std::max(rowBytes, blockBytes));

  uint8_t* scratch = scratch_.get();
  if (image.bytesPerChannel == 1) {
    if (hx > 0.0f) runPasses<uint8_t>(image, r, hx, false, passes, scratch);
    if (hy > 0.0f) runPasses<uint8_t>(image, r, hy, true, passes, scratch);
  } else {
    if (hx > 0.0f) runPasses<uint16_t>(image, r, hx, false, passes, scratch);
    if (hy > 0.0f) runPasses<uint16_t>(image, r, hy, true, passes, scratch);
  }
}

}  // namespace fx
