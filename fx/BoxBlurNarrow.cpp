// The narrow (16-bit lane) box blur passes with AVX2. See BoxBlurNarrow.h for why they equal the
// general passes.
//
// Vectors of whole-tap window sums are turned into outputs 16 lanes at a time: each sum is paired
// with a 1 and multiplied-and-added against the pair (R, floor(B / 256)), giving
// T R + floor(B / 256) in a 32-bit lane (below 2^31: T < 2^15, R < 2^15, the bias < 2^15), shifted
// and packed back. Near the ends of a line the quotient T / k is taken in single precision as
// trunc((T + 0.5) x (1 / k)): (T + 0.5) / k lies at least 0.5 / k >= 1 / 254 away from every
// integer, while the two roundings err by less than 256 x 2^-23, so the truncation is the exact
// quotient. With end taps the cut windows' divisors are not multiples of 256; their single-precision
// quotients are corrected by one step on the remainder.

#include "fx/BoxBlurNarrow.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <algorithm>
#include <cstring>

#include "fx/ColumnPasses.h"
#include "fx/Simd.h"

namespace fx {
namespace detail {

namespace {

constexpr size_t kMaxBlockLanes = 128;

// Prefix sums of a row of four-channel pixels, wrapping in 16 bits: P[(i + 1) 4 + c] = sum of
// samples 0..i of channel c. Four pixels per vector: in each 128-bit half the first pixel is added
// into the second, then the lower half's last pixel into the upper half, then the sums before.
FX_TARGET_AVX2 void prefix4(const uint8_t* __restrict row, int32_t L, uint16_t* __restrict P) {
  std::memset(P, 0, 4 * sizeof(uint16_t));
  uint16_t* out = P + 4;
  __m256i acc = _mm256_setzero_si256();
  int32_t i = 0;
  for (; i + 4 <= L; i += 4) {
    __m256i v = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + size_t(i) * 4)));
    v = _mm256_add_epi16(v, _mm256_slli_si256(v, 8));
    const __m256i lower = _mm256_permute2x128_si256(v, v, 0x08);  // lower half moved up, zeros below
    v = _mm256_add_epi16(v, _mm256_shuffle_epi32(lower, 0xEE));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + size_t(i) * 4), _mm256_add_epi16(v, acc));
    // The sums carried to the next pixels grow by this vector's total alone, so the chain from one
    // step to the next is a single addition.
    acc = _mm256_add_epi16(acc, _mm256_permute4x64_epi64(v, 0xFF));
  }
  uint16_t a[4];
  _mm_storel_epi64(reinterpret_cast<__m128i*>(a), _mm256_castsi256_si128(acc));
  for (; i < L; ++i)
    for (int c = 0; c < 4; ++c) out[size_t(i) * 4 + c] = a[c] = static_cast<uint16_t>(a[c] + row[size_t(i) * 4 + c]);
}

// The same for one channel, sixteen samples per vector.
FX_TARGET_AVX2 void prefix1(const uint8_t* __restrict row, int32_t L, uint16_t* __restrict P) {
  P[0] = 0;
  uint16_t* out = P + 1;
  const __m256i lastWord = _mm256_set1_epi16(0x0F0E);  // bytes 14 and 15 of each half
  __m256i acc = _mm256_setzero_si256();
  int32_t i = 0;
  for (; i + 16 <= L; i += 16) {
    __m256i v = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i)));
    v = _mm256_add_epi16(v, _mm256_slli_si256(v, 2));
    v = _mm256_add_epi16(v, _mm256_slli_si256(v, 4));
    v = _mm256_add_epi16(v, _mm256_slli_si256(v, 8));
    const __m256i lower = _mm256_permute2x128_si256(v, v, 0x08);
    v = _mm256_add_epi16(v, _mm256_shuffle_epi8(lower, lastWord));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_add_epi16(v, acc));
    acc = _mm256_add_epi16(acc, _mm256_shuffle_epi8(_mm256_permute2x128_si256(v, v, 0x11), lastWord));
  }
  uint16_t a = static_cast<uint16_t>(_mm_cvtsi128_si32(_mm256_castsi256_si128(acc)));
  for (; i < L; ++i) out[i] = a = static_cast<uint16_t>(a + row[i]);
}

