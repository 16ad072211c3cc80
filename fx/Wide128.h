// Unsigned 128-bit products and sums from 64-bit halves, for exact
// comparisons of large counts on every target (32-bit x86 has no __int128).
#pragma once

#include <cstdint>

namespace fx {

struct U128 {
  uint64_t hi = 0, lo = 0;
};

// a * b in full, from four 32 x 32 -> 64-bit partial products.
inline U128 mul64(uint64_t a, uint64_t b) {
  const uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32, b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
  const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const uint64_t mid = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);  // < 3 * 2^32
  return {p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32), (mid << 32) | (p00 & 0xFFFFFFFFu)};
}

// x * c, for products that fit in 128 bits.
inline U128 mul(U128 x, uint64_t c) {
  U128 r = mul64(x.lo, c);
  r.hi += x.hi * c;
  return r;
}

inline U128 add(U128 x, U128 y) {
  U128 r{x.hi + y.hi, x.lo + y.lo};
  if (r.lo < x.lo) ++r.hi;
  return r;
}

inline bool operator<(U128 x, U128 y) { return x.hi != y.hi ? x.hi < y.hi : x.lo < y.lo; }

}  // namespace fx
