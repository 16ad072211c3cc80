// The narrow (16-bit lane) box blur passes with AVX2. See BoxBlurNarrow.h for why they equal the
// general passes.
//
// Vectors of window sums are turned into outputs 16 lanes at a time: each sum is paired with a 1
// and multiplied-and-added against the pair (R, floor(B / 256)), giving T R + floor(B / 256) in a
// 32-bit lane (below 2^31: T < 2^15, R < 2^15, the bias < 2^15), shifted and packed back. Near the
// ends of a line the quotient T / k is taken in single precision as trunc((T + 0.5) x (1 / k)):
// (T + 0.5) / k lies at least 0.5 / k >= 1 / 254 away from every integer, while the two roundings
// err by less than 256 x 2^-23, so the truncation is the exact quotient.

#include "fx/BoxBlurNarrow.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <algorithm>
#include <cstring>
#include <utility>

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

// One pass over a row of L pixels of CH channels, in place.
template <int CH>
FX_TARGET_AVX2 void filterRow(uint8_t* __restrict row, int32_t L, const NarrowLine& k, uint16_t* __restrict P) {
  if (CH == 4)
    prefix4(row, L, P);
  else
    prefix1(row, L, P);
  const int32_t n = k.n;
  const auto edge = [&](int32_t p) FX_INLINE_LAMBDA {
    const int32_t lo = std::max(0, p - n + 1), hi = std::min(L, p + n);
    const float inverse = 1.0f / static_cast<float>(hi - lo);
    for (int c = 0; c < CH; ++c) {
      const uint16_t sum = uint16_t(P[size_t(hi) * CH + c] - P[size_t(lo) * CH + c]);
      row[size_t(p) * CH + c] = static_cast<uint8_t>((static_cast<float>(sum) + 0.5f) * inverse);
    }
  };
  for (int32_t p = 0; p <= n; ++p) edge(p);

  const ptrdiff_t kIn = ptrdiff_t(1 - n) * CH, kOut = ptrdiff_t(n) * CH;
  const size_t q1 = size_t(L - n) * CH;
  const __m256i coef = coefficients(k);
  size_t q = size_t(n + 1) * CH;
  for (; q + 32 <= q1; q += 32) {
    const uint16_t* out = P + q + kOut;
    const uint16_t* in = P + q + kIn;
    const __m256i s0 = _mm256_sub_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(out)),
                                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in)));
    const __m256i s1 = _mm256_sub_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(out + 16)),
                                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 16)));
    storeBytes(row + q, middleQuotients(s0, coef), middleQuotients(s1, coef));
  }
  for (; q < q1; ++q) row[q] = static_cast<uint8_t>(narrowQuotient(uint16_t(P[q + kOut] - P[q + kIn]), k));

  for (int32_t p = std::max(L - n, n + 1); p < L; ++p) edge(p);
}

// Adds (SIGN +1) or subtracts (-1) M bytes into the 16-bit sums T.
template <int SIGN>
FX_TARGET_AVX2 inline void accumulate(uint16_t* __restrict T, const uint8_t* __restrict s, size_t M) {
  size_t m = 0;
  for (; m + 16 <= M; m += 16) {
    const __m256i v = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + m)));
    __m256i* t = reinterpret_cast<__m256i*>(T + m);
    const __m256i old = _mm256_load_si256(t);
    _mm256_store_si256(t, SIGN > 0 ? _mm256_add_epi16(old, v) : _mm256_sub_epi16(old, v));
  }
  for (; m < M; ++m) T[m] = static_cast<uint16_t>(SIGN > 0 ? T[m] + s[m] : T[m] - s[m]);
}

