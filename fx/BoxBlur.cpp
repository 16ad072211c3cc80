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
#include <utility>

#include "fx/BoxBlurNarrow.h"
#include "fx/ColumnPasses.h"
#include "fx/Lanes.h"
#include "fx/Simd.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define FX_X86 1
#else
#define FX_X86 0
#endif

namespace fx {

namespace detail {

BoxLineParams boxLineParams(float half, int64_t length, int32_t bytesPerChannel, bool fullPrecisionFraction) {
  BoxLineParams p;
  if (!(half > 0.0f)) return p;                                  // also NaN
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

// Near the ends the divisor changes with every output: 8-bit sums (32-bit) divide by a multiply
// with the double reciprocal while D <= 2^23 (see quotientByReciprocal); the rest divide.
template <class Sum>
FX_ALWAYS_INLINE bool exactByDouble(Sum D) {
  return sizeof(Sum) == 4 && D <= detail::kMaxReciprocalDivisor;
}

// Middle outputs of a row from the prefix sums: every tap inside the line. RECIP: (S R + B) >> shift;
// otherwise exact division by W (passed as R). FRAC false: the end taps weigh 0 (d = 0) and are
// not read.
template <class Sample, class Sum, int CH, bool RECIP, bool FRAC>
FX_ALWAYS_INLINE void rowMiddleLoop(const Sum* __restrict P, Sample* __restrict row, size_t q0, size_t q1,
                                    ptrdiff_t kIn, ptrdiff_t kOut, Sum F, Sum d, Sum R, Sum B) {
  if (RECIP && FRAC) {
    // S = F I + d (O - I) = (F - d) I + d O with I the inner and O the outer box sum, so
    // S R = I (F - d) R + O d R: the same value with one multiplication fewer per sample.
    const Sum R1 = (F - d) * R, R2 = d * R;
    for (size_t q = q0; q < q1; ++q) {
      const Sum inner = P[q + kOut] - P[q + kIn], outer = P[q + kOut + CH] - P[q - kOut];
      row[q] = static_cast<Sample>((inner * R1 + outer * R2 + B) >> kShift<Sample>);
    }
    return;
  }
  for (size_t q = q0; q < q1; ++q) {
    const Sum a = P[q + kIn], b = P[q + kOut];
    Sum S = F * (b - a);
    if (FRAC) S += d * (a - P[q - kOut] + P[q + kOut + CH] - b);
    row[q] = static_cast<Sample>(RECIP ? (S * R + B) >> kShift<Sample> : S / R);
  }
}

template <class Sample, class Sum, int CH, bool RECIP>
FX_ALWAYS_INLINE void rowMiddle(const Sum* P, Sample* row, size_t q0, size_t q1, ptrdiff_t kIn,
                                ptrdiff_t kOut, Sum F, Sum d, Sum R, Sum B) {
  if (d != 0)
    rowMiddleLoop<Sample, Sum, CH, RECIP, true>(P, row, q0, q1, kIn, kOut, F, d, R, B);
  else
    rowMiddleLoop<Sample, Sum, CH, RECIP, false>(P, row, q0, q1, kIn, kOut, F, d, R, B);
}

// Prefix sums of one row of CH interleaved channels: P[(i + 1) CH + c] = sum of samples 0..i of
// channel c. The running sums stay in registers (reloading P would wait on the store).
template <class Sample, class Sum, int CH>
FX_ALWAYS_INLINE void prefixRow(const Sample* __restrict row, int32_t L, Sum* __restrict P) {
  Sum acc[CH];
  for (int c = 0; c < CH; ++c) P[c] = acc[c] = 0;
  for (size_t q = 0, qEnd = size_t(L) * CH; q < qEnd; q += CH)
    for (int c = 0; c < CH; ++c) P[q + CH + c] = acc[c] += Sum(row[q + c]);
}

// Prefix sums of four one-channel rows at once: four independent chains instead of one.
template <class Sample, class Sum>
FX_ALWAYS_INLINE void prefixRows4(Sample* const* rows, int32_t L, Sum* P, size_t pStride) {
  const Sample* __restrict r0 = rows[0];
  const Sample* __restrict r1 = rows[1];
  const Sample* __restrict r2 = rows[2];
  const Sample* __restrict r3 = rows[3];
  Sum* __restrict p0 = P;
  Sum* __restrict p1 = P + pStride;
  Sum* __restrict p2 = P + 2 * pStride;
  Sum* __restrict p3 = P + 3 * pStride;
  Sum a0 = 0, a1 = 0, a2 = 0, a3 = 0;
  p0[0] = p1[0] = p2[0] = p3[0] = 0;
  for (int32_t i = 0; i < L; ++i) {
    p0[i + 1] = a0 += Sum(r0[i]);
    p1[i + 1] = a1 += Sum(r1[i]);
    p2[i + 1] = a2 += Sum(r2[i]);
    p3[i + 1] = a3 += Sum(r3[i]);
  }
}

#if FX_X86
// The prefix sums of prefixRow for 8-bit samples and 32-bit sums with AVX2, several samples per
// step. Sums of unsigned 32-bit numbers are the same in any order, so P is the same. These are
// functions of their own, compiled for AVX2 and called once per row by the AVX2 copy of the pass
// (an AVX2 function cannot be forced inline into the pass body, which is compiled for both).
//
// Four channels: a vector holds two pixels, one per 128-bit half. The lower pixel is added into
// the upper one, then the sums up to the pixel before (kept in both halves) into both.
FX_TARGET_AVX2 void prefixRow4x8Avx2(const uint8_t* __restrict row, int32_t L, uint32_t* __restrict P) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(P), _mm_setzero_si128());
  uint32_t* out = P + 4;
  __m256i acc = _mm256_setzero_si256();
  int32_t i = 0;
  // Four pixels per step from one load, then two, then one.
  for (; i + 4 <= L; i += 4) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + size_t(i) * 4));
    __m256i v = _mm256_cvtepu8_epi32(bytes);
    v = _mm256_add_epi32(v, _mm256_permute2x128_si256(v, v, 0x08));  // upper half += lower half
    v = _mm256_add_epi32(v, acc);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + size_t(i) * 4), v);
    acc = _mm256_permute2x128_si256(v, v, 0x11);  // the upper pixel's sums in both halves
    v = _mm256_cvtepu8_epi32(_mm_unpackhi_epi64(bytes, bytes));
    v = _mm256_add_epi32(v, _mm256_permute2x128_si256(v, v, 0x08));
    v = _mm256_add_epi32(v, acc);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + size_t(i) * 4 + 8), v);
    acc = _mm256_permute2x128_si256(v, v, 0x11);
  }
  if (i + 2 <= L) {
    __m256i v = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + size_t(i) * 4)));
    v = _mm256_add_epi32(v, _mm256_permute2x128_si256(v, v, 0x08));
    v = _mm256_add_epi32(v, acc);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + size_t(i) * 4), v);
    acc = _mm256_permute2x128_si256(v, v, 0x11);
    i += 2;
  }
  if (i < L) {
    int32_t last;
    std::memcpy(&last, row + size_t(i) * 4, 4);
    const __m128i v = _mm_add_epi32(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(last)), _mm256_castsi256_si128(acc));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + size_t(i) * 4), v);
  }
}

