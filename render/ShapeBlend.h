// The shape blend: combines the placed shape with the matte into the light map.
#pragma once

#include <cstdint>

namespace veyra {

// The shape opacity as the blend uses it: percent x 0.01 in single precision.
// Opacities above 100 % keep the formulas; the percentage is limited to
// 0..kMaxShapeOpacityPercent (NaN counts as 0). From that limit on every
// blend has saturated: the weighted shape s' is at least 255 wherever S > 0,
// and Multiply's trunc(o S) M / 255 at least 255 wherever S and M are.
constexpr double kMaxShapeOpacityPercent = 255.0 * 255.0 * 100.0;
float shapeOpacityFactor(double opacityPercent);

// Replaces every shape value S of the width x height shape tile by the blend
// of S (weighted by the opacity) with the matte value M at the same pixel
// (`mode` a ShapeBlendMode; other values leave the shape unchanged). Both are
// one byte per pixel with their own row bytes. In Only mode at exactly full
// opacity the shape is not touched. Where a weighted shape above 255 would
// wrap a byte (Only, Lighten) it saturates at 255.
void shapeBlend(int32_t mode, double opacityPercent, uint8_t* shape, int32_t shapeRowBytes,
                const uint8_t* matte, int32_t matteRowBytes, int32_t width, int32_t height);

}  // namespace veyra
