// Truncating division by 255 as a multiply and a shift.
#pragma once

#include <cstdint>

namespace veyra {

// x / 255 rounded down, exact for every 32-bit x.
//
// With m = ceil(2^39 / 255) = 2155905153 the error of the reciprocal is
// e = 255 m - 2^39 = 127. Write x = 255 q + r (0 <= r <= 254); then
//   x m / 2^39 = q + r / 255 + x e / (255 x 2^39),
// and the floor is q exactly when r + x e / 2^39 < 255. Since r <= 254 this
// holds whenever x e < 2^39, that is x < 2^39 / 127 = 4328785936.1, which
// covers every x below 2^32. m < 2^32, so x m < 2^64 fits the 64-bit product.
// The blends call it with arguments up to 65535 x 255.
inline uint32_t div255(uint32_t x) {
  return static_cast<uint32_t>((static_cast<uint64_t>(x) * 2155905153u) >> 39);
}

// x / 255 rounded down for x <= 255 x 255 (a product of two bytes), in
// 16-bit arithmetic so that loops over bytes vectorise in 16-bit lanes.
// x + 1 + (x >> 8) <= 65280 never leaves 16 bits; the form is exact up to
// x = 65534, every value this range reaches.
inline uint16_t div255Small(uint16_t x) {
  return static_cast<uint16_t>(static_cast<uint16_t>(x + 1u + (x >> 8)) >> 8);
}

}  // namespace veyra