// Middle outputs of sixteen window sums, as 16-bit lanes in the sums' order.
FX_TARGET_AVX2 inline __m256i middleQuotients(__m256i sums, __m256i coef) {
  const __m256i one = _mm256_set1_epi16(1);
  const __m256i lo = _mm256_madd_epi16(_mm256_unpacklo_epi16(sums, one), coef);
  const __m256i hi = _mm256_madd_epi16(_mm256_unpackhi_epi16(sums, one), coef);
  return _mm256_packs_epi32(_mm256_srli_epi32(lo, 15), _mm256_srli_epi32(hi, 15));
}

// trunc((s + 0.5) x inverse) of eight 32-bit sums.
FX_TARGET_AVX2 inline __m256i edgeQuotients8(__m256i sums, __m256 inverse) {
  const __m256 half = _mm256_set1_ps(0.5f);
  return _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_add_ps(_mm256_cvtepi32_ps(sums), half), inverse));
}

// Outputs of sixteen sums over `taps` taps each (inverse = 1 / taps).
FX_TARGET_AVX2 inline __m256i edgeQuotients(__m256i sums, __m256 inverse) {
  const __m256i zero = _mm256_setzero_si256();
  return _mm256_packs_epi32(edgeQuotients8(_mm256_unpacklo_epi16(sums, zero), inverse),
                            edgeQuotients8(_mm256_unpackhi_epi16(sums, zero), inverse));
}

// Two vectors of sixteen 16-bit results (samples 0..15 and 16..31) as 32 bytes in order.
FX_TARGET_AVX2 inline void storeBytes(uint8_t* out, __m256i first, __m256i second) {
  const __m256i packed = _mm256_packus_epi16(first, second);  // halves interleaved
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permute4x64_epi64(packed, 0xD8));
}

FX_TARGET_AVX2 inline __m256i coefficients(const NarrowLine& k) {
  return _mm256_set1_epi32(static_cast<int32_t>((k.bias << 16) | k.recip));
}

// Middle outputs with end taps of sixteen inner sums and sixteen sums of the two end samples:
// S = 256 inner + d ends by a multiply-add against the pair (256, d), then (S R + B) >> 23.
struct FracConstants {
  __m256i weights, recip, bias;
};
FX_TARGET_AVX2 inline FracConstants fracConstants(const NarrowLine& k) {
  return {_mm256_set1_epi32(static_cast<int32_t>((k.frac << 16) | 256u)),
          _mm256_set1_epi32(static_cast<int32_t>(k.recip)), _mm256_set1_epi32(static_cast<int32_t>(k.bias))};
}
FX_TARGET_AVX2 inline __m256i fracQuotients8(__m256i pairs, const FracConstants& c) {
  const __m256i s = _mm256_madd_epi16(pairs, c.weights);
  return _mm256_srli_epi32(_mm256_add_epi32(_mm256_mullo_epi32(s, c.recip), c.bias), 23);
}
FX_TARGET_AVX2 inline __m256i fracQuotients(__m256i inner, __m256i ends, const FracConstants& c) {
  return _mm256_packs_epi32(fracQuotients8(_mm256_unpacklo_epi16(inner, ends), c),
                            fracQuotients8(_mm256_unpackhi_epi16(inner, ends), c));
}

// floor(S / D) of eight sums S < 2^23 by a divisor D < 2^16: the single-precision quotient is
// within one of the exact one, and one step up or down on the remainder makes it exact.
FX_TARGET_AVX2 inline __m256i exactQuotients8(__m256i s, __m256i divisor, __m256 inverse) {
  __m256i q = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(s), inverse));
  const __m256i r = _mm256_sub_epi32(s, _mm256_mullo_epi32(q, divisor));
  q = _mm256_add_epi32(q, _mm256_cmpgt_epi32(_mm256_setzero_si256(), r));  // r < 0: one less
  return _mm256_sub_epi32(q, _mm256_cmpgt_epi32(r, _mm256_sub_epi32(divisor, _mm256_set1_epi32(1))));
}