// One channel: eight samples per vector, summed within each half by two shifted additions, the
// lower half's total added into the upper half, then the sum of every sample before.
FX_TARGET_AVX2 void prefixRow1x8Avx2(const uint8_t* __restrict row, int32_t L, uint32_t* __restrict P) {
  P[0] = 0;
  uint32_t* out = P + 1;
  const __m256i lastLane = _mm256_set1_epi32(7);
  __m256i acc = _mm256_setzero_si256();
  int32_t i = 0;
  for (; i + 8 <= L; i += 8) {
    __m256i v = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + i)));
    v = _mm256_add_epi32(v, _mm256_slli_si256(v, 4));
    v = _mm256_add_epi32(v, _mm256_slli_si256(v, 8));
    // The lower half's last sum, spread over the upper half (the lower half gets zeros).
    v = _mm256_add_epi32(v, _mm256_shuffle_epi32(_mm256_permute2x128_si256(v, v, 0x08), 0xFF));
    v = _mm256_add_epi32(v, acc);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), v);
    acc = _mm256_permutevar8x32_epi32(v, lastLane);
  }
  uint32_t a = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm256_castsi256_si128(acc)));
  for (; i < L; ++i) out[i] = a += row[i];
}
#endif

// Whether the AVX2 copy (VEC) of a pass takes the vector prefix sums: 8-bit rows, 32-bit sums.
template <class Sample, class Sum, bool VEC>
constexpr bool kVectorPrefix = FX_X86&& VEC && sizeof(Sample) == 1 && sizeof(Sum) == 4;

