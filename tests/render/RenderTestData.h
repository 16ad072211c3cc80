// Random tiles and helpers shared by the render tests.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace veyra::test {

// A width x height tile of `stride`-byte pixels whose rows are padded to
// rowBytes, filled with random bytes (padding included).
struct Tile {
  int32_t width;
  int32_t height;
  int32_t stride;
  int32_t rowBytes;
  std::vector<uint8_t> bytes;

  Tile(int32_t w, int32_t h, int32_t pixelBytes, int32_t padding, uint32_t seed)
      : width(w),
        height(h),
        stride(pixelBytes),
        rowBytes(w * pixelBytes + padding),
        bytes(static_cast<size_t>(rowBytes) * static_cast<size_t>(h)) {
    std::mt19937 rng(seed);
    for (auto& b : bytes) b = static_cast<uint8_t>(rng() & 0xFF);
  }
  uint8_t* data() { return bytes.data(); }
  const uint8_t* data() const { return bytes.data(); }
  uint8_t* pixel(int32_t x, int32_t y) {
    return bytes.data() + static_cast<size_t>(y) * rowBytes + x * stride;
  }
  const uint8_t* pixel(int32_t x, int32_t y) const {
    return bytes.data() + static_cast<size_t>(y) * rowBytes + x * stride;
  }
};

inline int bytesPerPixel(int16_t imageMode) { return imageMode == 1 ? 1 : 4; }

}  // namespace veyra::test