// Near an end with end taps: S = 256 T + d ends over the divisor D of the taps that remain.
FX_TARGET_AVX2 inline __m256i cutFracQuotients(__m256i inner, __m256i ends, const FracConstants& c,
                                               __m256i divisor, __m256 inverse) {
  return _mm256_packs_epi32(
      exactQuotients8(_mm256_madd_epi16(_mm256_unpacklo_epi16(inner, ends), c.weights), divisor, inverse),
      exactQuotients8(_mm256_madd_epi16(_mm256_unpackhi_epi16(inner, ends), c.weights), divisor, inverse));
}

FX_TARGET_AVX2 inline __m256i loadWords(const uint16_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
FX_TARGET_AVX2 inline __m256i loadBytesAsWords(const uint8_t* p) {
  return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

// One pass over a row of L pixels of CH channels, in place.
template <int CH, bool FRAC>
FX_TARGET_AVX2 void filterRow(uint8_t* __restrict row, int32_t L, const NarrowLine& k, uint16_t* __restrict P) {
  if (CH == 4)
    prefix4(row, L, P);
  else
    prefix1(row, L, P);
  const int32_t n = k.n;
  const uint32_t d = k.frac;
  const auto at = [&](int32_t i, int c) FX_INLINE_LAMBDA { return P[size_t(i) * CH + c]; };
  const auto edge = [&](int32_t p) FX_INLINE_LAMBDA {
    const int32_t lo = std::max(0, p - n + 1), hi = std::min(L, p + n);
    if (!FRAC) {
      const float inverse = 1.0f / static_cast<float>(hi - lo);
      for (int c = 0; c < CH; ++c) {
        const uint16_t sum = uint16_t(at(hi, c) - at(lo, c));
        row[size_t(p) * CH + c] = static_cast<uint8_t>((static_cast<float>(sum) + 0.5f) * inverse);
      }
      return;
    }
    const bool hasLeft = p - n >= 0, hasRight = p + n <= L - 1;
    const uint32_t D = 256 * uint32_t(hi - lo) + d * (uint32_t(hasLeft) + uint32_t(hasRight));
    for (int c = 0; c < CH; ++c) {
      uint32_t ends = 0;
      if (hasLeft) ends += uint16_t(at(p - n + 1, c) - at(p - n, c));
      if (hasRight) ends += uint16_t(at(p + n + 1, c) - at(p + n, c));
      row[size_t(p) * CH + c] = static_cast<uint8_t>((256 * uint32_t(uint16_t(at(hi, c) - at(lo, c))) + d * ends) / D);
    }
  };
  for (int32_t p = 0; p <= n; ++p) edge(p);

  // Middle: every tap inside the line. Sample q's inner sum is P[q + kOut] - P[q + kIn], its outer
  // sum (with the end taps) P[q + kOut + CH] - P[q - kOut].
  const ptrdiff_t kIn = ptrdiff_t(1 - n) * CH, kOut = ptrdiff_t(n) * CH;
  const size_t q1 = size_t(L - n) * CH;
  const __m256i coef = coefficients(k);
  const FracConstants fc = fracConstants(k);
  size_t q = size_t(n + 1) * CH;
  for (; q + 32 <= q1; q += 32) {
    const uint16_t* out = P + q + kOut;
    const uint16_t* in = P + q + kIn;
    const __m256i s0 = _mm256_sub_epi16(loadWords(out), loadWords(in));
    const __m256i s1 = _mm256_sub_epi16(loadWords(out + 16), loadWords(in + 16));
    if (FRAC) {
      const uint16_t* outer = P + q + kOut + CH;
      const uint16_t* before = P + q - kOut;
      const __m256i e0 = _mm256_sub_epi16(_mm256_sub_epi16(loadWords(outer), loadWords(before)), s0);
      const __m256i e1 = _mm256_sub_epi16(_mm256_sub_epi16(loadWords(outer + 16), loadWords(before + 16)), s1);
      storeBytes(row + q, fracQuotients(s0, e0, fc), fracQuotients(s1, e1, fc));
    } else {
      storeBytes(row + q, middleQuotients(s0, coef), middleQuotients(s1, coef));
    }
  }
  for (; q < q1; ++q) {
    const uint16_t inner = uint16_t(P[q + kOut] - P[q + kIn]);
    row[q] = static_cast<uint8_t>(
        FRAC ? narrowFracQuotient(inner, uint16_t(uint16_t(P[q + kOut + CH] - P[q - kOut]) - inner), k)
             : narrowQuotient(inner, k));
  }

  for (int32_t p = std::max(L - n, n + 1); p < L; ++p) edge(p);
}

// The sums of the end samples present (either may be missing near an end), sixteen lanes from m.
FX_TARGET_AVX2 inline __m256i endSums(const uint8_t* sl, const uint8_t* sh, size_t m) {
  __m256i e = _mm256_setzero_si256();
  if (sl) e = loadBytesAsWords(sl + m);
  if (sh) e = _mm256_add_epi16(e, loadBytesAsWords(sh + m));
  return e;
}

// Adds (SIGN +1) or subtracts (-1) M bytes into the 16-bit sums T.
template <int SIGN>
FX_TARGET_AVX2 inline void accumulate(uint16_t* __restrict T, const uint8_t* __restrict s, size_t M) {
  size_t m = 0;
  for (; m + 16 <= M; m += 16) {
    __m256i* t = reinterpret_cast<__m256i*>(T + m);
    const __m256i old = _mm256_load_si256(t), v = loadBytesAsWords(s + m);
    _mm256_store_si256(t, SIGN > 0 ? _mm256_add_epi16(old, v) : _mm256_sub_epi16(old, v));
  }
  for (; m < M; ++m) T[m] = static_cast<uint16_t>(SIGN > 0 ? T[m] + s[m] : T[m] - s[m]);
}

// A block of M lanes (M <= kMaxBlockLanes) filtered down L positions: input in, inStride bytes per
// position; output out, outStride bytes per position; in and out do not overlap. T holds, for
// output p, the sum of the inputs p - n + 1 .. p + n - 1 that lie inside the line; the end taps
// are the inputs p - n and p + n.
template <bool FRAC>
FX_TARGET_AVX2 void filterBlock(const uint8_t* in, ptrdiff_t inStride, uint8_t* out, ptrdiff_t outStride,
                                size_t M, int32_t L, const NarrowLine& k) {
  alignas(32) uint16_t T[kMaxBlockLanes];
  const int32_t n = k.n;
  const uint32_t d = k.frac;
  const size_t M32 = M & ~size_t(31);
  std::memset(T, 0, sizeof T);
  for (int32_t j = 0; j < n; ++j) accumulate<1>(T, in + j * inStride, M);
  const __m256i coef = coefficients(k);
  const FracConstants fc = fracConstants(k);

  for (int32_t p = 0; p < L; ++p) {
    uint8_t* o = out + p * outStride;
    const bool hasLeft = p - n >= 0, hasRight = p + n <= L - 1;
    const uint8_t* sl = hasLeft ? in + (p - n) * inStride : nullptr;   // left end tap
    const uint8_t* sh = hasRight ? in + (p + n) * inStride : nullptr;  // right end tap
    if (p > n && p < L - n) {
      // Middle: every tap inside the line.
      const uint8_t* sl1 = in + (p - n + 1) * inStride;
      for (size_t m = 0; m < M32; m += 32) {
        __m256i* t = reinterpret_cast<__m256i*>(T + m);
        const __m256i t0 = _mm256_load_si256(t), t1 = _mm256_load_si256(t + 1);
        const __m256i h0 = loadBytesAsWords(sh + m), h1 = loadBytesAsWords(sh + m + 16);
        if (FRAC) {
          const __m256i e0 = _mm256_add_epi16(loadBytesAsWords(sl + m), h0);
          const __m256i e1 = _mm256_add_epi16(loadBytesAsWords(sl + m + 16), h1);
          storeBytes(o + m, fracQuotients(t0, e0, fc), fracQuotients(t1, e1, fc));
        } else {
          storeBytes(o + m, middleQuotients(t0, coef), middleQuotients(t1, coef));
        }
        const __m256i l0 = loadBytesAsWords(sl1 + m), l1 = loadBytesAsWords(sl1 + m + 16);
        _mm256_store_si256(t, _mm256_add_epi16(t0, _mm256_sub_epi16(h0, l0)));
        _mm256_store_si256(t + 1, _mm256_add_epi16(t1, _mm256_sub_epi16(h1, l1)));
      }
      for (size_t m = M32; m < M; ++m) {
        o[m] = static_cast<uint8_t>(FRAC ? narrowFracQuotient(T[m], uint32_t(sl[m]) + sh[m], k)
                                         : narrowQuotient(T[m], k));
        T[m] = static_cast<uint16_t>(T[m] + sh[m] - sl1[m]);
      }
      continue;
    }
    // Near an end: the window is cut to the taps inside the line.
    const int32_t taps = std::min(L - 1, p + n - 1) - std::max(0, p - n + 1) + 1;
    if (!FRAC) {
      const __m256 inverse = _mm256_set1_ps(1.0f / static_cast<float>(taps));
      for (size_t m = 0; m < M32; m += 32) {
        const __m256i* t = reinterpret_cast<const __m256i*>(T + m);
        storeBytes(o + m, edgeQuotients(_mm256_load_si256(t), inverse),
                   edgeQuotients(_mm256_load_si256(t + 1), inverse));
      }
      for (size_t m = M32; m < M; ++m) o[m] = static_cast<uint8_t>(T[m] / uint32_t(taps));
    } else {
      const uint32_t D = 256 * uint32_t(taps) + d * (uint32_t(hasLeft) + uint32_t(hasRight));
      const __m256i divisor = _mm256_set1_epi32(static_cast<int32_t>(D));
      const __m256 inverse = _mm256_set1_ps(1.0f / static_cast<float>(D));
      for (size_t m = 0; m < M32; m += 32) {
        const __m256i* t = reinterpret_cast<const __m256i*>(T + m);
        storeBytes(o + m, cutFracQuotients(_mm256_load_si256(t), endSums(sl, sh, m), fc, divisor, inverse),
                   cutFracQuotients(_mm256_load_si256(t + 1), endSums(sl, sh, m + 16), fc, divisor, inverse));
      }
      for (size_t m = M32; m < M; ++m) {
        const uint32_t e = (sl ? uint32_t(sl[m]) : 0u) + (sh ? uint32_t(sh[m]) : 0u);
        o[m] = static_cast<uint8_t>((256 * uint32_t(T[m]) + d * e) / D);
      }
    }
    if (hasRight) accumulate<1>(T, sh, M);
    if (p - n + 1 >= 0) accumulate<-1>(T, in + (p - n + 1) * inStride, M);
  }
}

}  // namespace

FX_TARGET_AVX2 void narrowRowsAvx2(uint8_t* firstRow, ptrdiff_t rowBytes, int32_t rows, int32_t L,
                                   int32_t channels, const NarrowLine& k, int64_t passes, uint16_t* prefix) {
  for (int32_t y = 0; y < rows; ++y) {
    uint8_t* row = firstRow + y * rowBytes;
    for (int64_t i = 0; i < passes; ++i) {
      if (k.frac != 0)
        channels == 4 ? filterRow<4, true>(row, L, k, prefix) : filterRow<1, true>(row, L, k, prefix);
      else
        channels == 4 ? filterRow<4, false>(row, L, k, prefix) : filterRow<1, false>(row, L, k, prefix);
    }
  }
}

FX_TARGET_AVX2 void narrowColumnsAvx2(uint8_t* base, ptrdiff_t stride, size_t total, int32_t L,
                                      const NarrowLine& k, int64_t passes, uint8_t* a, uint8_t* b,
                                      size_t blockLanes) {
  blockLanes = std::min(blockLanes, kMaxBlockLanes);
  const auto filter = k.frac != 0 ? filterBlock<true> : filterBlock<false>;
  for (size_t m0 = 0; m0 < total; m0 += blockLanes) {
    const size_t M = std::min(blockLanes, total - m0);
    columnPasses(base + m0, stride, M, L, passes, a, b,
                 [&](const uint8_t* in, ptrdiff_t inStride, uint8_t* out, ptrdiff_t outStride) FX_INLINE_LAMBDA {
                   filter(in, inStride, out, outStride, M, L, k);
                 });
  }
}

}  // namespace detail
}  // namespace fx

#endif
