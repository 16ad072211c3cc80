#include "render/ShapeBlend.h"

#include "host/LightParameters.h"
#include "render/Div255.h"

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

// Opacities up to 100 % (g <= 255): every product below is one of two bytes,
// so the blends run in 16-bit lanes with div255Small and vectorise. Each
// gives what the general form below gives for the same g.
bool blendSmall(int32_t mode, float o, uint16_t g, uint8_t* shape, int32_t shapeRowBytes, const uint8_t* matte,
                int32_t matteRowBytes, int32_t width, int32_t height) {
  auto weighted = [g](uint16_t s) { return div255Small(static_cast<uint16_t>(g * s)); };
  auto run = [&](auto op) {
    blendRows(shape, shapeRowBytes, matte, matteRowBytes, width, height,
              [op](uint16_t s, uint16_t m) -> uint16_t { return op(s, m); });
  };
  switch (mode) {
    case kShapeOnly:
      run([&](uint16_t s, uint16_t) { return weighted(s); });
      return true;
    case kShapeAdd:
      run([&](uint16_t s, uint16_t m) {
        const uint16_t v = static_cast<uint16_t>(m + weighted(s));
        return v > 255 ? uint16_t{255} : v;
      });
      return true;
    case kShapeSubtract:
      run([&](uint16_t s, uint16_t m) {
        const uint16_t w = weighted(s);
        return m > w ? static_cast<uint16_t>(m - w) : uint16_t{0};
      });
      return true;
    case kShapeMultiply:
      // o x 255 < 256 in single precision, so trunc(o S) <= 255 for every S.
      run([&](uint16_t s, uint16_t m) {
        const auto t = static_cast<uint16_t>(static_cast<int32_t>(o * static_cast<float>(s)));
        return div255Small(static_cast<uint16_t>(t * m));
      });
      return true;
    case kShapeScreen:
      // s' + M - s'M/255 <= 255 for bytes s' and M.
      run([&](uint16_t s, uint16_t m) {
        const uint16_t w = weighted(s);
        return static_cast<uint16_t>(w + m - div255Small(static_cast<uint16_t>(w * m)));
      });
      return true;
    case kShapeDarken:
      run([&](uint16_t s, uint16_t m) {
        const uint16_t w = weighted(s);
        return m < w ? m : w;
      });
      return true;
    case kShapeLighten:
      run([&](uint16_t s, uint16_t m) {
        const uint16_t w = weighted(s);
        return m > w ? m : w;
      });
      return true;
    default:
      return false;
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
  if (mode == kShapeOnly && o == 1.0f) return;
  if (g <= 255 && blendSmall(mode, o, static_cast<uint16_t>(g), shape, shapeRowBytes, matte, matteRowBytes,
                             width, height))
    return;
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
