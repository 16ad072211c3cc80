#include "render/ShapeBlend.h"

#include "host/LightParameters.h"
#include "render/Div255.h"

namespace veyra {

float shapeOpacityFactor(double opacityPercent) {
  if (!(opacityPercent > 0.0)) return 0.0f;  // negative or NaN
  if (opacityPercent > 100.0) opacityPercent = 100.0;
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
  const uint32_t g = static_cast<uint32_t>(o * 255.0f);  // 0..255
  // s' = div255(g S): the shape weighted by the opacity.
  auto weighted = [g](uint32_t s) { return div255(g * s); };
  auto run = [&](auto op) { blendRows(shape, shapeRowBytes, matte, matteRowBytes, width, height, op); };

  switch (mode) {
    case kShapeNone:
      run([](uint32_t, uint32_t m) { return m; });
      break;
    case kShapeOnly:
      if (o == 1.0f) return;
      run([&](uint32_t s, uint32_t) { return weighted(s); });
      break;
    case kShapeAdd:
      run([&](uint32_t s, uint32_t m) {
        const uint32_t v = m + weighted(s);
        return v > 255 ? 255u : v;
      });
      break;
    case kShapeSubtract:
      run([&](uint32_t s, uint32_t m) {
        const uint32_t w = weighted(s);
        return m > w ? m - w : 0u;
      });
      break;
    case kShapeMultiply:
      run([o](uint32_t s, uint32_t m) {
        const uint32_t t = static_cast<uint32_t>(o * static_cast<float>(s));  // 0..255
        const uint32_t v = div255(t * m);
        return v > 255 ? 255u : v;
      });
      break;
    case kShapeScreen:
      // s' + M - s'M/255 lies in 0..255 for bytes; the clamp only guards it.
      run([&](uint32_t s, uint32_t m) {
        const uint32_t w = weighted(s);
        const uint32_t v = w + m - div255(w * m);
        return v > 255 ? 255u : v;
      });
      break;
    case kShapeDifference:
      run([&](uint32_t s, uint32_t m) {
        const int32_t w = static_cast<int32_t>(weighted(s));
        const int32_t v = w + static_cast<int32_t>(m) - static_cast<int32_t>(div255(2u * w * m));
        return v < 0 ? 0 : (v > 255 ? 255 : v);
      });
      break;
    case kShapeDarken:
      run([&](uint32_t s, uint32_t m) {
        const uint32_t w = weighted(s);
        return m < w ? m : w;
      });
      break;
    case kShapeLighten:
      run([&](uint32_t s, uint32_t m) {
        const uint32_t w = weighted(s);
        return m > w ? m : w;
      });
      break;
    default:
      break;
  }
}

}  // namespace veyra
