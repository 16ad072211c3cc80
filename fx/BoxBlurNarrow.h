#pragma once

// The box blur's passes over 8-bit samples in 16-bit lanes, for windows narrow enough that every
// window sum stays below 2^15 (at most 127 taps of weight 1, or 2n + 1 taps counting the
// fractional end taps): sums and prefix sums then fit 16-bit lanes (prefix sums wrap, their
// differences do not). The results are the general passes' bit for bit.
//
// Whole taps (no fractional end taps): a middle output (S R + B) >> 23 with S = 256 T becomes one
// 16-bit multiply-add and a shift,
//   (256 T R + B) >> 23 = (T R + floor(B / 256)) >> 15,
// since 256 T R is a multiple of 256 and B mod 256 cannot carry past a multiple of 2^23; where a
// window is cut by an end of the line, S / D = 256 T / (256 k) = T / k, k the taps that remain.
// Fractional end taps of weight d: S = 256 T + d E (E the two end samples) is one multiply-add of
// 16-bit lanes, and (S R + B) >> 23 stays below 2^32 in a 32-bit lane.

#include <cstddef>
#include <cstdint>

#include "fx/BoxBlur.h"

namespace fx {
namespace detail {

// The constants of a narrow line filter.
struct NarrowLine {
  int32_t n = 0;       // half-width in taps: 2n - 1 inner taps of weight 256
  uint32_t frac = 0;   // d: weight of the two end taps (0: whole taps only)
  uint32_t recip = 0;  // R
  uint32_t bias = 0;   // whole taps: floor(B / 256); otherwise B
};

constexpr int32_t kMaxNarrowHalfWidth = 64;      // whole taps: 127 taps
constexpr int32_t kMaxNarrowFracHalfWidth = 63;  // with end taps: 2n + 1 = 127 taps

// Whether the narrow passes give the general passes' results for these constants of an 8-bit line.
inline bool narrowApplies(const BoxLineParams& p) {
  if (p.full != 256 || !p.useRecip || p.wideSums) return false;
  return p.frac == 0 ? p.n >= 2 && p.n <= kMaxNarrowHalfWidth : p.n >= 1 && p.n <= kMaxNarrowFracHalfWidth;
}

inline NarrowLine narrowLine(const BoxLineParams& p) {
  NarrowLine k;
  k.n = p.n;
  k.frac = p.frac;
  k.recip = static_cast<uint32_t>(p.recip);
  k.bias = static_cast<uint32_t>(p.frac == 0 ? p.bias >> 8 : p.bias);
  return k;
}

// A middle output of whole taps from its window sum T (< 2^15).
inline uint32_t narrowQuotient(uint32_t sum, const NarrowLine& k) { return (sum * k.recip + k.bias) >> 15; }

// A middle output with end taps from the inner sum and the sum of the two end samples.
inline uint32_t narrowFracQuotient(uint32_t inner, uint32_t ends, const NarrowLine& k) {
  return ((256 * inner + k.frac * ends) * k.recip + k.bias) >> 23;
}

#if defined(__x86_64__) || defined(__i386__)
// The horizontal passes over rows [top, bottom) of CH = 1 or 4 interleaved channels, L pixels per
// row, rowBytes apart; prefix holds (L + 1) x channels 16-bit sums.
void narrowRowsAvx2(uint8_t* firstRow, ptrdiff_t rowBytes, int32_t rows, int32_t L, int32_t channels,
                    const NarrowLine& k, int64_t passes, uint16_t* prefix);

// The vertical passes over `total` samples per row (any channels: every sample is a lane) of L
// rows, stride bytes apart. Columns are filtered in blocks of blockLanes (a multiple of 32); a and
// b each hold L x blockLanes bytes.
void narrowColumnsAvx2(uint8_t* base, ptrdiff_t stride, size_t total, int32_t L, const NarrowLine& k,
                       int64_t passes, uint8_t* a, uint8_t* b, size_t blockLanes);
#endif

}  // namespace detail
}  // namespace fx
