// The shape blend: combines the placed shape with the matte into the light map.
#pragma once

#include <cstdint>

namespace veyra {

// The shape opacity as the blend uses it: percent x 0.01 in single precision.
// The percentage is first limited to 0..100 (NaN counts as 0), so that the
// 8-bit arithmetic never sees a weight outside 0..255.
float shapeOpacityFactor(double opacityPercent);

// Replaces every shape value S of the width x height shape tile by the blend
// of S (weighted by the opacity) with the matte value M at the same pixel
// (`mode` a ShapeBlendMode; other values leave the shape unchanged). Both are
// one byte per pixel with their own row bytes. In Only mode at exactly full
// opacity the shape is not touched.
void shapeBlend(int32_t mode, double opacityPercent, uint8_t* shape, int32_t shapeRowBytes,
                const uint8_t* matte, int32_t matteRowBytes, int32_t width, int32_t height);

}  // namespace veyra
