#pragma once

// The box blur's passes over 8-bit samples in 16-bit lanes, for windows of whole taps (no
// fractional end taps) at most 127 taps wide: every window sum then stays below 2^15, so sums and
// prefix sums fit 16-bit lanes (prefix sums wrap, their differences do not), and a middle output
// (S R + B) >> 23 with S = 256 T becomes one 16-bit multiply-add and a shift:
//   (256 T R + B) >> 23 = (T R + floor(B / 256)) >> 15,
// since 256 T R is a multiple of 256 and B mod 256 cannot carry past a multiple of 2^23. Where a
// window is cut by an end of the line, S / D = 256 T / (256 k) = T / k, k the taps that remain.
// The results are the general passes' bit for bit.

#include <cstddef>
#include <cstdint>

#include "fx/BoxBlur.h"

namespace fx {
namespace detail {

// The constants of a narrow line filter.
struct NarrowLine {
  int32_t n = 0;       // half-width in taps: the window is 2n - 1 taps of weight 1
  uint32_t recip = 0;  // R
  uint32_t bias = 0;   // floor(B / 256)
};

constexpr int32_t kMaxNarrowHalfWidth = 64;

// Whether the narrow passes give the general passes' results for these constants of an 8-bit line.
inline bool narrowApplies(const BoxLineParams& p) {
  return p.frac == 0 && p.full == 256 && p.useRecip && !p.wideSums && p.n >= 2 && p.n <= kMaxNarrowHalfWidth;
}

inline NarrowLine narrowLine(const BoxLineParams& p) {
  NarrowLine k;
  k.n = p.n;
  k.recip = static_cast<uint32_t>(p.recip);
  k.bias = static_cast<uint32_t>(p.bias >> 8);
  return k;
}

// A middle output from its window sum T (< 2^15).
inline uint32_t narrowQuotient(uint32_t sum, const NarrowLine& k) { return (sum * k.recip + k.bias) >> 15; }

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
