#include "render/ShapeBlend.h"

#include "host/LightParameters.h"

namespace veyra {

float shapeOpacityFactor(double opacityPercent) {
  if (!(opacityPercent > 0.0)) return 0.0f;  // negative or NaN
  if (opacityPercent > kMaxShapeOpacityPercent) opacityPercent = kMaxShapeOpacityPercent;
  return static_cast<float>(opacityPercent * 0.01);
}

namespace {

// result = op(S, M) over every pixel; one instantiation (and one inner loop)
// per mode.
template <typename Op>
void blendRows(uint8_t* shape, int32_t shapeRowBytes, const uint8_t* matte, int32_t matteRowBytes,
               int32_t width, int32_t height, Op op) {
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* s = shape + static_cast<intptr_t>(y) * shapeRowBytes;
    const uint8_t* m = matte + static_cast<intptr_t>(y) * matteRowBytes;
    for (int32_t x = 0; x < width; ++x) s[x] = static_cast<uint8_t>(op(s[x], m[x]));
  }
}

}  // namespace

void shapeBlend(int32_t mode, double opacityPercent, uint8_t* shape, int32_t shapeRowBytes,
                const uint8_t* matte, int32_t matteRowBytes, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return;
  const float o = shapeOpacityFactor(opacityPercent);
  // g = trunc(o x 255) is below 2^24 (o at most 65025), so s' = div255(g S)
  // and every product below need 64 bits but no more.
  const uint64_t g = static_cast<uint64_t>(o * 255.0f);
  auto weighted = [g](uint32_t s) { return g * s / 255; };  // s'
  auto byte = [](uint64_t v) { return v > 255 ? 255u : static_cast<uint32_t>(v); };
  auto run = [&](auto op) { blendRows(shape, shapeRowBytes, matte, matteRowBytes, width, height, op); };

  switch (mode) {
    case kShapeNone:
      run([](uint32_t, uint32_t m) { return m; });
      break;
    case kShapeOnly:
      if (o == 1.0f) return;
      run([&](uint32_t s, uint32_t) { return byte(weighted(s)); });
      break;
    case kShapeAdd:
      run([&](uint32_t s, uint32_t m) { return byte(m + weighted(s)); });
      break;
    case kShapeSubtract:
      run([&](uint32_t s, uint32_t m) {
        const uint64_t w = weighted(s);
        return m > w ? m - static_cast<uint32_t>(w) : 0u;
      });
      break;
    case kShapeMultiply:
      run([&](uint32_t s, uint32_t m) {
        const uint64_t t = static_cast<uint64_t>(o * static_cast<float>(s));
        return byte(t * m / 255);
      });
      break;
    case kShapeScreen:
      // s' + M - s'M/255 is never negative; above 100 % it exceeds 255.
      run([&](uint32_t s, uint32_t m) {
        const uint64_t w = weighted(s);
        return byte(w + m - w * m / 255);
      });
      break;
    case kShapeDifference:
      run([&](uint32_t s, uint32_t m) {
        const int64_t w = static_cast<int64_t>(weighted(s));
        const int64_t v = w + m - 2 * w * m / 255;
        return v < 0 ? 0u : byte(static_cast<uint64_t>(v));
      });
      break;
    case kShapeDarken:
      run([&](uint32_t s, uint32_t m) {
        const uint64_t w = weighted(s);
        return m < w ? m : static_cast<uint32_t>(w);
      });
      break;
    case kShapeLighten:
      run([&](uint32_t s, uint32_t m) {
        const uint64_t w = weighted(s);
        return m > w ? m : byte(w);
      });
      break;
    default:
      break;
  }
}

}  // namespace veyra