// A block of M lanes (M <= kMaxBlockLanes) filtered down L positions: input in, inStride bytes per
// position; output out, outStride bytes per position; in and out do not overlap. T holds, for
// output p, the sum of the inputs p - n + 1 .. p + n - 1 that lie inside the line.
FX_TARGET_AVX2 void filterBlock(const uint8_t* in, ptrdiff_t inStride, uint8_t* out, ptrdiff_t outStride,
                                size_t M, int32_t L, const NarrowLine& k) {
  alignas(32) uint16_t T[kMaxBlockLanes];
  const int32_t n = k.n;
  const size_t M32 = M & ~size_t(31);
  std::memset(T, 0, sizeof T);
  for (int32_t j = 0; j < n; ++j) accumulate<1>(T, in + j * inStride, M);
  const __m256i coef = coefficients(k);

  for (int32_t p = 0; p < L; ++p) {
    uint8_t* o = out + p * outStride;
    if (p > n && p < L - n) {
      // Middle: every tap inside the line.
      const uint8_t* sh = in + (p + n) * inStride;
      const uint8_t* sl = in + (p - n + 1) * inStride;
      for (size_t m = 0; m < M32; m += 32) {
        __m256i* t = reinterpret_cast<__m256i*>(T + m);
        const __m256i t0 = _mm256_load_si256(t), t1 = _mm256_load_si256(t + 1);
        storeBytes(o + m, middleQuotients(t0, coef), middleQuotients(t1, coef));
        const __m256i h0 = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(sh + m)));
        const __m256i h1 = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(sh + m + 16)));
        const __m256i l0 = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(sl + m)));
        const __m256i l1 = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(sl + m + 16)));
        _mm256_store_si256(t, _mm256_add_epi16(t0, _mm256_sub_epi16(h0, l0)));
        _mm256_store_si256(t + 1, _mm256_add_epi16(t1, _mm256_sub_epi16(h1, l1)));
      }
      for (size_t m = M32; m < M; ++m) {
        o[m] = static_cast<uint8_t>(narrowQuotient(T[m], k));
        T[m] = static_cast<uint16_t>(T[m] + sh[m] - sl[m]);
      }
      continue;
    }
    // Near an end: the window is cut to the taps inside the line.
    const int32_t taps = std::min(L - 1, p + n - 1) - std::max(0, p - n + 1) + 1;
    const __m256 inverse = _mm256_set1_ps(1.0f / static_cast<float>(taps));
    for (size_t m = 0; m < M32; m += 32) {
      const __m256i* t = reinterpret_cast<const __m256i*>(T + m);
      storeBytes(o + m, edgeQuotients(_mm256_load_si256(t), inverse),
                 edgeQuotients(_mm256_load_si256(t + 1), inverse));
    }
    for (size_t m = M32; m < M; ++m) o[m] = static_cast<uint8_t>(T[m] / uint32_t(taps));
    if (p + n <= L - 1) accumulate<1>(T, in + (p + n) * inStride, M);
    if (p - n + 1 >= 0) accumulate<-1>(T, in + (p - n + 1) * inStride, M);
  }
}

}  // namespace

FX_TARGET_AVX2 void narrowRowsAvx2(uint8_t* firstRow, ptrdiff_t rowBytes, int32_t rows, int32_t L,
                                   int32_t channels, const NarrowLine& k, int64_t passes, uint16_t* prefix) {
  for (int32_t y = 0; y < rows; ++y) {
    uint8_t* row = firstRow + y * rowBytes;
    for (int64_t i = 0; i < passes; ++i) {
      if (channels == 4)
        filterRow<4>(row, L, k, prefix);
      else
        filterRow<1>(row, L, k, prefix);
    }
  }
}

FX_TARGET_AVX2 void narrowColumnsAvx2(uint8_t* base, ptrdiff_t stride, size_t total, int32_t L,
                                      const NarrowLine& k, int64_t passes, uint8_t* a, uint8_t* b,
                                      size_t blockLanes) {
  blockLanes = std::min(blockLanes, kMaxBlockLanes);
  for (size_t m0 = 0; m0 < total; m0 += blockLanes) {
    const size_t M = std::min(blockLanes, total - m0);
    const ptrdiff_t m = ptrdiff_t(M);
    uint8_t* column = base + m0;
    uint8_t* x = a;
    uint8_t* y = b;
    // The first pass reads the image (a single pass reads a copy, as it writes the image), the
    // passes between go from one copy to the other, and the last pass writes the image.
    if (passes == 1) {
      for (int32_t p = 0; p < L; ++p) std::memcpy(x + size_t(p) * M, column + p * stride, M);
    } else {
      filterBlock(column, stride, x, m, M, L, k);
    }
    for (int64_t i = 1; i + 1 < passes; ++i) {
      filterBlock(x, m, y, m, M, L, k);
      std::swap(x, y);
    }
    filterBlock(x, m, column, stride, M, L, k);
  }
}

}  // namespace detail
}  // namespace fx

#endif
