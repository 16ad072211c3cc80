#include "render/LightBlend.h"

#include "host/LightParameters.h"
#include "host/PITypes.h"

namespace veyra {

double lightBrightnessFactor(double brightnessPercent) {
  const double b = brightnessPercent * 0.01;
  if (!(b > 0.0)) return 0.0;  // negative or NaN
  // 257 x 255 = 65535: the largest factor whose strengths fit 16 bits.
  return b > 257.0 ? 257.0 : b;
}

namespace {

// Channel layouts: bytes per pixel and the number of leading bytes changed.
struct GrayLayout {
  static constexpr int kStride = 1, kChannels = 1;
};
struct RgbLayout {
  static constexpr int kStride = 4, kChannels = 3;
};
struct CmykLayout {
  static constexpr int kStride = 4, kChannels = 4;
};

// The three light operators on one channel: p combined with `amount`
// (a colour byte or light image byte) at strength `weight`.
struct AddOp {
  static uint8_t apply(uint32_t p, uint32_t amount, uint32_t weight) {
    const uint32_t v = p + div255(amount * weight);
    return static_cast<uint8_t>(v > 255 ? 255 : v);
  }
};
struct SubtractOp {
  static uint8_t apply(uint32_t p, uint32_t amount, uint32_t weight) {
    const uint32_t d = div255(amount * weight);
    return static_cast<uint8_t>(p > d ? p - d : 0);
  }
};
struct ScreenOp {
  static uint8_t apply(uint32_t p, uint32_t amount, uint32_t weight) { return screen(p, amount, weight); }
};

// Matte source: the strength T comes from the light map, the amount is the
// colour; the same T for every channel of a pixel.
template <typename Layout, typename Op>
void matteRows(uint32_t a, const uint8_t* col, uint8_t* tile, int32_t tileRowBytes, const uint8_t* light,
               int32_t lightRowBytes, int32_t width, int32_t height) {
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* p = tile + static_cast<intptr_t>(y) * tileRowBytes;
    const uint8_t* l = light + static_cast<intptr_t>(y) * lightRowBytes;
    for (int32_t x = 0; x < width; ++x, p += Layout::kStride) {
      const uint32_t t = div255(a * l[x]);  // 0..65535
      for (int k = 0; k < Layout::kChannels; ++k) p[k] = Op::apply(p[k], col[k], t);
    }
  }
}

// Image source: in Add and Subtract the light image byte is weighted by C;
// in Screen it takes the colour's place with C as the strength. Both are
// apply(p, I, C) with the operands ordered by the operator.
template <typename Layout, typename Op>
void imageRows(const uint32_t* c, uint8_t* tile, int32_t tileRowBytes, const uint8_t* image,
               int32_t imageRowBytes, int32_t width, int32_t height) {
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* p = tile + static_cast<intptr_t>(y) * tileRowBytes;
    const uint8_t* i = image + static_cast<intptr_t>(y) * imageRowBytes;
    for (int32_t x = 0; x < width; ++x, p += Layout::kStride, i += Layout::kStride) {
      for (int k = 0; k < Layout::kChannels; ++k) p[k] = Op::apply(p[k], i[k], c[k]);
    }
  }
}

// Calls body(Layout{}, Op{}) for the image mode and blend mode; returns
// without calling it for any other mode.
template <typename Body>
void dispatch(int16_t imageMode, int32_t mode, Body body) {
  auto withOp = [&](auto layout) {
    switch (mode) {
      case kLightAdd:
        body(layout, AddOp{});
        break;
      case kLightSubtract:
        body(layout, SubtractOp{});
        break;
      case kLightScreen:
        body(layout, ScreenOp{});
        break;
      default:
        break;
    }
  };
  switch (imageMode) {
    case plugInModeGrayScale:
      withOp(GrayLayout{});
      break;
    case plugInModeRGBColor:
      withOp(RgbLayout{});
      break;
    case plugInModeCMYKColor:
      withOp(CmykLayout{});
      break;
    default:
      break;
  }
}

}  // namespace

void lightBlendMatte(int32_t mode, double brightnessPercent, const uint8_t col[4], int16_t imageMode,
                     uint8_t* tile, int32_t tileRowBytes, const uint8_t* light, int32_t lightRowBytes,
                     int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return;
  const uint32_t a = static_cast<uint32_t>(lightBrightnessFactor(brightnessPercent) * 255.0);  // 0..65535
  dispatch(imageMode, mode, [&](auto layout, auto op) {
    matteRows<decltype(layout), decltype(op)>(a, col, tile, tileRowBytes, light, lightRowBytes, width,
                                              height);
  });
}

void lightBlendImage(int32_t mode, double brightnessPercent, const uint8_t col[4], int16_t imageMode,
                     uint8_t* tile, int32_t tileRowBytes, const uint8_t* lightImage,
                     int32_t lightImageRowBytes, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return;
  const double b = lightBrightnessFactor(brightnessPercent);
  uint32_t c[4];
  for (int k = 0; k < 4; ++k) c[k] = static_cast<uint32_t>(b * col[k]);  // 0..65535
  dispatch(imageMode, mode, [&](auto layout, auto op) {
    imageRows<decltype(layout), decltype(op)>(c, tile, tileRowBytes, lightImage, lightImageRowBytes, width,
                                              height);
  });
}

void multiplyByLightMap(int16_t imageMode, const uint8_t* tile, int32_t tileRowBytes, const uint8_t* light,
                        int32_t lightRowBytes, int32_t width, int32_t height, uint8_t* lightImage,
                        int32_t lightImageRowBytes) {
  if (width <= 0 || height <= 0) return;
  int stride, channels;
  switch (imageMode) {
    case plugInModeGrayScale:
      stride = 1, channels = 1;
      break;
    case plugInModeRGBColor:
      stride = 4, channels = 3;
      break;
    case plugInModeCMYKColor:
      stride = 4, channels = 4;
      break;
    default:
      return;
  }
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* p = tile + static_cast<intptr_t>(y) * tileRowBytes;
    const uint8_t* l = light + static_cast<intptr_t>(y) * lightRowBytes;
    uint8_t* out = lightImage + static_cast<intptr_t>(y) * lightImageRowBytes;
    for (int32_t x = 0; x < width; ++x, p += stride, out += stride) {
      for (int k = 0; k < channels; ++k) out[k] = static_cast<uint8_t>(div255(uint32_t{p[k]} * l[x]));
      for (int k = channels; k < stride; ++k) out[k] = 0;
    }
  }
}

}  // namespace veyra