// Prefix sums of one row for the horizontal passes: the AVX2 copy (VEC) of 8-bit rows with 32-bit
// sums takes the vector forms.
template <class Sample, class Sum, int CH, bool VEC>
FX_ALWAYS_INLINE void prefixRowFor(const Sample* row, int32_t L, Sum* P) {
  if constexpr (kVectorPrefix<Sample, Sum, VEC>) {
    if constexpr (CH == 4)
      prefixRow4x8Avx2(row, L, P);
    else
      prefixRow1x8Avx2(row, L, P);
  } else {
    prefixRow<Sample, Sum, CH>(row, L, P);
  }
}

// One row of CH interleaved channels, in place, from its prefix sums P ((L + 1) x CH).
template <class Sample, class Sum, int CH>
FX_ALWAYS_INLINE void outputRow(Sample* row, int32_t L, const BoxLineParams& prm, const Sum* P) {
  const int32_t n = prm.n;
  constexpr Sum F = sizeof(Sample) == 1 ? 256 : 65536;  // prm.full, as a constant: a shift
  const Sum d = prm.frac;
  // Window cut by an end of the line: exact division by the weights that remain.
  auto edgeOutput = [&](int32_t p) FX_INLINE_LAMBDA {
    const int32_t innerLo = std::max(0, p - n + 1), innerHi = std::min(L, p + n);  // prefix bounds
    const bool hasLeft = p - n >= 0, hasRight = p + n <= L - 1;
    const Sum D = F * Sum(innerHi - innerLo) + d * (Sum(hasLeft) + Sum(hasRight));
    if constexpr (CH == 4) {
      using L4 = Lanes4<Sum, Sample>;
      auto at = [&](int32_t i) FX_INLINE_LAMBDA {
        const Sum* s = P + size_t(i) * 4;
        return L4(s[0], s[1], s[2], s[3]);
      };
      L4 edges;
      if (hasLeft) edges += at(p - n + 1) - at(p - n);
      if (hasRight) edges += at(p + n + 1) - at(p + n);
      const L4 S = (at(innerHi) - at(innerLo)) * F + edges * d;
      if (exactByDouble<Sum>(D)) {
        const double inverse = 1.0 / double(D);
        Sample* o = row + size_t(p) * 4;
        o[0] = static_cast<Sample>(detail::quotientByReciprocal(uint32_t(S.c0), inverse));
        o[1] = static_cast<Sample>(detail::quotientByReciprocal(uint32_t(S.c1), inverse));
        o[2] = static_cast<Sample>(detail::quotientByReciprocal(uint32_t(S.c2), inverse));
        o[3] = static_cast<Sample>(detail::quotientByReciprocal(uint32_t(S.c3), inverse));
      } else {
        (S / D).store(row + size_t(p) * 4);
      }
    } else {
      Sum edges = 0;
      if (hasLeft) edges += P[p - n + 1] - P[p - n];
      if (hasRight) edges += P[p + n + 1] - P[p + n];
      const Sum S = F * (P[innerHi] - P[innerLo]) + d * edges;
      row[p] = static_cast<Sample>(
          exactByDouble<Sum>(D) ? detail::quotientByReciprocal(uint32_t(S), 1.0 / double(D)) : S / D);
    }
  };
  for (int32_t p = 0; p <= n; ++p) edgeOutput(p);

  // Middle: every tap inside the line.
  const ptrdiff_t kIn = ptrdiff_t(1 - n) * CH, kOut = ptrdiff_t(n) * CH;
  const size_t q0 = size_t(n + 1) * CH, q1 = size_t(L - n) * CH;
  if (prm.useRecip)
    rowMiddle<Sample, Sum, CH, true>(P, row, q0, q1, kIn, kOut, F, d, Sum(prm.recip), Sum(prm.bias));
  else
    rowMiddle<Sample, Sum, CH, false>(P, row, q0, q1, kIn, kOut, F, d, Sum(prm.window), 0);
  for (int32_t p = std::max(L - n, n + 1); p < L; ++p) edgeOutput(p);
}

