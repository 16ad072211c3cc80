// Truncating division by 255 as a multiply and a shift.
#pragma once

#include <cstdint>

namespace veyra {

// x / 255 rounded down, exact for every 32-bit x.
//
// With m = ceil(2^40 / 255) = 4311810306 the error of the reciprocal is
// e = 255 m - 2^40 = 254. Write x = 255 q + r (0 <= r <= 254); then
//   x m / 2^40 = q + r / 255 + x e / (255 x 2^40),
// and the floor is q exactly when r + x e / 2^40 < 255. Since r <= 254 this
// holds whenever x e < 2^40, that is x < 2^40 / 254 = 4328785936.1, which
// covers every x below 2^32. x m < 2^32 x 2^33, so the product fits 64 bits.
// The blends call it with arguments up to 65535 x 255.
inline uint32_t div255(uint32_t x) {
  return static_cast<uint32_t>((static_cast<uint64_t>(x) * 4311810306u) >> 40);
}

}  // namespace veyra
