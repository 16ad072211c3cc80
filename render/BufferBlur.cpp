#include "render/BufferBlur.h"

#include <cmath>
#include <limits>

#include "fx/BoxBlur.h"
#include "render/BufferImage.h"

namespace veyra {

float blurRadius(double length, double factor) {
  if (!(length > 0.0)) return 0.0f;  // NaN, 0 and negative: no blur
  // +infinity blurs as the largest finite length does.
  if (std::isinf(length)) length = std::numeric_limits<double>::max();
  const double radius = length * factor;
  if (!(radius > 0.0)) return 0.0f;
  if (!(radius < 2147483648.0)) return 2147483648.0f;  // huge, or overflowed to infinity
  return static_cast<float>(radius);
}

bool blurBuffer(HostBuffer& buffer, double lengthX, double factorX, double lengthY, double factorY) {
  const float x = blurRadius(lengthX, factorX), y = blurRadius(lengthY, factorY);
  if (x == 0.0f && y == 0.0f) return false;
  if (buffer.width() <= 0 || buffer.height() <= 0) return false;
  BufferImage image(buffer);
  fx::BoxBlur blur;
  blur.setRadii(x, y);
  blur.setExtraPasses(1);
  blur.apply(image.image(), image.image().bounds);
  return true;
}

}  // namespace veyra