// One middle output row of a block: sl, sl1, sh are the input rows p - n, p - n + 1, p + n; T
// holds the inner sums of output p and is advanced to output p + 1.
template <class Sample, class Sum, size_t MFIX, bool RECIP, bool FRAC>
FX_ALWAYS_INLINE void blockMiddleRow(const Sample* __restrict sl, const Sample* __restrict sl1,
                                     const Sample* __restrict sh, Sample* __restrict o, Sum* __restrict T,
                                     size_t mRuntime, Sum F, Sum d, Sum R, Sum B) {
  const size_t M = MFIX ? MFIX : mRuntime;
  for (size_t m = 0; m < M; ++m) {
    Sum S = F * T[m];
    if (FRAC) S += d * (Sum(sl[m]) + Sum(sh[m]));
    o[m] = static_cast<Sample>(RECIP ? (S * R + B) >> kShift<Sample> : S / R);
    T[m] += Sum(sh[m]) - Sum(sl1[m]);
  }
}

template <class Sample, class Sum, size_t MFIX, bool RECIP, bool FRAC>
FX_ALWAYS_INLINE void blockMiddle(const Sample* in, ptrdiff_t inStride, Sample* out, ptrdiff_t stride,
                                  size_t M, int32_t n, int32_t pEnd, Sum* T, Sum F, Sum d, Sum R, Sum B) {
  for (int32_t p = n + 1; p < pEnd; ++p)
    blockMiddleRow<Sample, Sum, MFIX, RECIP, FRAC>(in + (p - n) * inStride, in + (p - n + 1) * inStride,
                                                   in + (p + n) * inStride, out + p * stride, T, M, F, d, R,
                                                   B);
}

// A block of M lanes (adjacent samples of a row) filtered down L positions: input in, inStride
// samples per position; output out, stride samples per position. in and out do not overlap.
template <class Sample, class Sum, size_t MFIX>
FX_ALWAYS_INLINE void filterBlock(const Sample* in, ptrdiff_t inStride, Sample* out, ptrdiff_t stride,
                                  size_t mRuntime, int32_t L, const BoxLineParams& prm) {
  const size_t M = MFIX ? MFIX : mRuntime;
  constexpr size_t kMaxLanes = 128;  // kBlockBytes of 8-bit samples
  Sum T[kMaxLanes];                  // inner window sum, taps p - n + 1 .. p + n - 1 inside the line
  const int32_t n = prm.n;
  constexpr Sum F = sizeof(Sample) == 1 ? 256 : 65536;  // prm.full, as a constant: a shift
  const Sum d = prm.frac;
  for (size_t m = 0; m < M; ++m) T[m] = 0;
  for (int32_t j = 0; j < n; ++j)
    for (size_t m = 0; m < M; ++m) T[m] += Sum(in[j * inStride + ptrdiff_t(m)]);

  auto row = [&](int32_t j) FX_INLINE_LAMBDA { return in + j * inStride; };
  auto edgeOutput = [&](int32_t p) FX_INLINE_LAMBDA {
    const int32_t lo = p - n, hi = p + n;
    const bool hasLeft = lo >= 0, hasRight = hi <= L - 1;
    const Sum D =
        F * Sum(std::min(L - 1, hi - 1) - std::max(0, lo + 1) + 1) + d * (Sum(hasLeft) + Sum(hasRight));
    Sample* o = out + p * stride;
    const Sample* sl = hasLeft ? row(lo) : nullptr;
    const Sample* sh = hasRight ? row(hi) : nullptr;
    if (exactByDouble<Sum>(D)) {
      const double inverse = 1.0 / double(D);
      for (size_t m = 0; m < M; ++m) {
        const Sum edges = (sl ? Sum(sl[m]) : 0) + (sh ? Sum(sh[m]) : 0);
        o[m] = static_cast<Sample>(detail::quotientByReciprocal(uint32_t(F * T[m] + d * edges), inverse));
      }
    } else {
      for (size_t m = 0; m < M; ++m) {
        const Sum edges = (sl ? Sum(sl[m]) : 0) + (sh ? Sum(sh[m]) : 0);
        o[m] = static_cast<Sample>((F * T[m] + d * edges) / D);
      }
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
  const Sum R = prm.useRecip ? Sum(prm.recip) : Sum(prm.window), B = Sum(prm.bias);
  if (prm.useRecip) {
    if (d != 0)
      blockMiddle<Sample, Sum, MFIX, true, true>(in, inStride, out, stride, M, n, pEnd, T, F, d, R, B);
    else
      blockMiddle<Sample, Sum, MFIX, true, false>(in, inStride, out, stride, M, n, pEnd, T, F, d, R, B);
  } else {
    blockMiddle<Sample, Sum, MFIX, false, true>(in, inStride, out, stride, M, n, pEnd, T, F, d, R, B);
  }
  for (int32_t p = std::max(pEnd, n + 1); p < L; ++p) edgeOutput(p);
}

constexpr size_t kBlockBytes = 128;
static_assert(kBlockBytes <= 128, "filterBlock keeps at most 128 lane sums");
constexpr int kRowGroup = 4;  // one-channel rows filtered together

// Scratch bytes the passes need: prefix sums of a row group, or two copies of a column block.
size_t scratchBytes(size_t width, size_t height, int channels) {
  const size_t rows = (width + 1) * size_t(channels) * sizeof(uint64_t) * (channels == 1 ? kRowGroup : 1);
  return std::max(rows, 2 * height * kBlockBytes);
}

// All passes over the rows. Each row (a group of four for one channel) goes through every pass
// while it is in cache; rows are independent, so this equals running pass after pass. VEC: the
// AVX2 copy, whose prefix sums of 8-bit rows are vectors (one row at a time: the vector forms
// need no other rows to hide the latency of their additions).
template <class Sample, class Sum, bool VEC>
FX_ALWAYS_INLINE void horizontalPassBody(PixelImage& img, const Rect& r, const BoxLineParams& prm,
                                         int64_t passes, uint8_t* scratch) {
  const int32_t L = r.right - r.left;
  Sum* P = reinterpret_cast<Sum*>(scratch);
  if (img.channels == 4) {
    for (int32_t y = r.top; y < r.bottom; ++y) {
      Sample* row = reinterpret_cast<Sample*>(img.pixel(r.left, y));
      for (int64_t i = 0; i < passes; ++i) {
        prefixRowFor<Sample, Sum, 4, VEC>(row, L, P);
        outputRow<Sample, Sum, 4>(row, L, prm, P);
      }
    }
    return;
  }
  const size_t pStride = size_t(L) + 1;
  int32_t y = r.top;
  if constexpr (!kVectorPrefix<Sample, Sum, VEC>) {
    for (; y + kRowGroup <= r.bottom; y += kRowGroup) {
      Sample* rows[kRowGroup];
      for (int k = 0; k < kRowGroup; ++k) rows[k] = reinterpret_cast<Sample*>(img.pixel(r.left, y + k));
      for (int64_t i = 0; i < passes; ++i) {
        prefixRows4<Sample, Sum>(rows, L, P, pStride);
        for (int k = 0; k < kRowGroup; ++k) outputRow<Sample, Sum, 1>(rows[k], L, prm, P + k * pStride);
      }
    }
  }
  for (; y < r.bottom; ++y) {
    Sample* row = reinterpret_cast<Sample*>(img.pixel(r.left, y));
    for (int64_t i = 0; i < passes; ++i) {
      prefixRowFor<Sample, Sum, 1, VEC>(row, L, P);
      outputRow<Sample, Sum, 1>(row, L, prm, P);
    }
  }
}

// All passes over the columns, a block of kBlockBytes at a time: the first pass reads the image
// (a single pass reads a copy of the block, as it writes the image), the passes between go from
// one scratch copy to the other, and the last pass writes the image.
template <class Sample, class Sum, size_t MFIX>
FX_ALWAYS_INLINE void verticalBlock(Sample* base, ptrdiff_t stride, size_t M, int32_t L,
                                    const BoxLineParams& prm, int64_t passes, Sample* a, Sample* b) {
  detail::columnPasses(base, stride, M, L, passes, a, b,
                       [&](const Sample* in, ptrdiff_t inStride, Sample* out, ptrdiff_t outStride) FX_INLINE_LAMBDA {
                         filterBlock<Sample, Sum, MFIX>(in, inStride, out, outStride, M, L, prm);
                       });
}

template <class Sample, class Sum>
FX_ALWAYS_INLINE void verticalPassBody(PixelImage& img, const Rect& r, const BoxLineParams& prm,
                                       int64_t passes, uint8_t* scratch) {
  const int32_t L = r.bottom - r.top;
  constexpr size_t kLanes = kBlockBytes / sizeof(Sample);
  const size_t total = size_t(r.right - r.left) * size_t(img.channels);  // samples per row
  const ptrdiff_t stride = img.rowBytes / ptrdiff_t(sizeof(Sample));
  Sample* a = reinterpret_cast<Sample*>(scratch);
  Sample* b = a + size_t(L) * kLanes;
  Sample* base = reinterpret_cast<Sample*>(img.pixel(r.left, r.top));
  size_t m0 = 0;
  for (; m0 + kLanes <= total; m0 += kLanes)
    verticalBlock<Sample, Sum, kLanes>(base + m0, stride, kLanes, L, prm, passes, a, b);
  if (m0 < total) verticalBlock<Sample, Sum, 0>(base + m0, stride, total - m0, L, prm, passes, a, b);
}

// The passes, compiled for the baseline and for AVX2.
template <class Sample, class Sum>
void horizontalPassGeneric(PixelImage& img, const Rect& r, const BoxLineParams& prm, int64_t passes,
                           uint8_t* scratch) {
  horizontalPassBody<Sample, Sum, false>(img, r, prm, passes, scratch);
}
template <class Sample, class Sum>
FX_TARGET_AVX2 void horizontalPassAvx2(PixelImage& img, const Rect& r, const BoxLineParams& prm,
                                       int64_t passes, uint8_t* scratch) {
  horizontalPassBody<Sample, Sum, true>(img, r, prm, passes, scratch);
}
template <class Sample, class Sum>
void verticalPassGeneric(PixelImage& img, const Rect& r, const BoxLineParams& prm, int64_t passes,
                         uint8_t* scratch) {
  verticalPassBody<Sample, Sum>(img, r, prm, passes, scratch);
}
template <class Sample, class Sum>
FX_TARGET_AVX2 void verticalPassAvx2(PixelImage& img, const Rect& r, const BoxLineParams& prm, int64_t passes,
                                     uint8_t* scratch) {
  verticalPassBody<Sample, Sum>(img, r, prm, passes, scratch);
}
template <class Sample, class Sum>
void horizontalPass(PixelImage& img, const Rect& r, const BoxLineParams& prm, int64_t passes,
                    uint8_t* scratch) {
  if (detail::cpuHasAvx2())
    horizontalPassAvx2<Sample, Sum>(img, r, prm, passes, scratch);
  else
    horizontalPassGeneric<Sample, Sum>(img, r, prm, passes, scratch);
}
template <class Sample, class Sum>
void verticalPass(PixelImage& img, const Rect& r, const BoxLineParams& prm, int64_t passes,
                  uint8_t* scratch) {
  if (detail::cpuHasAvx2())
    verticalPassAvx2<Sample, Sum>(img, r, prm, passes, scratch);
  else
    verticalPassGeneric<Sample, Sum>(img, r, prm, passes, scratch);
}

template <class Sample>
void runPasses(PixelImage& img, const Rect& r, float half, bool vertical, int64_t passes, uint8_t* scratch) {
  const int32_t L = vertical ? r.bottom - r.top : r.right - r.left;
  // The fraction is rounded to a 32-bit float except in the vertical pass of 1-channel 8-bit images.
  const bool fullPrecision = vertical && sizeof(Sample) == 1 && img.channels == 1;
  const BoxLineParams prm = detail::boxLineParams(half, L, int32_t(sizeof(Sample)), fullPrecision);
  if (prm.n < 1) return;
  if constexpr (sizeof(Sample) == 1) {
#if FX_X86
    // Windows of at most 127 taps: the same results in 16-bit lanes.
    if (detail::narrowApplies(prm) && detail::cpuHasAvx2()) {
      const detail::NarrowLine k = detail::narrowLine(prm);
      uint8_t* first = img.pixel(r.left, r.top);
      if (vertical)
        detail::narrowColumnsAvx2(first, img.rowBytes, size_t(r.right - r.left) * size_t(img.channels), L, k,
                                  passes, scratch, scratch + size_t(L) * kBlockBytes, kBlockBytes);
      else
        detail::narrowRowsAvx2(first, img.rowBytes, r.bottom - r.top, L, img.channels, k, passes,
                               reinterpret_cast<uint16_t*>(scratch));
      return;
    }
#endif
    if (!prm.wideSums) {  // 32-bit sums suffice: 255 W < 2^32
      if (vertical)
        verticalPass<Sample, uint32_t>(img, r, prm, passes, scratch);
      else
        horizontalPass<Sample, uint32_t>(img, r, prm, passes, scratch);
      return;
    }
  }
  if (vertical)
    verticalPass<Sample, uint64_t>(img, r, prm, passes, scratch);
  else
    horizontalPass<Sample, uint64_t>(img, r, prm, passes, scratch);
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

  reserveScratch(scratchBytes(size_t(r.right - r.left), size_t(r.bottom - r.top), image.channels));

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
